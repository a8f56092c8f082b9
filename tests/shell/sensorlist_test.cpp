// The sensor database as the dialogs list it: order, loading, row texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "sensorlist.h"
#include "shelltestsupport.h"
#include "zelto.h"

namespace {

using shelltest::TTempFolder;

class SensorList : public testing::Test {
 protected:
  void SetUp() override { core.AppDataDir = folder.PathW() + u"/"; }

  void Save(const std::u16string& name, double sensitivity = 100) {
    SensorInfo s;
    s.Name = name;
    s.Sensitivity = sensitivity;
    ASSERT_EQ(core.SaveSensor(name, s, true), TZelto::ssrSaved);
  }

  TTempFolder folder;
  TZelto core;
};

TEST(CompareSensorNames, IgnoresCaseAndSortsUnderscoreAfterLetters) {
  std::vector<std::u16string> names = {u"b", u"A", u"c", u"A_b", u"Aa", u"a"};
  std::stable_sort(names.begin(), names.end(),
                   [](const std::u16string& x, const std::u16string& y) { return CompareSensorNames(x, y) < 0; });
  EXPECT_EQ(names, (std::vector<std::u16string>{u"A", u"a", u"Aa", u"A_b", u"b", u"c"}));
  EXPECT_EQ(CompareSensorNames(u"probe", u"PROBE"), 0);
  // The difference of the first differing units; a prefix sorts first.
  EXPECT_EQ(CompareSensorNames(u"A", u"C"), 'A' - 'C');
  EXPECT_LT(CompareSensorNames(u"Ab", u"Abc"), 0);
  EXPECT_GT(CompareSensorNames(u"A_", u"AZ"), 0);
}

TEST_F(SensorList, AnEmptyOrMissingFolderListsNothing) {
  EXPECT_TRUE(LoadSensorEntries(core).empty());
  EXPECT_TRUE(SortedSensorNames(core).empty());
}

TEST_F(SensorList, ListsEveryFileSortedByItsName) {
  Save(u"b");
  Save(u"A", 5);
  Save(u"c");
  const std::vector<TSensorEntry> entries = LoadSensorEntries(core);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].FileName, u"A");
  EXPECT_EQ(entries[0].Sensor.Sensitivity, 5);
  EXPECT_EQ(entries[1].FileName, u"b");
  EXPECT_EQ(entries[2].FileName, u"c");
  EXPECT_EQ(SortedSensorNames(core), (std::vector<std::u16string>{u"A", u"b", u"c"}));
}

TEST_F(SensorList, ADamagedFileIsListedUnderItsFileNameWithDefaults) {
  Save(u"Good");
  shelltest::WriteBytes(folder.File("Sensors/Broken.xml"), "not a sensor file");
  const std::vector<TSensorEntry> entries = LoadSensorEntries(core);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].FileName, u"Broken");
  EXPECT_EQ(entries[0].Sensor.Name, u"");
  EXPECT_EQ(entries[0].Sensor.Sensitivity, 0);
  EXPECT_EQ(entries[0].Sensor.Type, 0);
}

TEST(SensorTexts, AVelocitySensorRow) {
  const TSensorTexts texts{{u"Acceleration", u"Velocity", u"Displacement"}, u"Yes", u"No"};
  SensorInfo s;
  s.Type = 1;
  s.Sensitivity = 5;
  s.RangeLow = 0.5;
  s.RangeHigh = 12500;
  s.Temperature = 1;
  EXPECT_EQ(SensorTypeText(s, texts), u"Velocity");
  EXPECT_EQ(SensitivityText(s), u"5,000 mV/(mm/s)");
  EXPECT_EQ(FrequencyRangeText(s), u"0,5 Hz - 12,5 kHz");
  EXPECT_EQ(TemperatureText(s, texts), u"Yes");
  s.Temperature = 0;
  EXPECT_EQ(TemperatureText(s, texts), u"No");
  // A sensor whose figures are not known (a type no sensor has, a damaged
  // file's defaults, an older job's sensor this PC lacks) shows none: no
  // type, no 0 that would read as a sensitivity or a range.
  s.Type = 7;
  const SensorInfo unknown{u"Job's sensor", 0, stAcceleration, 0, 0};
  for (const SensorInfo& sensor : {s, SensorInfo(), unknown}) {
    EXPECT_EQ(SensorTypeText(sensor, texts), u"-");
    EXPECT_EQ(SensitivityText(sensor), u"-");
    EXPECT_EQ(FrequencyRangeText(sensor), u"-");
    EXPECT_EQ(TemperatureText(sensor, texts), u"-");
  }
}

TEST(NoSensor, EveryFieldZero) {
  const SensorInfo none = NoSensor();
  EXPECT_EQ(none.Name, u"");
  EXPECT_EQ(none.Sensitivity, 0);
  EXPECT_EQ(none.InputGain, 0);
  EXPECT_EQ(none.Type, 0);
}

}  // namespace
