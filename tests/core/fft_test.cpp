#include "fft.h"
#include "fftreference.h"
#include "plainfft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <new>
#include <numbers>
#include <random>
#include <utility>
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

// Bytes the calling thread asked operator new for while it counts.
thread_local bool CountingNew = false;
thread_local size_t NewBytes = 0;

}  // namespace

// Kept out of line: inlined beside a new expression, the malloc and free
// inside would read to the compiler as a mismatched pair.
[[gnu::noinline]] void* operator new(std::size_t size) {
  if (CountingNew) NewBytes += size;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST(Fft, EqualsTheRadix2TransformWithinOneTrillionthOfTheLargestBin) {
  for (const bool complex : {false, true})
    for (int32_t n = 1; n <= 1 << 16; n *= 2) {
      TSignal ours = Signal(n, complex, static_cast<unsigned>(n)), radix2 = ours;
      ASSERT_TRUE(CalcFFT(n, ours.Re.data(), ours.Im.data()));
      Radix2(radix2.Re, radix2.Im);
      EXPECT_LE(RelativeDistance(ours, radix2), 1e-12) << "n " << n << (complex ? " complex" : " real");
    }
}

// The bins above n / 2 of a real signal are the mirror of those below: the
// transform computes half of them; the other half must stand in the arrays.
TEST(Fft, RealSignalGetsAllNBinsWithTheMirrorExact) {
  for (int32_t n : {2, 4, 8, 64, 4096}) {
    TSignal s = Signal(n, false, 5);
    ASSERT_TRUE(CalcFFT(n, s.Re.data(), s.Im.data()));
    EXPECT_EQ(s.Im[0], 0.0);
    EXPECT_EQ(s.Im[n / 2], 0.0);
    for (int32_t k = 1; k < n / 2; ++k) {
      EXPECT_EQ(s.Re[n - k], s.Re[k]) << n << " " << k;
      EXPECT_EQ(s.Im[n - k], -s.Im[k]) << n << " " << k;
    }
  }
}

// A signal that looks real up to its last values: the pass that stores the
// bins of a real signal has replaced part of both arrays when it meets the
// first imaginary value that is not zero, and the transform must still come
// out as that of the complex signal.
TEST(Fft, ImaginaryPartZeroUpToAnyPointStillGetsTheComplexTransform) {
  for (int32_t n : {2, 8, 64, 4096, 1 << 15})
    for (int32_t first : {1, 3, n / 2 - 1, n / 2, n / 2 + 1, n / 2 + 5, n - 5, n - 1}) {
      if (first < 1 || first >= n) continue;
      TSignal ours = Signal(n, false, 3);
      ours.Im[static_cast<size_t>(first)] = 1234.5;
      ours.Im[static_cast<size_t>(n - 1)] = -321.0;
      TSignal radix2 = ours;
      ASSERT_TRUE(CalcFFT(n, ours.Re.data(), ours.Im.data()));
      Radix2(radix2.Re, radix2.Im);
      EXPECT_LE(RelativeDistance(ours, radix2), 1e-12) << "n " << n << " first " << first;
    }
}

// Arrays that do not start where the allocator's blocks do (inside a larger
// buffer): the transforms kept for a length assume one alignment.
TEST(Fft, ArraysAtAnyAlignmentGetTheSameBins) {
  for (const bool complex : {false, true})
    for (int32_t n : {16, 4096, 1 << 15})
      for (size_t offset : {1, 2, 3}) {
        const TSignal in = Signal(n, complex, 21);
        TSignal expected = in;
        Radix2(expected.Re, expected.Im);
        std::vector<double> re(static_cast<size_t>(n) + offset), im(re.size());
        std::copy(in.Re.begin(), in.Re.end(), re.begin() + static_cast<std::ptrdiff_t>(offset));
        std::copy(in.Im.begin(), in.Im.end(), im.begin() + static_cast<std::ptrdiff_t>(offset - 1));
        ASSERT_TRUE(CalcFFT(n, re.data() + offset, im.data() + offset - 1));
        TSignal ours{std::vector<double>(re.begin() + static_cast<std::ptrdiff_t>(offset), re.end()),
                     std::vector<double>(im.begin() + static_cast<std::ptrdiff_t>(offset - 1), im.end() - 1)};
        EXPECT_LE(RelativeDistance(ours, expected), 1e-12)
            << "n " << n << " offset " << offset << (complex ? " complex" : " real");
      }
}

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

// The transform that stands in while the planner is busy: the bins of a
// direct DFT (scaled back by n) at powers of two and at other lengths,
// primes among them, in place and out of place, within one trillionth of the
// largest bin.
TEST(Fft, StandInTransformMatchesANaiveDftAtAnyLength) {
  for (const int32_t n : {1, 2, 3, 5, 8, 12, 97, 256, 1000, 1021, 4096, 4099}) {
    const TSignal s = Signal(n, false, 3);
    const std::vector<std::complex<double>> expected = NaiveDft(s.Re, s.Im);
    const TPlainFft fft(n);
    std::vector<double> out(static_cast<size_t>(2 * (n / 2 + 1))), inPlace = s.Re;
    inPlace.resize(out.size());
    ASSERT_TRUE(fft.Transform(s.Re.data(), out.data()));
    ASSERT_TRUE(fft.Transform(inPlace.data(), inPlace.data()));
    double largest = 0, distance = 0;
    for (int32_t k = 0; k <= n / 2; ++k) {
      const std::complex<double> want = expected[static_cast<size_t>(k)] * double(n);
      largest = std::max(largest, std::abs(want));
      distance = std::max({distance, std::abs(std::complex<double>(out[2 * k], out[2 * k + 1]) - want),
                           std::abs(std::complex<double>(inPlace[2 * k], inPlace[2 * k + 1]) - want)});
    }
    EXPECT_LE(distance, 1e-12 * largest) << n;
  }
}

// A stand-in asks its caller's stop between its steps, at a power of two and
// at a length through the chirp: told to stop during its preparation or
// during a transform, it asks no more and the transform refuses.
TEST(Fft, StandInTransformGivesUpAtItsCallersStop) {
  for (const int32_t n : {1 << 20, (1 << 19) + 1}) {
    int preparing = 0;
    const TPlainFft unstopped(n, [&preparing] { return ++preparing < 0; });
    ASSERT_GT(preparing, 2) << n;
    for (const int stopAt : {2, preparing + 3}) {  // in the preparation; in the transform
      int asked = 0;
      const TPlainFft fft(n, [&asked, stopAt] { return ++asked >= stopAt; });
      EXPECT_EQ(asked, std::min(stopAt, preparing)) << n << " " << stopAt;
      EXPECT_EQ(fft.Prepared(), stopAt > preparing) << n << " " << stopAt;
      const TSignal s = Signal(n, false, 3);
      std::vector<double> out(static_cast<size_t>(2 * (n / 2 + 1)));
      EXPECT_FALSE(fft.Transform(s.Re.data(), out.data())) << n << " " << stopAt;
      EXPECT_EQ(asked, stopAt) << n << " " << stopAt;
    }
  }
}

// At these lengths each table of a stand-in is megabytes, whose first touch
// alone takes longer than a frame: a caller stopped before the preparation
// began, as a cursor-window spectrum is when its window is closed, is rid
// of it before any table is had.
TEST(Fft, StandInTransformAsksItsCallersStopBeforeItHasAnyTable) {
  for (const int32_t n : {1 << 20, 262145, 486493}) {
    struct TAsks {
      int Count = 0;
      size_t BytesAtFirst = 0;
    } asks;
    TAsks* const a = &asks;
    NewBytes = 0;
    CountingNew = true;
    const TPlainFft fft(n, [a] {
      if (a->Count++ == 0) a->BytesAtFirst = NewBytes;
      return true;
    });
    CountingNew = false;
    EXPECT_EQ(asks.Count, 1) << n;
    EXPECT_LT(asks.BytesAtFirst, size_t{4096}) << n;
    EXPECT_LT(NewBytes, size_t{4096}) << n;
    EXPECT_FALSE(fft.Prepared()) << n;
  }
}
