#include "pipelinefixture.h"

#include <algorithm>
#include <fstream>

#include "folders.h"
#include "xmlinifile.h"

using DriverBinding = PipelineTest;

TEST_F(DriverBinding, BindsEveryEntryPointOfTheLibraryInTheProgramFolder) {
  ASSERT_TRUE(Core->LoadDriver());
  ASSERT_NE(Core->DriverModule, nullptr);
  const auto* slots = reinterpret_cast<void* const*>(&Core->DriverApi);
  const size_t count = sizeof(TDriverApi) / sizeof(void*);
  EXPECT_EQ(count, 41u);
  for (size_t i = 0; i < count; ++i) EXPECT_NE(slots[i], nullptr) << "slot " << i;
}

TEST_F(DriverBinding, LibraryWithoutLastErrorFailsAfterLookingUpEveryName) {
  Core->DriverFolder = Core->ProgramDir + u"no-lasterror/";
  EXPECT_FALSE(Core->LoadDriver());
  EXPECT_NE(Core->DriverModule, nullptr);  // stays loaded until shutdown
  EXPECT_EQ(Core->DriverApi.GetLastErrorStr, nullptr);
  EXPECT_NE(Core->DriverApi.ARPJ9457, nullptr);
  EXPECT_NE(Core->DriverApi.QPRE4902, nullptr);
  // Nothing reads an error through the missing slot.
  EXPECT_EQ(Core->ReadDriverError(), 0);
}

TEST_F(DriverBinding, LibraryWithoutCalibrationStillBinds) {
  Core->DriverFolder = Core->ProgramDir + u"no-calibration/";
  EXPECT_TRUE(Core->LoadDriver());
}

TEST_F(DriverBinding, MissingLibraryFailsAndUnloadThenDoesNothing) {
  Core->DriverFolder = Core->ProgramDir + u"nowhere/";
  EXPECT_FALSE(Core->LoadDriver());
  EXPECT_EQ(Core->DriverModule, nullptr);
  Core->UnloadDriver();
  Core->ReleaseDriver();
  EXPECT_EQ(Core->DriverModule, nullptr);
  EXPECT_EQ(Core->DriverFullScale(), 0);
}

TEST_F(DriverBinding, UnloadForgetsTheModule) {
  LoadFake();
  Core->UnloadDriver();
  EXPECT_EQ(Core->DriverModule, nullptr);
  // The slots are stale now; item queries must not call through them.
  EXPECT_EQ(Core->DriverSamplingFrequency(), 0);
}

TEST_F(DriverBinding, ReleaseCallsFreeDeviceThenFreeDriverOnlyThroughBoundSlots) {
  TFakeSartel& fake = LoadFake();
  Core->ReleaseDriver();
  EXPECT_EQ(fake.Calls, (std::vector<std::string>{"_FreeDevice", "_FreeDriver"}));
  fake.Calls.clear();
  Core->DriverApi.FreeDevice = nullptr;
  Core->ReleaseDriver();
  EXPECT_EQ(fake.Calls, (std::vector<std::string>{"_FreeDriver"}));
}

TEST_F(DriverBinding, LastErrorTextIsCopiedBoundedAndTerminated) {
  TFakeSartel& fake = LoadFake();
  fake.ErrorCode = 4;
  fake.ErrorText = std::u16string(300, u'x');
  Core->LastErrorText.fill(u'?');
  EXPECT_EQ(Core->ReadDriverError(), 4);
  EXPECT_EQ(TextOf(Core->LastErrorText), std::u16string(99, u'x'));
  EXPECT_EQ(Core->LastErrorText.back(), 0);
  fake.ErrorCode = 0;
  fake.ErrorText = u"";
  EXPECT_EQ(Core->ReadDriverError(), 0);
  EXPECT_EQ(TextOf(Core->LastErrorText), u"");
}

TEST_F(DriverBinding, ItemTablesThroughTheBinding) {
  LoadFake();
  Core->SamplingRate = 4;
  EXPECT_EQ(Core->DriverFullScale(), 0x8000);
  EXPECT_EQ(Core->DriverSamplingFrequency(), 10000);
  EXPECT_EQ(Core->DriverInputRange(1), 1000);
  EXPECT_EQ(Core->DriverInputRange(-1), 0);
  Core->SamplingRate = -0x100;  // would otherwise ask for the count
  EXPECT_EQ(Core->DriverSamplingFrequency(), 0);
}

TEST_F(DriverBinding, IndexesOutsideTheItemTablesAskForNothing) {
  LoadFake();
  EXPECT_EQ(Core->DriverClockCount(), 13);
  EXPECT_EQ(Core->DriverGainCount(), 3);
  // Beyond the table the library answers 0; from 0x100 on the selector
  // would carry the count flag and answer the count, and the largest index
  // would overflow the selector.
  for (const int32_t index : {13, 0x100, 0x1FF, 0x7FFFFFFF}) {
    SCOPED_TRACE(index);
    Core->SamplingRate = index;
    EXPECT_EQ(Core->DriverSamplingFrequency(), 0);
    EXPECT_EQ(Core->DriverInputRange(index), 0);
  }
  Core->UnloadDriver();
  // Without a library every index a selector can name is allowed.
  EXPECT_EQ(Core->DriverClockCount(), 0x100);
  EXPECT_EQ(Core->DriverGainCount(), 0x100);
}

TEST_F(DriverBinding, DataFilesTakeTheDefaultForAGainOutsideTheDeviceTablesAndRefuseSuchARate) {
  LoadFake();
  const std::u16string folder = Core->AppDataDir;
  ASSERT_TRUE(rtl::ForceDirectories(folder));
  const auto write = [](const std::u16string& path, std::u16string_view root, std::u16string_view section,
                        int32_t rate, int32_t gainA, int32_t gainB) {
    XmlIniFile d;
    d.Open(path, root, false);
    d.WriteInteger(section, u"SamplingRate", rate);
    d.WriteInteger(section, u"GainA", gainA);
    d.WriteInteger(section, u"GainB", gainB);
    ASSERT_TRUE(d.Save());
  };
  // The last entries of the tables are taken, one past them is not.
  write(Core->AutoSessionFile, u"SessionFile", u"Options", 12, 2, 3);
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->SamplingRate, 12);
  EXPECT_EQ(Core->GainA, 2);
  EXPECT_EQ(Core->GainB, 1);
  write(Core->AutoSessionFile, u"SessionFile", u"Options", 11, 0x7FFFFFFF, -1);
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->SamplingRate, 11);
  EXPECT_EQ(Core->GainA, 1);
  EXPECT_EQ(Core->GainB, 1);
  // A sampling rate the device does not list has no default: the samples
  // would be read at a rate they were not captured at, so the file is
  // refused.
  write(Core->AutoSessionFile, u"SessionFile", u"Options", 13, 2, 1);
  EXPECT_EQ(Core->LoadSession(), TZelto::sfrDocumentFailed);
  EXPECT_EQ(Core->SamplingRate, 11);

  const std::u16string trace = folder + u"trace.asd";
  write(trace, u"AsyncDataFile", u"Options", 4, 3, 2);
  {
    std::ofstream raw(rtl::NativePath(folder + u"trace.bin"));
  }
  ASSERT_TRUE(Core->LoadAsyncData(trace));
  EXPECT_EQ(Core->SamplingRate, 4);
  EXPECT_EQ(Core->GainA, 0);
  EXPECT_EQ(Core->GainB, 2);
  write(trace, u"AsyncDataFile", u"Options", 0x100, 1, 1);
  EXPECT_FALSE(Core->LoadAsyncData(trace));
  EXPECT_EQ(Core->SamplingRate, 4);
}
