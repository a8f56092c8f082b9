#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "formatting.h"
#include "spectrumreadout.h"
#include "timereadout.h"

namespace {

SensorInfo Sensor(uint8_t type, double sensitivity = 100) {
  SensorInfo s;
  s.Type = type;
  s.Sensitivity = sensitivity;
  s.InputGain = 1.0;
  return s;
}

// `bins` bins of a transform of twice as many samples at `rate` Hz.
TBinScale Even(int32_t bins, double rate) { return {bins, 2 * bins, rate}; }

// The rectangular window passes a band's power unchanged.
constexpr double kRectangularPowerGain = 1.0;

class Readout : public testing::Test {
 protected:
  void SetUp() override { DecimalSeparator = u','; }
};

TEST_F(Readout, DisplayQuantityFollowsTheSensorUnlessVoltageIsChosen) {
  const auto sensor = [](uint8_t type, double sensitivity = 100) {
    SensorInfo s;
    s.Type = type;
    s.Sensitivity = sensitivity;
    return s;
  };
  EXPECT_EQ(DisplayQuantity(sensor(0), 0), 1);
  EXPECT_EQ(DisplayQuantity(sensor(1), 0), 2);
  EXPECT_EQ(DisplayQuantity(sensor(2), 0), 3);
  EXPECT_EQ(DisplayQuantity(sensor(3), 0), 0);
  // A channel without a known sensor shows its millivolts.
  EXPECT_EQ(DisplayQuantity(sensor(1, 0), 0), 0);
  for (uint8_t type = 0; type < 4; ++type) EXPECT_EQ(DisplayQuantity(sensor(type), 1), 0);
}

// 1000 mV over 2000 counts, voltage display: peak-to-peak of samples from
// -100 to +300 counts is 200 mV.
TEST_F(Readout, PeakToPeakIsTheSpanOfTheExtremes) {
  const TChannelStats stats{50, 120, -100, 300};
  EXPECT_EQ(MeasurementText(u"A: ", 'P', stats, 1000, 2000, Sensor(0), 0), u"A: 200,0 mV");
  EXPECT_EQ(MeasurementText(u"B: ", 'A', stats, 1000, 2000, Sensor(0), 0), u"B: 25,00 mV");
  EXPECT_EQ(MeasurementText(u"A: ", 'R', stats, 1000, 2000, Sensor(0), 0), u"A: 60,00 mV");
  EXPECT_EQ(MeasTypeText('R'), u"RMS");
  EXPECT_EQ(MeasTypeText('A'), u"AVG");
  EXPECT_EQ(MeasTypeText('P'), u"P-P");
  // No sensor on the channel: its millivolts are what was measured.
  EXPECT_EQ(MeasurementText(u"A: ", 'P', stats, 1000, 2000, Sensor(0, 0), 0), u"A: 200,0 mV");
}

TEST_F(Readout, LevelsBelowTheZeroLineAreNegative) {
  EXPECT_EQ(LevelText(-50, 1000, 2000, Sensor(0), 0), u"-25,00 mV");
  EXPECT_EQ(LevelText(0, 1000, 2000, Sensor(0), 0), u"0 mV");
  // Without a full scale the level is 0, not a division by zero.
  EXPECT_EQ(LevelText(50, 1000, 0, Sensor(0), 0), u"0 mV");
  EXPECT_EQ(CountsToMillivolts(500, 1000, 2000), 250);
}

TEST_F(Readout, CursorDistanceAsTimeOrFrequency) {
  EXPECT_EQ(DistanceText(250, 1000, 't'), FormatTime(0.25));
  EXPECT_EQ(DistanceText(250, 1000, 'f'), FormatFrequency(4, 1));
  EXPECT_EQ(DistanceText(0, 1000, 'f'), u"\u221E Hz");
  EXPECT_EQ(DistanceText(0, 1000, 't'), FormatTime(0));
  EXPECT_EQ(CursorTimeText(500, 1000), FormatTime(0.5));
  // No sampling rate (no driver): time 0.
  EXPECT_EQ(CursorTimeText(500, 0), FormatTime(0));
}

TEST_F(Readout, FrequencyToBinTakesTheNearestBin) {
  // 1000 bins of 1 Hz.
  EXPECT_EQ(FrequencyToBin(0, Even(1000, 2000)), 0);
  EXPECT_EQ(FrequencyToBin(12, Even(1000, 2000)), 12);
  EXPECT_EQ(FrequencyToBin(12.4, Even(1000, 2000)), 12);
  EXPECT_EQ(FrequencyToBin(12.5, Even(1000, 2000)), 13);  // a tie goes up
  // Nearer to the next bin than to the last: still the last, so the bin
  // never lies beyond the spectrum and never falls as the frequency rises.
  EXPECT_EQ(FrequencyToBin(999.5, Even(1000, 2000)), 999);
  EXPECT_EQ(FrequencyToBin(999.4, Even(1000, 2000)), 999);
  EXPECT_EQ(FrequencyToBin(1000, Even(1000, 2000)), 999);  // at fs / 2
  EXPECT_EQ(FrequencyToBin(5000, Even(1000, 2000)), 999);
  EXPECT_EQ(FrequencyToBin(-3, Even(1000, 2000)), 999);
  EXPECT_EQ(FrequencyToBin(std::nan(""), Even(1000, 2000)), 999);
  EXPECT_EQ(FrequencyToBin(12, Even(0, 2000)), 0);
  // Bins of 0.3 Hz.
  EXPECT_EQ(FrequencyToBin(0.45, Even(100, 60)), 2);
  EXPECT_EQ(FrequencyToBin(0.44, Even(100, 60)), 1);
}

// Rising frequencies never give a falling bin nor one past the last:
// 2048 bins of 10 kHz / 4096.
TEST_F(Readout, FrequencyToBinIsMonotonicAndBounded) {
  const TBinScale scale{2048, 4096, 10000};
  EXPECT_EQ(FrequencyToBin(4999, scale), 2047);
  EXPECT_EQ(FrequencyToBin(5000, scale), 2047);
  int32_t previous = 0;
  for (double f = 0; f <= 6000; f += 0.37) {
    const int32_t bin = FrequencyToBin(f, scale);
    EXPECT_GE(bin, previous) << f;
    EXPECT_LE(bin, 2047) << f;
    previous = bin;
  }
}

// An odd transform length: bin k at k x fs / length, and back.
TEST_F(Readout, BinFrequencyOfAnOddTransform) {
  const TBinScale scale{500, 1001, 10000};
  EXPECT_DOUBLE_EQ(scale.Frequency(250), 250 * 10000.0 / 1001);
  EXPECT_DOUBLE_EQ(BinFrequency(3, 10000, 1001), 3 * 10000.0 / 1001);
  EXPECT_EQ(BinFrequency(3, 10000, 0), 0);
  for (int32_t k : {0, 1, 250, 499}) EXPECT_EQ(FrequencyToBin(scale.Frequency(k), scale), k) << k;
  // Just over half a bin above bin 250 goes up, just under stays.
  EXPECT_EQ(FrequencyToBin(scale.Frequency(250.51), scale), 251);
  EXPECT_EQ(FrequencyToBin(scale.Frequency(250.49), scale), 250);
}

// Bins past the transform's own (its mirror, or what a longer transform
// left) are never summed.
TEST_F(Readout, BandRmsReadsOnlyTheTransformsBins) {
  std::vector<std::complex<double>> spectrum(200);
  spectrum[50] = 10;
  spectrum[150] = 1000;
  const SensorInfo sensor = Sensor(0);
  EXPECT_NEAR(BandRms(spectrum, {0, 200}, 1.0, Even(100, 200), sensor, 0, kRectangularPowerGain),
              std::sqrt(0.5 * 20.0 * 20), 1e-9);
}

TEST_F(Readout, BandsOfOneHertzBins) {
  // A bin spacing of 1 Hz and a spectrum beyond 10 kHz.
  const int32_t bins = 20000;
  const double rate = 40000;
  TBinRange r = BandBins(1, 0, 0, Even(bins, rate));
  EXPECT_EQ(r.Lo, 2);
  EXPECT_EQ(r.Hi, 1000);
  r = BandBins(4, 0, 0, Even(bins, rate));
  EXPECT_EQ(r.Lo, 1000);
  EXPECT_EQ(r.Hi, 10000);
  r = BandBins(5, 0, 0, Even(bins, rate));
  EXPECT_EQ(r.Lo, 0);
  EXPECT_EQ(r.Hi, bins - 1);
  r = BandBins(0, 70, 30, Even(bins, rate));
  EXPECT_EQ(r.Lo, 30);
  EXPECT_EQ(r.Hi, 70);
}

TEST_F(Readout, BandItemsNeedTheirSamplingRate) {
  for (int band : {1, 2, 3}) {
    EXPECT_FALSE(BandEnabled(band, 1000));
    EXPECT_TRUE(BandEnabled(band, 10000));
  }
  EXPECT_FALSE(BandEnabled(4, 10000));
  EXPECT_TRUE(BandEnabled(4, 10001));
  EXPECT_TRUE(BandEnabled(0, 1));
  EXPECT_TRUE(BandEnabled(5, 1));
  EXPECT_EQ(HalfRateBandName(20000), u"RMS: 0 Hz - " + FormatFrequency(10000, 1));
}

TEST_F(Readout, BandRmsSkipsDcAndTheUpperBound) {
  // Entry k holds half the peak amplitude in counts.
  std::vector<std::complex<double>> spectrum(100);
  spectrum[0] = 1000;      // DC, never summed
  spectrum[5] = {30, 40};  // |X| 50: peak 100 counts
  spectrum[9] = 500;       // the upper bound, excluded
  const SensorInfo sensor = Sensor(0);
  const double mvPerCount = 0.5;
  const double rms = BandRms(spectrum, {0, 9}, mvPerCount, Even(100, 200), sensor, 0, kRectangularPowerGain);
  EXPECT_NEAR(rms, 50 / std::sqrt(2.0), 1e-9);
  EXPECT_EQ(BandRms(spectrum, {30, 30}, mvPerCount, Even(100, 200), sensor, 0, kRectangularPowerGain), 0);
  // Bounds beyond the spectrum are cut.
  EXPECT_NEAR(BandRms(spectrum, {-5, 500}, mvPerCount, Even(100, 200), sensor, 0, kRectangularPowerGain),
              std::sqrt(0.5 * (50.0 * 50 + 500.0 * 500)), 1e-9);
}

// An acceleration sensor's band in velocity is integrated bin by bin.
TEST_F(Readout, BandRmsConvertsEachBinAtItsOwnFrequency) {
  std::vector<std::complex<double>> spectrum(100);
  spectrum[10] = 50;
  spectrum[20] = 50;
  const SensorInfo sensor = Sensor(0);
  const double rms = BandRms(spectrum, {1, 50}, 1.0, Even(100, 200), sensor, 2, kRectangularPowerGain);
  const double v10 = ConvertAmplitude(sensor, 100, 10, 2);
  const double v20 = ConvertAmplitude(sensor, 100, 20, 2);
  EXPECT_NEAR(rms, std::sqrt(0.5 * (v10 * v10 + v20 * v20)), 1e-9);
  EXPECT_GT(v10, v20);
}

TEST_F(Readout, CursorTAndTransformLength) {
  EXPECT_EQ(CursorTBin(true, false, 10, 0, 1000, 4096), 0);
  EXPECT_EQ(CursorTBin(false, true, 10, 0, 1000, 4096), 10);
  EXPECT_EQ(CursorTBin(false, false, 10, 100, 100, 4096), 0);
  EXPECT_EQ(CursorTBin(false, false, 10, 0, 1000, 4096), 41);  // 40.96
  EXPECT_EQ(TransformLength(true, false, 100, 900, 4096), 800);
  EXPECT_EQ(TransformLength(true, true, 100, 900, 4096), 4096);
  EXPECT_EQ(TransformLength(false, false, 100, 900, 4096), 4096);
  EXPECT_EQ(CursorFrequencyText(10, 1000, 0, false), u"0Hz");
  EXPECT_EQ(CursorFrequencyText(10, 1000, 100, false), FormatFrequency(100, 1));
  EXPECT_EQ(CursorFrequencyText(10, 1000, 0, true), FormatFrequency(0, 1));
}

TEST_F(Readout, AmplitudeAndPhaseTexts) {
  TAmplitudeScale scale{false, 1000, 2000, 0, 0};
  // A bin at full scale reads 0 dB, a tenth of it minus 20 dB.
  EXPECT_EQ(AmplitudeText(1000, scale, Sensor(0)), FormatLevel(0));
  EXPECT_EQ(AmplitudeText(100, scale, Sensor(0)), FormatLevel(20));
  EXPECT_EQ(AmplitudeText(0, scale, Sensor(0)), u"?dB");
  scale.Linear = true;
  // 2 x 100 counts x 0.5 mV: 100 mV peak.
  EXPECT_EQ(AmplitudeText(100, scale, Sensor(0)), u"100,0 mV");
  EXPECT_EQ(PhaseText(0, Sensor(0), 0), u"?");
  EXPECT_EQ(PhaseText({0, 1}, Sensor(0), 0), FormatPhase(Sensor(0), std::acos(0.0), 0));
}

}  // namespace
