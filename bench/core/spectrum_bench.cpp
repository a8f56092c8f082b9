// Spectrum paths: CalcFFT beside FFTW (double precision, estimate plan, the
// same 1/n scaling applied), and the cursor-window DFT. Run with
// --benchmark_counters_tabular=true; the FFT ratio is printed after the run.

#include "cursordft.h"
#include "fft.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cmath>
#include <complex>
#include <cstdio>
#include <random>
#include <vector>

namespace {

std::vector<double> Noise(size_t n) {
  std::mt19937 gen(11);
  std::uniform_real_distribution<double> dist(-1, 1);
  std::vector<double> x(n);
  for (auto& v : x) v = dist(gen);
  return x;
}

void BM_CalcFFT(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const auto source = Noise(n);
  std::vector<double> re(n), im(n);
  for (auto _ : state) {
    re = source;
    std::fill(im.begin(), im.end(), 0.0);
    CalcFFT(n, re.data(), im.data());
    benchmark::DoNotOptimize(re.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_Fftw(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const auto source = Noise(n);
  fftw_complex* data = fftw_alloc_complex(n);
  fftw_plan plan = fftw_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_ESTIMATE);
  for (auto _ : state) {
    for (int32_t i = 0; i < n; ++i) {
      data[i][0] = source[i];
      data[i][1] = 0;
    }
    fftw_execute(plan);
    const double scale = 1.0 / n;
    for (int32_t i = 0; i < n; ++i) {
      data[i][0] *= scale;
      data[i][1] *= scale;
    }
    benchmark::DoNotOptimize(data);
  }
  fftw_destroy_plan(plan);
  fftw_free(data);
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_CursorWindowDft(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const auto a = Noise(n), b = Noise(n);
  std::vector<std::complex<double>> binsA(n), binsB(n);
  const TCursorDftJob job{a.data(), b.data(), n, 5, binsA.data(), binsB.data(), n};
  for (auto _ : state) benchmark::DoNotOptimize(CursorWindowDft(job, nullptr, nullptr));
  state.SetLabel("two channels, Hann");
}

BENCHMARK(BM_CalcFFT)->RangeMultiplier(2)->Range(1 << 12, 1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fftw)->RangeMultiplier(2)->Range(1 << 12, 1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CursorWindowDft)->Arg(1024)->Arg(8192)->Unit(benchmark::kMillisecond);

// Ratio of CalcFFT to FFTW, timed directly so it prints with every run.
double Seconds(const std::function<void()>& f, int repeats) {
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < repeats; ++i) f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / repeats;
}

void PrintFftRatios() {
  std::printf("\nCalcFFT / FFTW time ratio (FFTW_ESTIMATE plan):\n");
  for (int32_t n = 1 << 12; n <= 1 << 20; n *= 4) {
    const auto source = Noise(n);
    std::vector<double> re(n), im(n);
    fftw_complex* data = fftw_alloc_complex(n);
    fftw_plan plan = fftw_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_ESTIMATE);
    const int repeats = std::max(3, (1 << 22) / n);
    const double own = Seconds([&] { re = source; std::fill(im.begin(), im.end(), 0.0); CalcFFT(n, re.data(), im.data()); }, repeats);
    const double ref = Seconds([&] { for (int32_t i = 0; i < n; ++i) { data[i][0] = source[i]; data[i][1] = 0; } fftw_execute(plan); }, repeats);
    std::printf("  n = 2^%-2d  CalcFFT %9.1f us  FFTW %9.1f us  ratio %.2f\n", static_cast<int>(std::log2(n)), own * 1e6, ref * 1e6, own / ref);
    fftw_destroy_plan(plan);
    fftw_free(data);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintFftRatios();
  return 0;
}
