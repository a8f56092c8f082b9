// The sensor editor's rules: the name filter, the field texts of a record
// and the record the fields describe.
#include <gtest/gtest.h>

#include "sensorfields.h"

namespace {

std::u16string TypeName(std::u16string_view keys) {
  std::u16string text;
  for (char16_t key : keys)
    if (SensorNameKey(key)) text += key;
  return text;
}

TEST(SensorNameKey, LettersDigitsAndThreeSignsMakeAFileName) {
  EXPECT_EQ(TypeName(u"Probe 1"), u"Probe1");
  EXPECT_EQ(TypeName(u"a_b-c+d.e\\f/g:h*i?j\"k<l>m|n"), u"a_b-c+defghijklmn");
  EXPECT_EQ(TypeName(u"Sonde\u00e4\u00df"), u"Sonde\u00e4\u00df");
  char16_t control = 1, surrogate = 0xD83D, backspace = 8;
  EXPECT_FALSE(SensorNameKey(control));
  EXPECT_EQ(control, 0);
  EXPECT_FALSE(SensorNameKey(surrogate));
  EXPECT_TRUE(SensorNameKey(backspace));
}

TEST(SensorFields, ShowTheRecordWithoutRoundingOrDroppingTheSign) {
  SensorInfo s;
  s.Name = u"Probe1";
  s.Type = 2;
  s.Sensitivity = 10.26;
  s.RangeLow = 0.5;
  s.RangeHigh = 12500;
  s.InputGain = 1;
  s.Temperature = 1;
  s.TemperatureGain = 10;
  s.TemperatureOffset = -2;
  const TSensorFields f = SensorFieldsOf(s);
  EXPECT_EQ(f.Name, u"Probe1");
  EXPECT_EQ(f.Type, 2);
  EXPECT_EQ(f.Values[svSensitivity].Text, u"10,26");
  EXPECT_EQ(f.Values[svRangeLow].Text, u"0,5");
  EXPECT_EQ(f.Values[svRangeHigh].Text, u"12500");
  EXPECT_EQ(f.Values[svTempOffset].Text, u"-2");
  EXPECT_TRUE(f.Temperature);
  // Confirming unchanged fields stores the same record.
  const TSensorBuild again = BuildSensor(f);
  ASSERT_EQ(again.Check, sfcComplete);
  EXPECT_EQ(again.Sensor.Sensitivity, 10.26);
  EXPECT_EQ(again.Sensor.TemperatureOffset, -2);
  s.Type = 5;
  EXPECT_EQ(SensorFieldsOf(s).Type, -1);
}

TEST(BuildSensor, RequiredFieldsInOrderThenNumbers) {
  TSensorFields f;
  EXPECT_EQ(BuildSensor(f).Check, sfcName);
  f.Name = u"P";
  TSensorBuild b = BuildSensor(f);
  EXPECT_EQ(b.Check, sfcValue);
  EXPECT_EQ(b.Field, svSensitivity);
  f.Values[svSensitivity] = u"100";
  b = BuildSensor(f);
  EXPECT_EQ(b.Check, sfcValue);
  EXPECT_EQ(b.Field, svInputGain);
  f.Values[svInputGain] = u"1";
  f.Values[svRangeLow] = u",";
  b = BuildSensor(f);
  EXPECT_EQ(b.Check, sfcValue);
  EXPECT_EQ(b.Field, svRangeLow);
}

TEST(BuildSensor, EmptyOptionalFieldsReadZeroAndTheNameIsCut) {
  TSensorFields f;
  f.Name = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  f.Type = -1;
  f.Values[svSensitivity] = u"5,5";
  f.Values[svInputGain] = u"2";
  f.Temperature = true;
  const TSensorBuild b = BuildSensor(f);
  ASSERT_EQ(b.Check, sfcComplete);
  EXPECT_EQ(b.Sensor.Name, u"ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(b.Sensor.Type, 0);
  EXPECT_EQ(b.Sensor.Sensitivity, 5.5);
  EXPECT_EQ(b.Sensor.InputGain, 2);
  EXPECT_EQ(b.Sensor.RangeLow, 0);
  EXPECT_EQ(b.Sensor.TemperatureGain, 0);
  EXPECT_EQ(b.Sensor.Temperature, 1);
}

// A record shown and read back without an edit gives every value bit for
// bit, also where the text is shorter than the number.
TEST(BuildSensor, UntouchedFieldsGiveTheRecordBack) {
  SensorInfo s{u"Acc", 0.1 + 0.2, stVelocity, 0.0123456789, 12345678901, 1.2345678901234567, 1,
               123.45678901234567, -0.000123456789};
  const TSensorFields f = SensorFieldsOf(s);
  EXPECT_EQ(f.Values[svSensitivity].Text, u"0,3");
  const TSensorBuild build = BuildSensor(f);
  ASSERT_EQ(build.Check, sfcComplete);
  EXPECT_EQ(build.Sensor.Sensitivity, 0.1 + 0.2);
  EXPECT_EQ(build.Sensor.RangeHigh, 12345678901);
  EXPECT_EQ(build.Sensor.InputGain, 1.2345678901234567);
  EXPECT_EQ(build.Sensor.TemperatureOffset, -0.000123456789);
}

}  // namespace
