#include "demosynthesis.h"
#include "syncvector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <vector>

TEST(DemoSynthesis, EightKSamplesAtTenKilohertzHoldFortyRevolutions) {
  const TDemoWindow w = DemoCaptureWindow(8192, 10000);
  EXPECT_EQ(w.T, 40);
  EXPECT_EQ(w.Start, 0);
  EXPECT_EQ(w.End, 8040);  // 40 revolutions take 8040.2 samples
}

TEST(DemoSynthesis, BufferShorterThanOneRevolutionHasNoWindow) {
  const TDemoWindow w = DemoCaptureWindow(200, 10000);  // 201.005 samples per revolution
  EXPECT_EQ(w.T, 0);
  EXPECT_EQ(w.End, 0);
  EXPECT_EQ(DemoCaptureWindow(8192, 0).T, 0);
}

TEST(DemoSynthesis, RunThreeAndRunsAboveSixShareTheLastRow) {
  for (int32_t run : {3, 7, 12, 19}) {
    const TDemoRunVector v = DemoRunVector(run);
    EXPECT_EQ(v.FactorA, 0.06) << run;
    EXPECT_EQ(v.PhaseB, 145) << run;
  }
  EXPECT_EQ(DemoRunVector(0).FactorA, 0.7);
  EXPECT_EQ(DemoRunVector(2).PhaseB, -135);
  EXPECT_EQ(DemoRunVector(6).FactorB, 0.06);
}

TEST(DemoSynthesis, RandomIntStaysInRangeAndRepeatsForASeed) {
  TDemoRandom a(99), b(99);
  std::set<int32_t> seen;
  for (int i = 0; i < 1000; ++i) {
    const int32_t v = a.RandomInt(10);
    EXPECT_EQ(v, b.RandomInt(10));
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 10);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 10u);
  EXPECT_EQ(a.RandomInt(0), 0);
  EXPECT_EQ(a.RandomInt(-3), 0);
}

TEST(DemoSynthesis, RandomFactorsStayWithinOnePercent) {
  for (uint32_t seed = 0; seed < 50; ++seed) {
    TDemoRandom rnd(seed);
    const TDemoSignal s = DemoRunSignal(0, 32768, 2500, 1000, 1, 1, 10000, rnd);
    const double ampA = DemoAmplitude(0.7, 32768, 2500);
    EXPECT_GE(s.AmpA, ampA * 0.99 - 1e-9);
    EXPECT_LE(s.AmpA, ampA * 1.008 + 1e-9);
    EXPECT_GE(s.PhaseA, 60 * 0.99 * std::numbers::pi / 180 - 1e-12);
    EXPECT_LE(s.PhaseA, 60 * 1.008 * std::numbers::pi / 180 + 1e-12);
  }
  EXPECT_EQ(DemoAmplitude(0.7, 32768, 0), 0.0);
}

TEST(DemoSynthesis, RunZeroChannelAIsAbout280MillivoltsAtSixtyDegrees) {
  TDemoRandom rnd(1234);
  const double fs = 10000, fullScale = 32768, range = 1000;
  const TDemoSignal s = DemoRunSignal(0, fullScale, range, range, 1, 1, fs, rnd);
  std::vector<int32_t> a(8192), b(8192);
  SynthesizeSamples(s, a.data(), b.data(), 8192, rnd);
  const TDemoWindow w = DemoCaptureWindow(8192, fs);
  const TPolar va = BinToPolar(SyncBin(a.data(), w.End - w.Start, w.T), range, fullScale);
  const TPolar vb = BinToPolar(SyncBin(b.data(), w.End - w.Start, w.T), range, fullScale);
  // The window is 0.2 samples short of 40 revolutions, so the bin is a hair
  // off the rotation; the harmonics barely leak into it.
  EXPECT_NEAR(va.Ampl, 280, 280 * 0.012);
  EXPECT_NEAR(va.Phase * 180 / std::numbers::pi, 60 - 90, 1.5);
  EXPECT_NEAR(vb.Ampl, 200, 200 * 0.012);
  EXPECT_NEAR(vb.Phase * 180 / std::numbers::pi, 130 - 90, 1.5);
}

TEST(DemoSynthesis, OnlyGivenBuffersAreWritten) {
  TDemoRandom rnd(5);
  TDemoSignal s{1000, 0, 500, 0, 10000};
  std::vector<int32_t> a(100, 7);
  SynthesizeSamples(s, a.data(), nullptr, 100, rnd);
  EXPECT_NE(a[10], 7);
  std::vector<int32_t> untouched(100, 7);
  s.Fs = 0;
  SynthesizeSamples(s, untouched.data(), untouched.data(), 100, rnd);
  EXPECT_EQ(untouched, std::vector<int32_t>(100, 7));
}

// An input gain read from a sensor file can be anything: the samples clip at
// the ends of the sample range instead of overflowing the conversion, and a
// gain that makes the signal not a number gives silence.
TEST(DemoSynthesis, ExtremeInputGainsClipToTheSampleRange) {
  constexpr int32_t lowest = std::numeric_limits<int32_t>::min();
  constexpr int32_t highest = std::numeric_limits<int32_t>::max();
  TDemoRandom rnd(77);
  const TDemoSignal s = DemoRunSignal(0, 32768, 1000, 1000, 1e12, -1e12, 10000, rnd);
  std::vector<int32_t> a(2000), b(2000);
  SynthesizeSamples(s, a.data(), b.data(), 2000, rnd);
  for (const std::vector<int32_t>* samples : {&a, &b}) {
    EXPECT_EQ(*std::max_element(samples->begin(), samples->end()), highest);
    EXPECT_EQ(*std::min_element(samples->begin(), samples->end()), lowest);
  }
  // Where the sines cross zero the samples still follow the signal's sign.
  EXPECT_EQ(a[0], highest);  // sin(phase of about 60°) > 0
  EXPECT_EQ(b[0], lowest);   // the negative gain turns B's 130° over

  const double infinite = std::numeric_limits<double>::infinity();
  const TDemoSignal wild = DemoLiveSignal(32768, 1000, 1000, infinite, std::nan(""), 10000, rnd);
  SynthesizeSamples(wild, a.data(), b.data(), 2000, rnd);
  EXPECT_EQ(a[0], 0);  // infinity times sin(0) of the 100 Hz part
  for (int32_t v : a) EXPECT_TRUE(v == 0 || v == lowest || v == highest) << v;
  EXPECT_EQ(b, std::vector<int32_t>(2000, 0));
}
