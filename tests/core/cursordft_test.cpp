#include "cursordft.h"
#include "signalwindows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

std::complex<double> NaiveBin(const std::vector<double>& x, uint8_t window, int32_t k) {
  const int32_t n = static_cast<int32_t>(x.size());
  std::complex<double> sum;
  for (int32_t m = 0; m < n; ++m) {
    const double a = -2 * std::numbers::pi * k * m / n;
    sum += x[m] * WindowValue(window, n, m) * std::complex<double>(std::cos(a), std::sin(a));
  }
  return sum / double(n);
}

std::vector<double> Noise(int32_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> dist(-2000, 2000);
  std::vector<double> x(n);
  for (auto& v : x) v = dist(gen);
  return x;
}

}  // namespace

TEST(CursorDft, MatchesANaiveWindowedDftOnBothChannels) {
  const int32_t n = 300;  // the window of a run need not be a power of two
  const auto a = Noise(n, 1), b = Noise(n, 2);
  std::vector<std::complex<double>> binsA(n), binsB(n);
  TCursorDftJob job{a.data(), b.data(), n, wtHann, binsA.data(), binsB.data(), n};
  EXPECT_EQ(CursorWindowDft(job, nullptr, nullptr), n);
  for (int32_t k = 0; k < n; ++k) {
    // Single-precision sums: a relative error of about 1e-6 of the total.
    EXPECT_NEAR(std::abs(binsA[k] - NaiveBin(a, wtHann, k)), 0.0, 0.05) << k;
    EXPECT_NEAR(std::abs(binsB[k] - NaiveBin(b, wtHann, k)), 0.0, 0.05) << k;
  }
}

TEST(CursorDft, RectangularSineGivesHalfItsAmplitudeAtItsBinAndTheMirror) {
  const int32_t n = 200, k = 7;
  std::vector<double> x(n);
  for (int32_t m = 0; m < n; ++m) x[m] = 1000 * std::sin(2 * std::numbers::pi * k * m / n);
  std::vector<std::complex<double>> bins(n);
  TCursorDftJob job{x.data(), nullptr, n, wtRectangular, bins.data(), nullptr, n};
  ASSERT_EQ(CursorWindowDft(job, nullptr, nullptr), n);
  EXPECT_NEAR(std::abs(bins[k]), 500, 1e-3);
  EXPECT_NEAR(std::abs(bins[n - k]), 500, 1e-3);
  EXPECT_NEAR(std::abs(bins[k + 1]), 0, 1e-3);
}

TEST(CursorDft, WritesNoMoreBinsThanTheArraysHold) {
  const int32_t n = 64;
  const auto x = Noise(n, 3);
  std::vector<std::complex<double>> bins(n, {42, 42});
  TCursorDftJob job{x.data(), nullptr, n, wtRectangular, bins.data(), nullptr, 16};
  EXPECT_EQ(CursorWindowDft(job, nullptr, nullptr), 16);
  EXPECT_NE(bins[15], std::complex<double>(42, 42));
  for (int32_t k = 16; k < n; ++k) EXPECT_EQ(bins[k], std::complex<double>(42, 42)) << k;
}

TEST(CursorDft, StopEndsBeforeTheBinUnderWayAndProgressCountsBins) {
  const int32_t n = 4000;
  const auto x = Noise(n, 4);
  std::vector<std::complex<double>> bins(n, {42, 42});
  std::atomic<float> progress{0};
  int polls = 0;
  // Each bin of 4000 samples is polled 4 times; stop on the third bin's
  // second poll.
  auto stopped = [&] { return ++polls == 10; };
  TCursorDftJob job{x.data(), nullptr, n, wtRectangular, bins.data(), nullptr, n};
  EXPECT_EQ(CursorWindowDft(job, stopped, &progress), 2);
  EXPECT_NE(bins[1], std::complex<double>(42, 42));
  EXPECT_EQ(bins[2], std::complex<double>(42, 42));
  EXPECT_FLOAT_EQ(progress.load(), 2 * 100.0f / n);
}

TEST(CursorDft, EmptyWindowOrMissingSamplesComputeNothing) {
  std::vector<std::complex<double>> bins(4);
  const double x[4] = {1, 2, 3, 4};
  EXPECT_EQ(CursorWindowDft({x, nullptr, 0, 0, bins.data(), nullptr, 4}, nullptr, nullptr), 0);
  EXPECT_EQ(CursorWindowDft({nullptr, nullptr, 4, 0, bins.data(), nullptr, 4}, nullptr, nullptr), 0);
}
