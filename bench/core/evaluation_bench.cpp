// Capture evaluation per reading: the 1x vector (single-bin DFT) and the
// statistics of both channels, at 2^16 and 2^20 samples per channel.

#include "channelstats.h"
#include "syncvector.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

std::vector<int32_t> Sine(int32_t n, int32_t revs) {
  std::vector<int32_t> x(n);
  for (int32_t m = 0; m < n; ++m) x[m] = static_cast<int32_t>(20000 * std::sin(2 * std::numbers::pi * revs * m / n));
  return x;
}

// What EvaluateCapture computes for a two-channel run.
void BM_EvaluateReading(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const auto a = Sine(n, 97), b = Sine(n, 89);
  for (auto _ : state) {
    benchmark::DoNotOptimize(BinToPolar(SyncBin(a.data(), n, 97), 1000, 32768));
    benchmark::DoNotOptimize(BinToPolar(SyncBin(b.data(), n, 97), 1000, 32768));
    benchmark::DoNotOptimize(CalcChannelStats(a.data(), n, 32768));
    benchmark::DoNotOptimize(CalcChannelStats(b.data(), n, 32768));
  }
  state.SetItemsProcessed(state.iterations() * n * 2);
  state.SetLabel("two channels");
}

BENCHMARK(BM_EvaluateReading)->Arg(1 << 16)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace
