#include "formatting.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "scratchfolder.h"
#include "zelto.h"

namespace {

constexpr double Pi = std::numbers::pi;

// The expectations are written with "." so they read like the decade tables.
class Formatting : public ::testing::Test {
 protected:
  void SetUp() override { DecimalSeparator = u'.'; }
  void TearDown() override { DecimalSeparator = u','; }
};

struct TCase {
  double Value;
  std::u16string Expected;
};

// Values just below and just above each limit of a table: 0.987654 and
// 1.012345 times the limit, whose digits show which row's decimals applied.
constexpr double Below = 0.987654;
constexpr double Above = 1.012345;

SensorInfo Sensor(uint8_t type, double sensitivity = 100, double gain = 1) {
  SensorInfo s;
  s.Type = type;
  s.Sensitivity = sensitivity;
  s.InputGain = gain;
  return s;
}

TEST_F(Formatting, PatternDigitsAndLiterals) {
  EXPECT_EQ(FormatPattern(12.5, u"0.## Hz"), u"12.5 Hz");
  EXPECT_EQ(FormatPattern(12, u"0.## Hz"), u"12 Hz");
  EXPECT_EQ(FormatPattern(0.5, u"0.000"), u"0.500");
  EXPECT_EQ(FormatPattern(5, u"00"), u"05");
  EXPECT_EQ(FormatPattern(0.5, u"x0.00"), u"x0.50");
  EXPECT_EQ(FormatPattern(359.6, u"0°"), u"360°");
  EXPECT_EQ(FormatPattern(1e20, u"0"), u"100000000000000000000");
  EXPECT_EQ(FormatPattern(5e-324, u"0.##"), u"0");
  EXPECT_EQ(FormatPattern(3, u"rpm"), u"rpm");
}

TEST_F(Formatting, PatternRoundsHalvesAwayFromZero) {
  EXPECT_EQ(FormatPattern(0.125, u"0.00"), u"0.13");
  EXPECT_EQ(FormatPattern(2.5, u"0"), u"3");
  EXPECT_EQ(FormatPattern(-2.5, u"0"), u"-3");
  EXPECT_EQ(FormatPattern(9.995, u"0.00"), u"10.00");
  EXPECT_EQ(FormatPattern(999.96, u"0.#"), u"1000");
  EXPECT_EQ(FormatPattern(0.994, u"0.##"), u"0.99");
}

TEST_F(Formatting, PatternNegativeNeverShowsMinusZero) {
  EXPECT_EQ(FormatPattern(-0.35, u"0"), u"0");
  EXPECT_EQ(FormatPattern(-0.0004, u"0.000"), u"0.000");
  EXPECT_EQ(FormatPattern(-0.0, u"0.#"), u"0");
  EXPECT_EQ(FormatPattern(-0.35, u"0.0"), u"-0.4");
  EXPECT_EQ(FormatPattern(-1.5, u"x0.0 V"), u"-x1.5 V");
}

TEST_F(Formatting, PatternNotANumber) {
  EXPECT_EQ(FormatPattern(std::nan(""), u"0.## Hz"), u"NaN Hz");
  EXPECT_EQ(FormatPattern(std::numeric_limits<double>::infinity(), u"0"), u"INF");
  EXPECT_EQ(FormatPattern(-std::numeric_limits<double>::infinity(), u"0 s"), u"-INF s");
}

TEST_F(Formatting, DecimalSeparatorIsTheProjectSetting) {
  DecimalSeparator = u',';
  EXPECT_EQ(FormatPattern(12.5, u"0.## Hz"), u"12,5 Hz");
  EXPECT_EQ(FormatNumber(-3), u"-3,000");
  EXPECT_EQ(FormatTime(0.0025), u"2,5 ms");
}

TEST_F(Formatting, TimeExamples) {
  EXPECT_EQ(FormatTime(0), u"0 s");
  EXPECT_EQ(FormatTime(-0.0), u"0 s");
  EXPECT_EQ(FormatTime(0.0025), u"2.5 ms");
  EXPECT_EQ(FormatTime(-0.0025), u"-2.5 ms");
  EXPECT_EQ(FormatTime(5e-9), u"5 ns");
  EXPECT_EQ(FormatTime(12.25), u"12.25 s");
  EXPECT_EQ(FormatTime(3725.9), u"01:02:05");
  EXPECT_EQ(FormatTime(1020), u"00:17:00");
  EXPECT_EQ(FormatTime(3600), u"01:00:00");
  EXPECT_EQ(FormatTime(-3725.9), u"-01:02:05");
  EXPECT_EQ(FormatTime(1.5e-12), u"0.0015 ns");
  EXPECT_EQ(FormatTime(-1e-15), u"0 ns");
}

TEST_F(Formatting, TimeRowBoundaries) {
  const std::vector<TCase> cases = {
      {1e-8 * Below, u"9.8765 ns"},   {1e-8 * Above, u"10.123 ns"},
      {1e-7 * Below, u"98.765 ns"},   {1e-7 * Above, u"101.23 ns"},
      {1e-6 * Below, u"987.65 ns"},   {1e-6 * Above, u"1.0123 µs"},
      {1e-5 * Below, u"9.8765 µs"},   {1e-5 * Above, u"10.123 µs"},
      {1e-4 * Below, u"98.765 µs"},   {1e-4 * Above, u"101.23 µs"},
      {1e-3 * Below, u"987.65 µs"},   {1e-3 * Above, u"1.0123 ms"},
      {0.01 * Below, u"9.8765 ms"},   {0.01 * Above, u"10.123 ms"},
      {0.1 * Below, u"98.765 ms"},    {0.1 * Above, u"101.23 ms"},
      {1 * Below, u"987.65 ms"},      {1 * Above, u"1.012 s"},
      {10 * Below, u"9.877 s"},       {10 * Above, u"10.12 s"},
      {100 * Below, u"98.77 s"},      {100 * Above, u"101.2 s"},
      {1000 * Below, u"987.7 s"},     {1000 * Above, u"00:16:52"},
      {1e-6, u"1 µs"},                {1e-3, u"1 ms"},
      {1, u"1 s"},                    {1000, u"00:16:40"},
  };
  for (const TCase& c : cases) EXPECT_EQ(FormatTime(c.Value), c.Expected) << c.Value;
}

TEST_F(Formatting, TimeClampsWhatNoClockCanShow) {
  EXPECT_EQ(FormatTime(1e300), u"596523:14:07");
  EXPECT_EQ(FormatTime(std::numeric_limits<double>::infinity()), u"INF s");
  EXPECT_EQ(FormatTime(std::nan("")), u"NaN s");
}

TEST_F(Formatting, FrequencyExamples) {
  EXPECT_EQ(FormatFrequency(25, 0), u"1500 rpm");
  EXPECT_EQ(FormatFrequency(0.5, 0), u"30.00 rpm");
  EXPECT_EQ(FormatFrequency(0.01, 0), u"1 rpm");
  EXPECT_EQ(FormatFrequency(0, 0), u"0 rpm");
  EXPECT_EQ(FormatFrequency(0, 1), u"0 Hz");
  EXPECT_EQ(FormatFrequency(49.75, 1), u"49.75 Hz");
  EXPECT_EQ(FormatFrequency(0.5, 1), u"0.5 Hz");
  EXPECT_EQ(FormatFrequency(12500, 1), u"12.5 kHz");
  EXPECT_EQ(FormatFrequency(1, 2), u"-");
}

TEST_F(Formatting, SpeedRowBoundaries) {
  const std::vector<TCase> cases = {
      {1 * Below, u"1 rpm"},       {1 * Above, u"1.012 rpm"},
      {10 * Below, u"9.877 rpm"},  {10 * Above, u"10.12 rpm"},
      {100 * Below, u"98.77 rpm"}, {100 * Above, u"101.2 rpm"},
      {1000 * Below, u"987.7 rpm"}, {1000 * Above, u"1012 rpm"},
      {-1500, u"-1500 rpm"},
  };
  for (const TCase& c : cases) EXPECT_EQ(FormatFrequency(c.Value / 60, 0), c.Expected) << c.Value;
}

TEST_F(Formatting, FrequencyRowBoundaries) {
  const std::vector<TCase> cases = {
      {1e-6 * Below, u"0 MHz"},       {1e-6 * Above, u"1.012 µHz"},
      {1e-5 * Below, u"9.877 µHz"},   {1e-5 * Above, u"10.12 µHz"},
      {1e-4 * Below, u"98.77 µHz"},   {1e-4 * Above, u"101.2 µHz"},
      {1e-3 * Below, u"987.7 µHz"},   {1e-3 * Above, u"1.012 mHz"},
      {0.01 * Below, u"9.877 mHz"},   {0.01 * Above, u"10.12 mHz"},
      {0.1 * Below, u"98.77 mHz"},    {0.1 * Above, u"0.1012 Hz"},
      {1 * Below, u"0.9877 Hz"},      {1 * Above, u"1.012 Hz"},
      {10 * Below, u"9.877 Hz"},      {10 * Above, u"10.12 Hz"},
      {100 * Below, u"98.77 Hz"},     {100 * Above, u"101.2 Hz"},
      {1e3 * Below, u"987.7 Hz"},     {1e3 * Above, u"1.012 kHz"},
      {1e4 * Below, u"9.877 kHz"},    {1e4 * Above, u"10.12 kHz"},
      {1e5 * Below, u"98.77 kHz"},    {1e5 * Above, u"101.2 kHz"},
      {1e6 * Below, u"987.7 kHz"},    {1e6 * Above, u"1.012 MHz"},
      {1e7 * Below, u"9.877 MHz"},    {1e7 * Above, u"10.12 MHz"},
      {1e8 * Below, u"98.77 MHz"},    {1e8 * Above, u"101.2 MHz"},
      // Negative values fall through every row to the last one.
      {-50, u"0 MHz"},                {-5e6, u"-5 MHz"},
  };
  for (const TCase& c : cases) EXPECT_EQ(FormatFrequency(c.Value, 1), c.Expected) << c.Value;
}

TEST_F(Formatting, VoltageExamples) {
  EXPECT_EQ(FormatVoltage(0, 1), u"0 V");
  EXPECT_EQ(FormatVoltage(0.25, 1), u"0.25 mV");
  EXPECT_EQ(FormatVoltage(2500, 1), u"2.5 V");
  EXPECT_EQ(FormatVoltage(-2500, 1), u"-2.5 V");
  EXPECT_EQ(FormatVoltage(0.25, 0), u"0.250");
  EXPECT_EQ(FormatVoltage(250, 0), u"250");
  EXPECT_EQ(FormatVoltage(0, 0), u"0");
  EXPECT_EQ(FormatVoltage(-2.5, 0), u"-2.50");
}

TEST_F(Formatting, VoltageRowBoundaries) {
  const std::vector<TCase> bare = {
      {1 * Below, u"0.988"},  {1 * Above, u"1.01"},  {10 * Below, u"9.88"},
      {10 * Above, u"10.1"},  {100 * Below, u"98.8"}, {100 * Above, u"101"},
  };
  for (const TCase& c : bare) EXPECT_EQ(FormatVoltage(c.Value, 0), c.Expected) << c.Value;
  const std::vector<TCase> withUnit = {
      {1 * Below, u"0.988 mV"},   {1 * Above, u"1.01 mV"},   {10 * Below, u"9.88 mV"},
      {10 * Above, u"10.1 mV"},   {100 * Below, u"98.8 mV"}, {100 * Above, u"101 mV"},
      {1e3 * Below, u"988 mV"},   {1e3 * Above, u"1.012 V"}, {1e4 * Below, u"9.877 V"},
      {1e4 * Above, u"10.12 V"},  {1e5 * Below, u"98.77 V"}, {1e5 * Above, u"101.2 V"},
      {1e6 * Below, u"987.7 V"},  {1e6 * Above, u"1012 V"},
  };
  for (const TCase& c : withUnit) EXPECT_EQ(FormatVoltage(c.Value, 1), c.Expected) << c.Value;
}

TEST_F(Formatting, Level) {
  EXPECT_EQ(FormatLevel(3.5), u"-3.5 dB");
  EXPECT_EQ(FormatLevel(0), u"-0 dB");
  EXPECT_EQ(FormatLevel(12.345), u"-12.35 dB");
  // Above the reference the level carries one sign, its own.
  EXPECT_EQ(FormatLevel(-6.0206), u"+6.02 dB");
  EXPECT_EQ(FormatLevel(-0.5), u"+0.5 dB");
  // Too little above it to show: the text of the reference itself.
  EXPECT_EQ(FormatLevel(-0.001), u"-0 dB");
}

TEST_F(Formatting, NumberExamplesAndNegatives) {
  EXPECT_EQ(FormatNumber(0), u"0");
  EXPECT_EQ(FormatNumber(0.0004), u"0");
  EXPECT_EQ(FormatNumber(0.0123), u"0.012");
  EXPECT_EQ(FormatNumber(5), u"5.000");
  EXPECT_EQ(FormatNumber(12.3456), u"12.35");
  EXPECT_EQ(FormatNumber(1234.4), u"1234");
  // A negative value is shown like its magnitude, with "-" in front.
  EXPECT_EQ(FormatNumber(-3), u"-3.000");
  EXPECT_EQ(FormatNumber(-0.35), u"-0.350");
  EXPECT_EQ(FormatNumber(-12.3456), u"-12.35");
  EXPECT_EQ(FormatNumber(-1234.4), u"-1234");
  EXPECT_EQ(FormatNumber(-0.0004), u"0");
}

TEST_F(Formatting, NumberRowBoundaries) {
  const std::vector<TCase> cases = {
      {0.001 * Below, u"0"},    {0.001 * Above, u"0.001"}, {1 * Below, u"0.988"},
      {1 * Above, u"1.012"},    {10 * Below, u"9.877"},    {10 * Above, u"10.12"},
      {100 * Below, u"98.77"},  {100 * Above, u"101.2"},   {1000 * Below, u"987.7"},
      {1000 * Above, u"1012"},  {0.001, u"0.001"},         {1000, u"1000"},
  };
  for (const TCase& c : cases) EXPECT_EQ(FormatNumber(c.Value), c.Expected) << c.Value;
}

// 100 mV measured at 50 Hz with sensors of 100 mV per unit.
TEST_F(Formatting, AmplitudeConversionsOfEverySensorType) {
  struct TConversion {
    uint8_t Quantity, Type;
    double Expected;
  };
  const std::vector<TConversion> conversions = {
      {1, 0, 9.80665},            {1, 1, 0.3141592653589793}, {1, 2, 0.09869604401089359},
      {2, 0, 31.215536453442706}, {2, 1, 1.0},                {2, 2, 0.3141592653589793},
      {3, 0, 99.36213855661317},  {3, 1, 3.1830988618379066}, {3, 2, 1.0},
  };
  for (const TConversion& c : conversions) {
    EXPECT_NEAR(ConvertAmplitude(Sensor(c.Type), 100, 50, c.Quantity), c.Expected, 1e-12 * c.Expected)
        << int(c.Quantity) << "/" << int(c.Type);
  }
  EXPECT_DOUBLE_EQ(ConvertAmplitude(Sensor(2), 100, 50, 0), 100);
  EXPECT_DOUBLE_EQ(ConvertAmplitude(Sensor(0, 100, 2.5), 100, 50, 1), 2.5 * 9.80665);
}

TEST_F(Formatting, AmplitudeConversionEdges) {
  // Integrating needs a frequency: without one the result is 0.
  EXPECT_EQ(ConvertAmplitude(Sensor(0), 100, 0, 2), 0);
  EXPECT_EQ(ConvertAmplitude(Sensor(0), 100, 0, 3), 0);
  EXPECT_EQ(ConvertAmplitude(Sensor(1), 100, -5, 3), 0);
  // Without a known sensor only the millivolts have a value, whatever the
  // unassigned record's input gain says.
  SensorInfo none = Sensor(0, 0);
  none.InputGain = 0;
  EXPECT_EQ(ConvertAmplitude(none, 100, 50, 0), 100);
  EXPECT_EQ(FormatAmplitude(none, 100, 50, 0, 0), u"100.0");
  for (uint8_t q = 1; q <= 3; ++q) {
    EXPECT_EQ(ConvertAmplitude(none, 100, 50, q), 0);
    EXPECT_EQ(FormatAmplitude(none, 100, 50, q, 0), u"-");
  }
  EXPECT_EQ(ConvertAmplitude(Sensor(3), 100, 50, 1), 0);
  EXPECT_EQ(ConvertAmplitude(Sensor(0), 100, 50, 4), 0);
  EXPECT_EQ(ConvertAmplitude(Sensor(1, 1), 2e6, 50, 2), 1e6);
  EXPECT_EQ(ConvertAmplitude(Sensor(1, 1), 2e6, 50, 0), 1e6);
}

TEST_F(Formatting, PhaseConversions) {
  const double p = 1.0;
  struct TShift {
    uint8_t Quantity, Type;
    double Expected;
  };
  const std::vector<TShift> shifts = {
      {0, 0, p},              {0, 1, p},          {0, 2, p},
      {1, 0, p},              {1, 1, p + Pi / 2}, {1, 2, p + Pi},
      {2, 0, p + 3 * Pi / 2}, {2, 1, p},          {2, 2, p + Pi / 2},
      {3, 0, p + Pi},         {3, 1, p + 3 * Pi / 2}, {3, 2, p},
      {0, 7, p},              {1, 3, 0},          {4, 0, 0},
  };
  for (const TShift& s : shifts)
    EXPECT_NEAR(ConvertPhase(Sensor(s.Type), p, s.Quantity), s.Expected, 1e-12)
        << int(s.Quantity) << "/" << int(s.Type);
}

TEST_F(Formatting, AmplitudeModes) {
  EXPECT_EQ(FormatAmplitude(Sensor(0), 100, 50, 1, 0), u"9.807");
  EXPECT_EQ(FormatAmplitude(Sensor(0), 100, 50, 1, 1), u"6.934");
  EXPECT_EQ(FormatAmplitude(Sensor(0), 100, 50, 1, 2), u"19.61");
  EXPECT_EQ(FormatAmplitude(Sensor(0), 100, 50, 1, 9), u"9.807");
  EXPECT_EQ(FormatAmplitude(Sensor(0, 1), 2e6, 50, 0, 0), u"1000000");
}

TEST_F(Formatting, PhasesAndAngles) {
  EXPECT_EQ(FormatPhase(Sensor(0), 0, 2), u"270°");
  EXPECT_EQ(FormatPhase(Sensor(2), Pi / 2, 2), u"180°");
  EXPECT_EQ(FormatAngle(2 * Pi), u"360°");
  EXPECT_EQ(FormatAngle(-Pi / 2), u"270°");
  EXPECT_EQ(FormatAngle(Pi / 4), u"45°");
}

TEST_F(Formatting, Labels) {
  EXPECT_EQ(AmplitudeUnitText(0, 1), u"[mV]");
  EXPECT_EQ(AmplitudeUnitText(1, 1), u"[m/s²]");
  EXPECT_EQ(AmplitudeUnitText(2, 1), u"[mm/s]");
  EXPECT_EQ(AmplitudeUnitText(3, 1), u"[µm]");
  EXPECT_EQ(AmplitudeUnitText(4, 1), u"");
  EXPECT_EQ(AmplitudeUnitText(0, 0), u" mV");
  EXPECT_EQ(AmplitudeUnitText(1, 0), u" m/s²");
  EXPECT_EQ(AmplitudeUnitText(2, 0), u" mm/s");
  EXPECT_EQ(AmplitudeUnitText(3, 0), u" µm");
  EXPECT_EQ(AmplitudeUnitText(255, 0), u"");
  EXPECT_EQ(AmplitudeModeText(0), u"P-K");
  EXPECT_EQ(AmplitudeModeText(1), u"RMS");
  EXPECT_EQ(AmplitudeModeText(2), u"P-P");
  EXPECT_EQ(AmplitudeModeText(3), u"");
  EXPECT_EQ(SensitivityUnitText(0), u" mV/g");
  EXPECT_EQ(SensitivityUnitText(1), u" mV/(mm/s)");
  EXPECT_EQ(SensitivityUnitText(2), u" mV/µm");
  EXPECT_EQ(SensitivityUnitText(3), u"");
}

TEST_F(Formatting, Shades) {
  uint32_t lighter = 0, darker = 0;
  CalcShades(0x9CDBDE, lighter, darker);
  EXPECT_EQ(lighter, 0xEAFFFFu);
  EXPECT_EQ(darker, 0x689294u);
  CalcShades(0xFF000000u | 0x102030, lighter, darker);
  EXPECT_EQ(lighter, 0x183048u);
  EXPECT_EQ(darker, 0x0A1520u);
}

TEST_F(Formatting, RoundHalvesUp) {
  EXPECT_EQ(Round(2.5), 3);
  EXPECT_EQ(Round(2.49), 2);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(-2.51), -3);
  EXPECT_EQ(Round(0), 0);
  EXPECT_EQ(Round(std::nan("")), 0);
  EXPECT_EQ(Round(1e300), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Round(-std::numeric_limits<double>::infinity()), std::numeric_limits<int32_t>::min());
}

TEST_F(Formatting, CoreFormattersUseTheChannelsSensors) {
  TScratchFolder dir;
  ::setenv("XDG_DATA_HOME", dir.Path.c_str(), 1);
  TZelto core;
  core.VibSensorA = Sensor(0);
  core.VibSensorB = Sensor(1, 10);
  EXPECT_EQ(core.FormatAmplitude(100, 50, 1, 0, 0), u"9.807");
  EXPECT_EQ(core.FormatAmplitude(100, 50, 2, 0, 1), u"10.00");
  EXPECT_DOUBLE_EQ(core.ConvertAmplitude(100, 50, 2, 1), 10);
  EXPECT_NEAR(core.ConvertPhase(1, 1, 1), 1 + Pi / 2, 1e-12);
  EXPECT_EQ(core.FormatPhase(0, 2, 0), u"270°");
  EXPECT_EQ(core.FormatPhase(0, 2, 1), u"0°");
  EXPECT_EQ(TZelto::FormatNumber(-3), u"-3.000");
  EXPECT_EQ(TZelto::Round(-2.5), -2);
}

}  // namespace
