#include "channelstats.h"
#include "syncvector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

// amplitude x sin(2 pi T m / n + phase), truncated like ADC counts.
std::vector<int32_t> Sine(int32_t n, int32_t revs, double amplitude, double phase, double offset = 0) {
  std::vector<int32_t> x(n);
  for (int32_t m = 0; m < n; ++m)
    x[m] = static_cast<int32_t>(std::lround(offset + amplitude * std::sin(2 * kPi * revs * m / n + phase)));
  return x;
}

}  // namespace

TEST(SyncVector, SineOfWholeRevolutionsGivesItsPeakAmplitudeAndPhase) {
  // 10000 counts of a 32768-count full scale on a 2500 mV range: 762.9 mV.
  const auto x = Sine(8040, 40, 10000, kPi / 3, 123);
  const TPolar v = BinToPolar(SyncBin(x.data(), 8040, 40), 2500, 32768);
  EXPECT_NEAR(v.Ampl, 2500.0 * 10000 / 32768, 0.01);
  // sin(a + phase) = cos(a + phase - pi / 2): the bin's phase is phase - 90 deg.
  EXPECT_NEAR(v.Phase, kPi / 3 - kPi / 2, 1e-4);
}

TEST(SyncVector, LongWindowsKeepTheirAccuracy) {
  const int32_t n = 1 << 20;
  const auto x = Sine(n, 977, 20000, 2.0);
  const TPolar v = BinToPolar(SyncBin(x.data(), n, 977), 1000, 20000);
  EXPECT_NEAR(v.Ampl, 1000, 1e-3);
  EXPECT_NEAR(v.Phase, 2.0 - kPi / 2, 1e-6);
}

TEST(SyncVector, ZeroRevolutionsGiveTheScaledMeanOfTheWindow) {
  const std::vector<int32_t> x{10, 20, 30, 40};
  const auto bin = SyncBin(x.data(), 4, 0);
  EXPECT_DOUBLE_EQ(bin.real(), 25.0);
  EXPECT_DOUBLE_EQ(bin.imag(), 0.0);
  const TPolar v = BinToPolar(bin, 1000, 100);
  EXPECT_DOUBLE_EQ(v.Ampl, 500.0);
  EXPECT_DOUBLE_EQ(v.Phase, 0.0);
}

TEST(SyncVector, ZeroBinEmptyWindowAndZeroFullScaleGiveZero) {
  const std::vector<int32_t> zeros(64, 0);
  const TPolar a = BinToPolar(SyncBin(zeros.data(), 64, 3), 1000, 32768);
  EXPECT_EQ(a.Ampl, 0.0);
  EXPECT_EQ(a.Phase, 0.0);
  EXPECT_EQ(SyncBin(zeros.data(), 0, 3), std::complex<double>());
  const TPolar b = BinToPolar({3, 4}, 1000, 0);
  EXPECT_EQ(b.Ampl, 0.0);
  EXPECT_EQ(b.Phase, 0.0);
}

TEST(SyncVector, PolarMeanOfReadings) {
  const TPolar same[] = {{2, 1}, {2, 1}, {2, 1}};
  EXPECT_NEAR(PolarMean(same, 3).Ampl, 2, 1e-12);
  EXPECT_NEAR(PolarMean(same, 3).Phase, 1, 1e-12);
  const TPolar quarter[] = {{1, 0}, {1, kPi / 2}};
  EXPECT_NEAR(PolarMean(quarter, 2).Ampl, std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(PolarMean(quarter, 2).Phase, kPi / 4, 1e-12);
  // Equal and opposite readings cancel (up to the rounding of sin(pi)).
  const TPolar opposite[] = {{5, 0}, {5, kPi}};
  EXPECT_NEAR(PolarMean(opposite, 2).Ampl, 0, 1e-12);
  const TPolar exact[] = {{0, 0}, {0, 2}};
  EXPECT_EQ(PolarMean(exact, 2).Ampl, 0.0);
  EXPECT_EQ(PolarMean(exact, 2).Phase, 0.0);
  EXPECT_EQ(PolarMean(exact, 0).Ampl, 0.0);
}

TEST(ChannelStats, OverloadIsStrictlyAboveNinetyTwoPercentOfFullScale) {
  // 0.92 x 25 = 23 exactly.
  const std::vector<int32_t> at{0, 23, -23}, above{0, -24, 5};
  EXPECT_FALSE(CalcChannelStats(at.data(), 3, 25).Overload);
  EXPECT_TRUE(CalcChannelStats(above.data(), 3, 25).Overload);
}

TEST(ChannelStats, MeanRmsMinMax) {
  const std::vector<int32_t> x{3, -4, 5, 0};
  const TChannelStats s = CalcChannelStats(x.data(), 4, 100);
  EXPECT_DOUBLE_EQ(s.Mean, 1.0);
  EXPECT_DOUBLE_EQ(s.Rms, std::sqrt(50.0 / 4));
  EXPECT_DOUBLE_EQ(s.Min, -4);
  EXPECT_DOUBLE_EQ(s.Max, 5);
}

TEST(ChannelStats, MinimumAndMaximumStartFromFullScaleAndEmptyIsZero) {
  // Samples beyond full scale never lower the starting values.
  const std::vector<int32_t> x{200, 300};
  const TChannelStats s = CalcChannelStats(x.data(), 2, 100);
  EXPECT_DOUBLE_EQ(s.Min, 100);
  EXPECT_DOUBLE_EQ(s.Max, 300);
  const TChannelStats e = CalcChannelStats(x.data(), 0, 100);
  EXPECT_EQ(e.Mean, 0.0);
  EXPECT_EQ(e.Min, 0.0);
  EXPECT_FALSE(e.Overload);
}
