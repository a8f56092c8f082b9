#include "fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

namespace {

std::vector<std::complex<double>> NaiveDft(const std::vector<double>& re, const std::vector<double>& im) {
  const size_t n = re.size();
  std::vector<std::complex<double>> out(n);
  for (size_t k = 0; k < n; ++k) {
    std::complex<double> sum;
    for (size_t m = 0; m < n; ++m) {
      const double a = -2 * std::numbers::pi * double(k * m % n) / double(n);
      sum += std::complex<double>(re[m], im[m]) * std::complex<double>(std::cos(a), std::sin(a));
    }
    out[k] = sum / double(n);
  }
  return out;
}

}  // namespace

TEST(Fft, MatchesANaiveDftForEveryPowerOfTwoUpTo1024) {
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> dist(-1000, 1000);
  for (int32_t n = 1; n <= 1024; n *= 2) {
    std::vector<double> re(n), im(n);
    for (int32_t i = 0; i < n; ++i) {
      re[i] = dist(gen);
      im[i] = dist(gen);
    }
    const auto expected = NaiveDft(re, im);
    ASSERT_TRUE(CalcFFT(n, re.data(), im.data()));
    for (int32_t k = 0; k < n; ++k) {
      EXPECT_NEAR(re[k], expected[k].real(), 1e-9) << "n " << n << " bin " << k;
      EXPECT_NEAR(im[k], expected[k].imag(), 1e-9) << "n " << n << " bin " << k;
    }
  }
}

TEST(Fft, SineOfWholeCyclesLandsOnItsBinAndTheMirrorWithHalfTheAmplitude) {
  const int32_t n = 256, k = 10;
  std::vector<double> re(n), im(n, 0.0);
  for (int32_t i = 0; i < n; ++i) re[i] = 3.0 * std::sin(2 * std::numbers::pi * k * i / n);
  ASSERT_TRUE(CalcFFT(n, re.data(), im.data()));
  EXPECT_NEAR(std::hypot(re[k], im[k]), 1.5, 1e-12);
  EXPECT_NEAR(std::hypot(re[n - k], im[n - k]), 1.5, 1e-12);
  EXPECT_NEAR(im[k], -1.5, 1e-12);
  for (int32_t i = 0; i < n; ++i) {
    if (i == k || i == n - k) continue;
    EXPECT_NEAR(std::hypot(re[i], im[i]), 0.0, 1e-12) << i;
  }
}

TEST(Fft, RefusesLengthsThatAreNotPowersOfTwoAndLeavesTheData) {
  for (int32_t n : {0, -8, 3, 6, 12, 1000, 4097}) {
    std::vector<double> re(n > 0 ? n : 1, 2.5), im(n > 0 ? n : 1, -1.0);
    EXPECT_FALSE(CalcFFT(n, re.data(), im.data())) << n;
    for (size_t i = 0; i < re.size(); ++i) {
      EXPECT_EQ(re[i], 2.5);
      EXPECT_EQ(im[i], -1.0);
    }
  }
  EXPECT_TRUE(IsPowerOfTwo(1));
  EXPECT_TRUE(IsPowerOfTwo(int64_t(1) << 40));
  EXPECT_FALSE(IsPowerOfTwo(0));
  EXPECT_FALSE(IsPowerOfTwo(-4));
}
