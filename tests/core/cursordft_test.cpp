#include "cursordft.h"
#include "signalwindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

namespace {

// The record's mean, which the transform windows apart: bin 0 holds it
// times the mean weight, the other bins see only the record less it.
double Mean(const std::vector<double>& x) {
  double sum = 0;
  for (const double v : x) sum += v;
  return sum / double(x.size());
}

double MeanWeight(uint8_t window, int32_t n) {
  double sum = 0;
  for (int32_t m = 0; m < n; ++m) sum += WindowValue(window, n, m);
  return sum / n;
}

std::complex<double> NaiveBin(const std::vector<double>& x, uint8_t window, int32_t k) {
  const int32_t n = static_cast<int32_t>(x.size());
  const double mean = Mean(x);
  if (k == 0) return mean * MeanWeight(window, n);
  std::complex<double> sum;
  for (int32_t m = 0; m < n; ++m) {
    const double a = -2 * std::numbers::pi * k * m / n;
    sum += (x[m] - mean) * WindowValue(window, n, m) * std::complex<double>(std::cos(a), std::sin(a));
  }
  return sum / double(n);
}

// The whole windowed DFT summed directly in double precision; the phase of
// every product from k m mod N, so large products lose no accuracy.
std::vector<std::complex<double>> DirectDft(const std::vector<double>& x, uint8_t window) {
  const int64_t n = static_cast<int64_t>(x.size());
  const double mean = Mean(x);
  std::vector<std::complex<double>> phasors(n), bins(n);
  for (int64_t r = 0; r < n; ++r) phasors[r] = std::polar(1.0, -2 * std::numbers::pi * double(r) / double(n));
  std::vector<double> weighted(n);
  for (int64_t m = 0; m < n; ++m)
    weighted[m] = (x[m] - mean) * WindowValue(window, static_cast<int32_t>(n), double(m));
  for (int64_t k = 1; k < n; ++k) {
    std::complex<double> sum;
    for (int64_t m = 0; m < n; ++m) sum += weighted[m] * phasors[k * m % n];
    bins[k] = sum / double(n);
  }
  bins[0] = mean * MeanWeight(window, static_cast<int32_t>(n));
  return bins;
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
    EXPECT_NEAR(std::abs(binsA[k] - NaiveBin(a, wtHann, k)), 0.0, 1e-9) << k;
    EXPECT_NEAR(std::abs(binsB[k] - NaiveBin(b, wtHann, k)), 0.0, 1e-9) << k;
  }
}

// Lengths of every kind a run's window has: 1 and 2, small and large primes,
// powers of two and composites, every window function; bins limited below N.
TEST(CursorDft, EqualsADirectDoublePrecisionDftWithinATenBillionthOfTheLargestBin) {
  struct TCase {
    int32_t N;
    uint8_t Window;
    int32_t MaxBins;
  };
  const TCase cases[] = {{1, wtHann, 1},        {2, wtRectangular, 2}, {3, wtBlackman, 3},   {5, wtGaussian, 5},
                         {7, wtTriangle, 7},    {97, wtFlatTop, 97},   {256, wtHarris, 256}, {300, wtHamming, 120},
                         {1000, wtHann, 1000},  {1021, wtGaussian, 600}, {2048, wtBlackman, 2048},
                         {4099, wtHann, 4099},  {4099, wtRectangular, 17}};
  for (const TCase& c : cases) {
    const auto a = Noise(c.N, 10 + c.N), b = Noise(c.N, 20 + c.N);
    const auto expectedA = DirectDft(a, c.Window), expectedB = DirectDft(b, c.Window);
    std::vector<std::complex<double>> binsA(c.N + 1, {42, 42}), binsB(c.N + 1, {42, 42});
    const TCursorDftJob job{a.data(), b.data(), c.N, c.Window, binsA.data(), binsB.data(), c.MaxBins};
    ASSERT_EQ(CursorWindowDft(job, nullptr, nullptr), c.MaxBins) << c.N;
    for (const auto& [bins, expected] : {std::pair{&binsA, &expectedA}, std::pair{&binsB, &expectedB}}) {
      double largest = 0, distance = 0;
      for (int32_t k = 0; k < c.N; ++k) largest = std::max(largest, std::abs((*expected)[k]));
      for (int32_t k = 0; k < c.MaxBins; ++k) distance = std::max(distance, std::abs((*bins)[k] - (*expected)[k]));
      EXPECT_LE(distance, 1e-10 * largest) << "N " << c.N << " window " << int(c.Window);
      for (int32_t k = c.MaxBins; k <= c.N; ++k) EXPECT_EQ((*bins)[k], std::complex<double>(42, 42)) << c.N;
    }
  }
}

TEST(CursorDft, RectangularSineGivesHalfItsAmplitudeAtItsBinAndTheMirror) {
  const int32_t n = 200, k = 7;
  std::vector<double> x(n);
  for (int32_t m = 0; m < n; ++m) x[m] = 1000 * std::sin(2 * std::numbers::pi * k * m / n);
  std::vector<std::complex<double>> bins(n);
  TCursorDftJob job{x.data(), nullptr, n, wtRectangular, bins.data(), nullptr, n};
  ASSERT_EQ(CursorWindowDft(job, nullptr, nullptr), n);
  EXPECT_NEAR(std::abs(bins[k]), 500, 1e-9);
  EXPECT_NEAR(std::abs(bins[n - k]), 500, 1e-9);
  EXPECT_NEAR(std::abs(bins[k + 1]), 0, 1e-9);
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

// The stop request is polled between the steps (start, plan, each channel,
// before the bins are stored). A stop at any of them writes no bin of either
// channel; progress starts at 0 and has reached 100 when the bins are stored.
TEST(CursorDft, AStopAtAnyStepWritesNoBinAndProgressRunsFromZeroTo100) {
  const int32_t n = 4000;
  const auto a = Noise(n, 4), b = Noise(n, 5);
  std::atomic<float> progress{-1};
  for (int stopAt = 1;; ++stopAt) {
    std::vector<std::complex<double>> binsA(n, {42, 42}), binsB(n, {42, 42});
    std::vector<float> seen;
    int polls = 0;
    auto stopped = [&] {
      seen.push_back(progress.load());
      return ++polls == stopAt;
    };
    TCursorDftJob job{a.data(), b.data(), n, wtHamming, binsA.data(), binsB.data(), n};
    const int32_t written = CursorWindowDft(job, stopped, &progress);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0.0f);
    if (polls >= stopAt) {
      EXPECT_EQ(written, 0) << "stopped at poll " << stopAt;
      EXPECT_EQ(std::count(binsA.begin(), binsA.end(), std::complex<double>(42, 42)), n) << stopAt;
      EXPECT_EQ(std::count(binsB.begin(), binsB.end(), std::complex<double>(42, 42)), n) << stopAt;
      continue;
    }
    // Not stopped: every poll passed, the last one after both channels.
    EXPECT_GT(stopAt, 2);
    EXPECT_EQ(seen.back(), 100.0f);
    EXPECT_EQ(progress.load(), 100.0f);
    EXPECT_EQ(written, n);
    EXPECT_NEAR(std::abs(binsA[7] - NaiveBin(a, wtHamming, 7)), 0.0, 1e-9);
    EXPECT_NEAR(std::abs(binsB[n - 3] - NaiveBin(b, wtHamming, n - 3)), 0.0, 1e-9);
    break;
  }
}

TEST(CursorDft, EmptyWindowOrMissingSamplesComputeNothing) {
  std::vector<std::complex<double>> bins(4);
  const double x[4] = {1, 2, 3, 4};
  EXPECT_EQ(CursorWindowDft({x, nullptr, 0, 0, bins.data(), nullptr, 4}, nullptr, nullptr), 0);
  EXPECT_EQ(CursorWindowDft({nullptr, nullptr, 4, 0, bins.data(), nullptr, 4}, nullptr, nullptr), 0);
}
