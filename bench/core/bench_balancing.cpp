#include <benchmark/benchmark.h>

#include "balancing.h"

namespace {

const TVector4 Initial{1.0, 0.2, 2.0, 1.1};
const TVector4 TrialA{1.6, 0.9, 2.1, 1.0};
const TVector4 TrialB{1.1, 0.3, 2.7, 1.9};
const TVector4 Check{0.4, 2.5, 0.3, -1.2};

void OnePlaneCorrection(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CalcCorrection(Initial, TrialA, TrialB, 0));
}
BENCHMARK(OnePlaneCorrection);

void TwoPlaneCorrection(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CalcCorrection(Initial, TrialA, TrialB, 1));
}
BENCHMARK(TwoPlaneCorrection);

void TwoPlaneTrimCorrection(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(CalcTrimCorrection(Initial, TrialA, TrialB, Check, 1));
}
BENCHMARK(TwoPlaneTrimCorrection);

// Argument: the number of rotor divisions.
void SplitTwoPlanes(benchmark::State& state) {
  const TCorrection correction{1.3, 4.1, 0.7, 0.6};
  const auto divisions = static_cast<int32_t>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(SplitCorrection(correction, 1, 1, 1, divisions));
}
BENCHMARK(SplitTwoPlanes)->Arg(6)->Arg(32)->Arg(1 << 30);

}  // namespace
