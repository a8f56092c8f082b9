#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "datafilefixture.h"

namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view Root = u"AsyncDataFile";
constexpr int32_t Length = 8192;

class AsyncDataFileTest : public DataFileTest {
 protected:
  AsyncDataFileTest() {
    Core->RamSize = 0x4000;
    Core->BuffLength = Length;
    Core->SamplingRate = 4;
    Core->GainA = 2;
    Core->GainB = 3;
  }
  // A free-running capture as the capture thread leaves it: buffers of
  // RamSize samples, the capture in the first BuffLength.
  void Capture(uint8_t type) {
    Core->Type = type;
    Core->LiveDataA = Ramp(Core->RamSize, 1);
    if (type == 1) Core->LiveDataB = Ramp(Core->RamSize, -100000);
  }
  std::u16string Document() const { return Dir.File(u"trace.asd"); }
  fs::path RawFile() const { return Dir.Native(u"trace.bin"); }
  fs::path PendingFile() const { return Dir.Native(u"trace.bin.pending"); }
  // The live buffers as a load of the capture gives them back.
  std::pair<std::vector<int32_t>, std::vector<int32_t>> Loaded() {
    auto loaded = Restarted();
    loaded->RamSize = Core->RamSize;
    EXPECT_TRUE(loaded->LoadAsyncData(Document()));
    return {loaded->LiveDataA, loaded->LiveDataB};
  }
};

TEST_F(AsyncDataFileTest, OneChannelWritesOneBlock) {
  Capture(0);
  Core->LiveDataB = Ramp(Core->RamSize, 5);  // left from a two-channel capture
  std::u16string path = Document();
  ASSERT_TRUE(Core->SaveAsyncData(path));
  EXPECT_EQ(path, Document());
  EXPECT_EQ(SamplesOf(ReadBytes(RawFile())), Ramp(Length, 1));
  const auto d = ReadDocument(Document(), Root);
  EXPECT_EQ(d->ReadInteger(u"Options", u"Type", -1), 0);
  EXPECT_EQ(d->ReadInteger(u"Options", u"BuffLength", -1), Length);
  EXPECT_EQ(d->ReadInteger(u"Data", u"ChannelA", -1), 1);
  EXPECT_EQ(d->ReadInteger(u"Data", u"ChannelB", -1), 0);
  EXPECT_EQ(d->ReadInteger(u"Config", u"WindowType", -1), -1);
}

TEST_F(AsyncDataFileTest, TwoChannelsRoundTrip) {
  Capture(1);
  // A longer raw file from an earlier save is replaced, not overwritten.
  WriteBytes(RawFile(), std::string(200000, 'x'));
  ASSERT_TRUE(Core->SaveAsyncData(Document()));
  const std::vector<int32_t> raw = SamplesOf(ReadBytes(RawFile()));
  ASSERT_EQ(raw.size(), 2u * Length);
  EXPECT_EQ(raw[0], 1);
  EXPECT_EQ(raw[Length], -100000);

  auto loaded = Restarted();
  loaded->RamSize = 0x4000;
  loaded->Captures[2].DataA = Ramp(16, 0);
  loaded->Results[2].Valid = 1;
  ASSERT_TRUE(loaded->LoadAsyncData(Document()));
  EXPECT_EQ(loaded->Type, 1);
  EXPECT_EQ(loaded->BuffLength, Length);
  EXPECT_EQ(loaded->SamplingRate, 4);
  EXPECT_EQ(loaded->GainA, 2);
  EXPECT_EQ(loaded->GainB, 3);
  // Sized like the capture thread's buffers, the capture at their start.
  ASSERT_EQ(loaded->LiveDataA.size(), 0x4000u);
  ASSERT_EQ(loaded->LiveDataB.size(), 0x4000u);
  EXPECT_EQ(std::vector<int32_t>(loaded->LiveDataA.begin(), loaded->LiveDataA.begin() + Length), Ramp(Length, 1));
  EXPECT_EQ(loaded->LiveDataA[Length], 0);
  EXPECT_EQ(std::vector<int32_t>(loaded->LiveDataB.begin(), loaded->LiveDataB.begin() + Length),
            Ramp(Length, -100000));
  // Every balancing run is gone.
  EXPECT_TRUE(loaded->Captures[2].DataA.empty());
  EXPECT_EQ(loaded->Results[2].Valid, 0);
}

TEST_F(AsyncDataFileTest, OtherKeysOfTheDocumentAreKept) {
  WriteDocument(Document(), Root, [](XmlIniFile& d) {
    d.WriteInteger(u"Config", u"WindowType", 5);
    d.WriteString(u"Notes", u"Text", u"bearing 2");
  });
  Capture(0);
  ASSERT_TRUE(Core->SaveAsyncData(Document()));
  const auto d = ReadDocument(Document(), Root);
  EXPECT_EQ(d->ReadString(u"Notes", u"Text", u""), u"bearing 2");
  ASSERT_TRUE(Core->LoadAsyncData(Document()));
  EXPECT_EQ(Core->WindowType, 5);
}

TEST_F(AsyncDataFileTest, ReadsOnlyTheBlocksTheDocumentAllows) {
  // One channel, although the document claims a second block.
  WriteDocument(Document(), Root, [](XmlIniFile& d) {
    d.WriteInteger(u"Options", u"BuffLength", 4);
    d.WriteInteger(u"Data", u"ChannelA", 1);
    d.WriteInteger(u"Data", u"ChannelB", 1);
    d.WriteInteger(u"Config", u"WindowType", 9);
  });
  WriteBytes(RawFile(), SampleBytes(Ramp(8, 1)));
  Core->LiveDataB = Ramp(4, 0);
  ASSERT_TRUE(Core->LoadAsyncData(Document()));
  EXPECT_EQ(Core->LiveDataA[3], 4);
  EXPECT_TRUE(Core->LiveDataB.empty());
  EXPECT_EQ(Core->WindowType, 0);

  // Blocks longer than the device's memory: each is read whole, and only
  // the capture length is bounded by the memory.
  WriteDocument(Document(), Root, [](XmlIniFile& d) {
    d.WriteInteger(u"Options", u"Type", 1);
    d.WriteInteger(u"Options", u"BuffLength", 16);
    d.WriteInteger(u"Data", u"ChannelA", 1);
    d.WriteInteger(u"Data", u"ChannelB", 1);
  });
  WriteBytes(RawFile(), SampleBytes(Ramp(32, 0)));
  Core->RamSize = 8;
  ASSERT_TRUE(Core->LoadAsyncData(Document()));
  EXPECT_EQ(Core->BuffLength, 8);
  EXPECT_EQ(Core->LiveDataA, Ramp(16, 0));
  EXPECT_EQ(Core->LiveDataB, Ramp(16, 16));
  EXPECT_EQ(Core->LiveConditions.Length, 16);
}

TEST_F(AsyncDataFileTest, SensorsAreReplacedOnlyByExistingFiles) {
  SensorInfo probe;
  probe.Name = u"Probe1";
  probe.Sensitivity = 10;
  ASSERT_EQ(Core->SaveSensor(u"Probe1", probe, false), TZelto::ssrSaved);
  WriteDocument(Document(), Root, [](XmlIniFile& d) {
    d.WriteString(u"Options", u"VibSensorA.Name", u"Probe1");
    d.WriteString(u"Options", u"VibSensorB.Name", u"Gone");
  });
  WriteBytes(RawFile(), "");
  Core->VibSensorB.Name = u"Kept";
  ASSERT_TRUE(Core->LoadAsyncData(Document()));
  EXPECT_EQ(Core->VibSensorA.Sensitivity, 10);
  EXPECT_EQ(Core->VibSensorB.Name, u"Kept");
  EXPECT_TRUE(Core->LiveDataA.empty());
}

TEST_F(AsyncDataFileTest, RefusedFilesLeaveTheCoreAsItWas) {
  Capture(1);
  ASSERT_TRUE(Core->SaveAsyncData(Document()));
  Core->Captures[0].DataA = Ramp(4, 0);
  Core->Type = 0;
  const auto expectUnchanged = [this] {
    EXPECT_EQ(Core->Type, 0);
    EXPECT_EQ(Core->Captures[0].DataA.size(), 4u);
  };
  // A raw file of another size than the document recorded.
  WriteBytes(RawFile(), SampleBytes(Ramp(Length, 0)));
  EXPECT_FALSE(Core->LoadAsyncData(Document()));
  expectUnchanged();
  // No raw file at all.
  fs::remove(RawFile());
  EXPECT_FALSE(Core->LoadAsyncData(Document()));
  expectUnchanged();
  // An impossible buffer length.
  WriteBytes(RawFile(), "");
  WriteDocument(Document(), Root, [](XmlIniFile& d) { d.WriteInteger(u"Options", u"BuffLength", 1000); });
  EXPECT_FALSE(Core->LoadAsyncData(Document()));
  expectUnchanged();
  // A sampling rate outside the device's list: the record would be read at
  // a rate it was not captured at.
  WriteDocument(Document(), Root, [](XmlIniFile& d) { d.WriteInteger(u"Options", u"SamplingRate", 0x7FFFFFFF); });
  EXPECT_FALSE(Core->LoadAsyncData(Document()));
  expectUnchanged();
  // A damaged document, which a save doesn't overwrite either.
  WriteBytes(Dir.Native(u"trace.asd"), "garbage");
  EXPECT_FALSE(Core->LoadAsyncData(Document()));
  EXPECT_FALSE(Core->SaveAsyncData(Document()));
  EXPECT_EQ(ReadBytes(Dir.Native(u"trace.asd")), "garbage");
  expectUnchanged();
  // A document named like its own raw file.
  EXPECT_FALSE(Core->SaveAsyncData(Dir.File(u"trace.bin")));
}

TEST_F(AsyncDataFileTest, DeviceTableIndexesOutsideEveryTableTakeDefaults) {
  WriteDocument(Document(), Root, [](XmlIniFile& d) {
    d.WriteInteger(u"Options", u"GainA", 0x1FF);
    d.WriteInteger(u"Options", u"GainB", 0xFF);
  });
  WriteBytes(RawFile(), "");
  ASSERT_TRUE(Core->LoadAsyncData(Document()));
  EXPECT_EQ(Core->SamplingRate, 0);
  EXPECT_EQ(Core->GainA, 0);
  EXPECT_EQ(Core->GainB, 0xFF);
}

TEST_F(AsyncDataFileTest, ARawFileOfTheSameSizeFromAnotherSaveIsRefused) {
  Capture(1);
  ASSERT_TRUE(Core->SaveAsyncData(Document()));
  std::string raw = ReadBytes(RawFile());
  raw[raw.size() - 1] ^= 0x40;
  WriteBytes(RawFile(), raw);
  auto loaded = Restarted();
  EXPECT_FALSE(loaded->LoadAsyncData(Document()));
  EXPECT_TRUE(loaded->LiveDataA.empty());
}

TEST_F(AsyncDataFileTest, AnInterruptedSaveGivesTheOldOrTheNewPair) {
  Capture(1);
  ASSERT_TRUE(Core->SaveAsyncData(Document()));
  const auto first = Loaded();
  const std::string firstRaw = ReadBytes(RawFile());
  Core->LiveDataB = Ramp(Core->RamSize, 42);
  ASSERT_TRUE(Core->SaveAsyncData(Document()));
  const auto second = Loaded();
  ASSERT_NE(first, second);
  const std::string secondRaw = ReadBytes(RawFile());

  // Stopped after the new document: its raw file waits under the pending
  // name and is taken, and moved into place.
  fs::rename(RawFile(), PendingFile());
  WriteBytes(RawFile(), firstRaw);
  EXPECT_EQ(Loaded(), second);
  EXPECT_EQ(ReadBytes(RawFile()), secondRaw);
  EXPECT_FALSE(fs::exists(PendingFile()));

  // Stopped before the new document: the pending file is not the
  // document's, and the next save removes it.
  WriteBytes(PendingFile(), firstRaw);
  EXPECT_EQ(Loaded(), second);
  ASSERT_TRUE(Core->SaveAsyncData(Document()));
  EXPECT_FALSE(fs::exists(PendingFile()));
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(Dir.Path)) files += entry.is_regular_file();
  EXPECT_EQ(files, 2u);
}

TEST_F(AsyncDataFileTest, APipeNamedLikeTheDocumentIsRefusedAtOnce) {
  WriteBytes(RawFile(), "");
  ASSERT_EQ(::mkfifo(Dir.Native(u"trace.asd").c_str(), 0600), 0);
  ::alarm(10);  // a reader that waits for a writer ends the suite here
  EXPECT_FALSE(Core->LoadAsyncData(Document()));
  EXPECT_FALSE(Core->SaveAsyncData(Document()));
  ::alarm(0);
  EXPECT_TRUE(fs::is_fifo(Dir.Native(u"trace.asd")));
}

}  // namespace
