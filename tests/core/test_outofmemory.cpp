// A PC that lacks the memory a valid file's records ask for. Every length
// is bounded by a device's memory, yet that may still be more than a PC
// has: the loaders then fail as on a damaged file, naming it, and leave no
// half-read job behind; the pair on disk is untouched, so it loads whole
// once the memory is there. This program replaces the global operators
// new and delete (failingallocations.cpp), so it holds only these tests.

#include <cerrno>

#include "datafilefixture.h"
#include "driveritems.h"
#include "failingallocations.h"

namespace {

// Samples per channel: 1 MiB a long record, where nothing else a load
// allocates (the document, the raw file's read buffer) comes near the
// limit, and 64 KiB a short one.
constexpr int32_t Length = 0x40000, Short = 0x4000;
constexpr size_t Limit = 512 * 1024;

// A job of a short run 0, which a load reads whole before it meets the
// long run 1.
class OutOfMemoryTest : public DataFileTest {
 protected:
  OutOfMemoryTest() {
    testsupport::BindDriverItems(*Core);
    Core->RamSize = Length;
    Core->BuffLength = Length;
    for (int32_t run : {0, 1}) {
      CaptureRecord& c = Core->Captures[run];
      c.Conditions = Core->DeviceConditions();
      c.Conditions.Length = run == 0 ? Short : Length;
      c.DataA = Ramp(static_cast<size_t>(c.Conditions.Length), run * 1000);
      c.T = 3;
      c.Start = 10;
      c.End = 202;
      MeasurementResult& r = Core->Results[run];
      r.Meas = {1.5, 0.25, 2.5, -0.5};
      r.Freq = 25;
      r.Valid = 1;
    }
    Core->HighestStep = 1;
  }
  std::unique_ptr<TZelto> Loader() const {
    auto core = Restarted();
    testsupport::BindDriverItems(*core);
    return core;
  }
};

TEST_F(OutOfMemoryTest, ALoadWithoutTheMemoryForItsRecordsFailsNamingTheFileAndLeavesNoJob) {
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string document = ReadBytes(AppData() / "!session.daqsession");
  const std::string raw = ReadBytes(AppData() / "!session.daqdata");
  auto loaded = Loader();
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  ASSERT_EQ(loaded->Captures[1].DataA, Core->Captures[1].DataA);
  {
    const testsupport::TFailingAllocations lacking(Limit);
    EXPECT_EQ(loaded->LoadSession(), TZelto::sfrDocumentFailed);
    EXPECT_GT(lacking.Refused(), 0u);
  }
  EXPECT_EQ(loaded->FileFailure.File, loaded->AutoSessionFile);
  EXPECT_EQ(loaded->FileFailure.Error, ENOMEM);
  // The job read before is gone, and nothing of this one was kept, not
  // even the run read whole.
  for (int32_t run : {0, 1}) {
    EXPECT_TRUE(loaded->Captures[run].DataA.empty());
    EXPECT_EQ(loaded->Results[run].Valid, 0);
  }
  EXPECT_EQ(loaded->HighestStep, 0);
  EXPECT_EQ(ReadBytes(AppData() / "!session.daqsession"), document);
  EXPECT_EQ(ReadBytes(AppData() / "!session.daqdata"), raw);
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(loaded->Captures[0].DataA, Core->Captures[0].DataA);
  EXPECT_EQ(loaded->Captures[1].DataA, Core->Captures[1].DataA);

  // Asynchronous data the same: its live record is not kept either.
  Core->LiveConditions = Core->Captures[1].Conditions;
  Core->LiveDataA = Core->Captures[1].DataA;
  const std::u16string trace = Dir.File(u"trace.asd");
  ASSERT_TRUE(Core->SaveAsyncData(trace));
  {
    const testsupport::TFailingAllocations lacking(Limit);
    EXPECT_FALSE(loaded->LoadAsyncData(trace));
    EXPECT_GT(lacking.Refused(), 0u);
  }
  EXPECT_EQ(loaded->FileFailure.File, trace);
  EXPECT_EQ(loaded->FileFailure.Error, ENOMEM);
  EXPECT_TRUE(loaded->LiveDataA.empty());
  EXPECT_EQ(loaded->LiveConditions.Length, 0);
  EXPECT_TRUE(loaded->Captures[1].DataA.empty());
  ASSERT_TRUE(loaded->LoadAsyncData(trace));
  EXPECT_EQ(loaded->LiveDataA, Core->LiveDataA);
}

}  // namespace
