#include "fft.h"
#include "fftreference.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

// Several threads at once, over more lengths than are kept: plans are made,
// shared and dropped under other threads' transforms.
TEST(Fft, ThreadsTransformingManyLengthsAtOnceGetTheSameBins) {
  std::vector<std::pair<TSignal, TSignal>> cases;  // input, expected
  for (int32_t n = 2; n <= 1 << 13; n *= 2) {
    TSignal in = Signal(n, n % 8 == 0, 9), expected = in;
    Radix2(expected.Re, expected.Im);
    cases.emplace_back(std::move(in), std::move(expected));
  }
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 20; ++round)
        for (size_t c = 0; c < cases.size(); ++c) {
          const auto& [in, expected] = cases[(c + static_cast<size_t>(t) * 3) % cases.size()];
          TSignal s = in;
          const int32_t n = static_cast<int32_t>(s.Re.size());
          if (!CalcFFT(n, s.Re.data(), s.Im.data()) || RelativeDistance(s, expected) > 1e-12) ++wrong;
        }
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong, 0);
}
