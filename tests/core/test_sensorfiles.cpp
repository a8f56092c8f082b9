#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "scratchfolder.h"
#include "zelto.h"

namespace {

namespace fs = std::filesystem;

class SensorFilesTest : public ::testing::Test {
 protected:
  SensorFilesTest() {
    ::setenv("XDG_DATA_HOME", Dir.Path.c_str(), 1);
    Core = std::make_unique<TZelto>();
  }
  fs::path Sensors() const { return Dir.Path / "Orvanteq" / "Kalvenor" / "Sensors"; }
  std::vector<std::u16string> EnumeratedNames() {
    std::vector<std::u16string> names;
    std::u16string name;
    for (bool more = Core->FindSensorFile(&name, true); more; more = Core->FindSensorFile(&name, false))
      names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
  }
  static SensorInfo Probe(std::u16string name) {
    SensorInfo s;
    s.Name = std::move(name);
    s.Type = 1;
    s.Sensitivity = 5;
    s.RangeLow = 0.5;
    s.RangeHigh = 12500;
    s.InputGain = 2;
    s.Temperature = 1;
    s.TemperatureGain = 0.01;
    s.TemperatureOffset = -273.15;
    return s;
  }

  TScratchFolder Dir;
  std::unique_ptr<TZelto> Core;
};

void ExpectSame(const SensorInfo& a, const SensorInfo& b) {
  EXPECT_EQ(a.Name, b.Name);
  EXPECT_EQ(a.Type, b.Type);
  EXPECT_EQ(a.Sensitivity, b.Sensitivity);
  EXPECT_EQ(a.RangeLow, b.RangeLow);
  EXPECT_EQ(a.RangeHigh, b.RangeHigh);
  EXPECT_EQ(a.InputGain, b.InputGain);
  EXPECT_EQ(a.Temperature, b.Temperature);
  EXPECT_EQ(a.TemperatureGain, b.TemperatureGain);
  EXPECT_EQ(a.TemperatureOffset, b.TemperatureOffset);
}

TEST_F(SensorFilesTest, MissingFolderIsCreatedOnSaving) {
  ASSERT_FALSE(fs::exists(Sensors()));
  EXPECT_EQ(Core->FindSensorFile(nullptr, false), 0);
  std::u16string name = u"unchanged";
  EXPECT_EQ(Core->FindSensorFile(&name, true), 0);
  EXPECT_EQ(name, u"unchanged");
  EXPECT_EQ(Core->SaveSensor(u"Probe1", Probe(u"Probe1"), true), TZelto::ssrSaved);
  EXPECT_TRUE(fs::is_regular_file(Sensors() / "Probe1.xml"));
}

TEST_F(SensorFilesTest, SavedSensorLoadsTheSame) {
  ASSERT_EQ(Core->SaveSensor(u"Probe1", Probe(u"Probe1"), false), TZelto::ssrSaved);
  SensorInfo loaded;
  ASSERT_TRUE(Core->LoadSensor(u"Probe1", loaded));
  ExpectSame(loaded, Probe(u"Probe1"));
  const std::u16string text = Utf16LeText(ReadBytes(Sensors() / "Probe1.xml"));
  EXPECT_EQ(text,
            u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<SensorFile>\r\n<Sensor>\r\n"
            u" <Name value = \"Probe1\"/>\r\n <Type value = \"1\"/>\r\n"
            u" <Sensitivity value = \"5.0000000000000000\"/>\r\n <RangeLow value = \"0.5000000000000000\"/>\r\n"
            u" <RangeHigh value = \"12500.0000000000000000\"/>\r\n <InputGain value = \"2.0000000000000000\"/>\r\n"
            u" <Temperature value = \"1\"/>\r\n <TemperatureGain value = \"0.0100000000000000\"/>\r\n"
            u" <TemperatureOffset value = \"-273.1499999999999773\"/>\r\n</Sensor>\r\n</SensorFile>");
}

TEST_F(SensorFilesTest, EnumerationListsTheSensorFiles) {
  for (const auto name : {u"A", u"B", u"C"}) ASSERT_EQ(Core->SaveSensor(name, Probe(name), false), TZelto::ssrSaved);
  // Neither other files nor folders are sensors.
  WriteBytes(Sensors() / "notes.txt", "x");
  WriteBytes(Sensors() / "upper.XML", "x");
  fs::create_directory(Sensors() / "folder.xml");
  EXPECT_EQ(Core->FindSensorFile(nullptr, false), 3);
  EXPECT_EQ(EnumeratedNames(), (std::vector<std::u16string>{u"A", u"B", u"C"}));
}

TEST_F(SensorFilesTest, CountingEndsAnEnumeration) {
  for (const auto name : {u"A", u"B"}) ASSERT_EQ(Core->SaveSensor(name, Probe(name), false), TZelto::ssrSaved);
  std::u16string name;
  ASSERT_TRUE(Core->FindSensorFile(&name, true));
  EXPECT_EQ(Core->FindSensorFile(nullptr, false), 2);
  EXPECT_FALSE(Core->FindSensorFile(&name, false));
  // Without the first flag nothing starts.
  EXPECT_FALSE(Core->FindSensorFile(&name, false));
}

TEST_F(SensorFilesTest, FailIfExistsLeavesTheFile) {
  ASSERT_EQ(Core->SaveSensor(u"Probe1", Probe(u"Probe1"), true), TZelto::ssrSaved);
  const std::string before = ReadBytes(Sensors() / "Probe1.xml");
  SensorInfo other = Probe(u"Probe1");
  other.Sensitivity = 99;
  EXPECT_EQ(Core->SaveSensor(u"Probe1", other, true), TZelto::ssrExists);
  EXPECT_EQ(ReadBytes(Sensors() / "Probe1.xml"), before);
  EXPECT_EQ(Core->SaveSensor(u"Probe1", other, false), TZelto::ssrSaved);
  SensorInfo loaded;
  ASSERT_TRUE(Core->LoadSensor(u"Probe1", loaded));
  EXPECT_EQ(loaded.Sensitivity, 99);
}

TEST_F(SensorFilesTest, WriteFailureIsReported) {
  // A folder where the sensor file would go can't be replaced by it.
  fs::create_directories(Sensors() / "Probe1.xml");
  EXPECT_EQ(Core->SaveSensor(u"Probe1", Probe(u"Probe1"), false), TZelto::ssrWriteFailed);
  // A file where the sensor folder would go.
  fs::remove_all(Sensors());
  WriteBytes(Sensors(), "x");
  EXPECT_EQ(Core->SaveSensor(u"Probe2", Probe(u"Probe2"), false), TZelto::ssrWriteFailed);
}

TEST_F(SensorFilesTest, DeleteRemovesOnlyExistingFiles) {
  ASSERT_EQ(Core->SaveSensor(u"Probe1", Probe(u"Probe1"), false), TZelto::ssrSaved);
  EXPECT_TRUE(Core->DeleteSensor(u"Probe1"));
  EXPECT_FALSE(fs::exists(Sensors() / "Probe1.xml"));
  EXPECT_FALSE(Core->DeleteSensor(u"Probe1"));
  SensorInfo untouched = Probe(u"Kept");
  EXPECT_FALSE(Core->LoadSensor(u"Probe1", untouched));
  EXPECT_EQ(untouched.Name, u"Kept");
}

TEST_F(SensorFilesTest, NameAndFileNameMayDiffer) {
  ASSERT_EQ(Core->SaveSensor(u"Old", Probe(u"New"), false), TZelto::ssrSaved);
  EXPECT_EQ(EnumeratedNames(), std::vector<std::u16string>{u"Old"});
  SensorInfo loaded;
  ASSERT_TRUE(Core->LoadSensor(u"Old", loaded));
  EXPECT_EQ(loaded.Name, u"New");
}

TEST_F(SensorFilesTest, ExtensionOfTheName) {
  ASSERT_EQ(Core->SaveSensor(u"Probe1.xml", Probe(u"Probe1"), false), TZelto::ssrSaved);
  EXPECT_TRUE(fs::exists(Sensors() / "Probe1.xml"));
  SensorInfo loaded;
  EXPECT_TRUE(Core->LoadSensor(u"Probe1", loaded));
  ASSERT_EQ(Core->SaveSensor(u"Probe2.XML", Probe(u"Probe2"), false), TZelto::ssrSaved);
  EXPECT_TRUE(fs::exists(Sensors() / "Probe2.XML.xml"));
}

TEST_F(SensorFilesTest, NamesThatLeaveTheFolderAreRefused) {
  fs::create_directories(Sensors());
  WriteBytes(Dir.Path / "Orvanteq" / "Kalvenor" / "outside.xml", "x");
  for (const auto name : {u"../outside", u"a/b", u"a\\b", u"..", u""}) {
    SensorInfo sensor;
    EXPECT_FALSE(Core->LoadSensor(name, sensor)) << rtl::Utf16ToUtf8(name);
    EXPECT_EQ(Core->SaveSensor(name, Probe(u"x"), false), TZelto::ssrWriteFailed) << rtl::Utf16ToUtf8(name);
    EXPECT_FALSE(Core->DeleteSensor(name)) << rtl::Utf16ToUtf8(name);
  }
  EXPECT_TRUE(fs::exists(Dir.Path / "Orvanteq" / "Kalvenor" / "outside.xml"));
  EXPECT_TRUE(fs::is_empty(Sensors()));
}

TEST_F(SensorFilesTest, MissingAndDamagedKeysTakeDefaults) {
  fs::create_directories(Sensors());
  WriteBytes(Sensors() / "Partial.xml",
             Utf16LeBytes(u"<SensorFile><Sensor> <Name value = \"A name longer than twenty-one\"/>"
                          u" <Sensitivity value = \"12.5\"/></Sensor></SensorFile>"));
  SensorInfo loaded = Probe(u"x");
  ASSERT_TRUE(Core->LoadSensor(u"Partial", loaded));
  EXPECT_EQ(loaded.Name, u"A name longer than tw");
  EXPECT_EQ(loaded.Sensitivity, 12.5);
  EXPECT_EQ(loaded.InputGain, 1.0);
  EXPECT_EQ(loaded.Type, 0);
  EXPECT_EQ(loaded.Temperature, 0);

  // Damaged after the sensitivity: what came before is still read.
  WriteBytes(Sensors() / "Damaged.xml",
             Utf16LeBytes(u"<SensorFile><Sensor> <Sensitivity value = \"7\"/> <Type"));
  ASSERT_TRUE(Core->LoadSensor(u"Damaged", loaded));
  EXPECT_EQ(loaded.Sensitivity, 0);
  WriteBytes(Sensors() / "Damaged.xml",
             Utf16LeBytes(u"<SensorFile><Sensor> <Sensitivity value = \"7\"/></Sensor><Other> <Type</SensorFile>"));
  ASSERT_TRUE(Core->LoadSensor(u"Damaged", loaded));
  EXPECT_EQ(loaded.Sensitivity, 7);
}

}  // namespace
