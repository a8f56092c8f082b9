// Spectrum paths beside FFTW's real-input transform with a measured plan
// (r2c, FFTW_MEASURE), the fastest FFTW offers for one length: CalcFFT at
// 2^12 ... 2^20 and the cursor-window DFT (two channels, Hann) at lengths a
// run's window has, primes among them. After the benchmarks the ratios are
// timed again side by side, round by round, and printed with their targets.
// Measuring the reference plans takes about half a minute at the start.
// CalcFFT is timed once warm: after the background planner has measured
// its plan. BM_FirstCalcFFT times the first spectrum at a length, as after
// the program's start or a new buffer length: planning included;
// BM_FirstCalcFFTWhileMeasuring the same while the planner thread measures
// the plan of another length. BM_FirstCursorDft times the first DFT over a
// run's window at lengths that are not powers of two, the planner idle or
// busy with another length.

#include "cursordft.h"
#include "fft.h"
#include "fftplans.h"
#include "signalwindows.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <functional>
#include <random>
#include <thread>
#include <vector>

namespace {

std::vector<double> Noise(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> dist(-1, 1);
  std::vector<double> x(n);
  for (auto& v : x) v = dist(gen);
  return x;
}

// FFTW's r2c of n real values, out of place, planned with FFTW_MEASURE on
// its own arrays; Run copies the samples in and transforms them. FFTW's
// planner is not thread-safe: the reference is planned and destroyed under
// the planner lock of the kept plans, whose planner thread may be busy.
class TReference {
 public:
  explicit TReference(int32_t n)
      : N(n), In(fftw_alloc_real(static_cast<size_t>(n))), Out(fftw_alloc_complex(static_cast<size_t>(n) / 2 + 1)) {
    WithPlannerLock([this] { Plan = fftw_plan_dft_r2c_1d(N, In, Out, FFTW_MEASURE); });
  }
  ~TReference() {
    WithPlannerLock([this] { fftw_destroy_plan(Plan); });
    fftw_free(In);
    fftw_free(Out);
  }
  TReference(const TReference&) = delete;
  TReference& operator=(const TReference&) = delete;

  void Run(const std::vector<double>& samples) {
    std::copy(samples.begin(), samples.begin() + N, In);
    fftw_execute(Plan);
    benchmark::DoNotOptimize(Out);
  }

 private:
  int32_t N;
  double* In;
  fftw_complex* Out;
  fftw_plan Plan = nullptr;
};

// CalcFFT as the spectrum thread calls it: the real part filled with the
// samples, the imaginary part with zeros.
struct TCalcFft {
  explicit TCalcFft(int32_t n) : N(n), Re(static_cast<size_t>(n)), Im(static_cast<size_t>(n)) {}
  void Run(const std::vector<double>& samples) {
    std::copy(samples.begin(), samples.begin() + N, Re.begin());
    std::fill(Im.begin(), Im.end(), 0.0);
    CalcFFT(N, Re.data(), Im.data());
    benchmark::DoNotOptimize(Re.data());
  }
  int32_t N;
  std::vector<double> Re, Im;
};

// The cursor-window DFT over two channels with a Hann window.
struct TCursorDft {
  explicit TCursorDft(int32_t n)
      : A(Noise(static_cast<size_t>(n), 1)), B(Noise(static_cast<size_t>(n), 2)), BinsA(static_cast<size_t>(n)),
        BinsB(static_cast<size_t>(n)), Job{A.data(), B.data(), n, wtHann, BinsA.data(), BinsB.data(), n} {}
  void Run() { benchmark::DoNotOptimize(CursorWindowDft(Job, nullptr, nullptr)); }
  std::vector<double> A, B;
  std::vector<std::complex<double>> BinsA, BinsB;
  TCursorDftJob Job;
};

// Warm: the first call plans, the measured plan replaces the estimated one.
void BM_CalcFFT(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const auto samples = Noise(static_cast<size_t>(n), 11);
  TCalcFft fft(n);
  fft.Run(samples);
  AwaitMeasuredPlans();
  for (auto _ : state) fft.Run(samples);
  state.SetItemsProcessed(state.iterations() * n);
}

// The first spectrum at a length: every kept plan and everything FFTW's
// planner learnt is forgotten before each call, so the call plans (an
// estimated plan; the measured one follows in the background).
void BM_FirstCalcFFT(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const auto samples = Noise(static_cast<size_t>(n), 11);
  TCalcFft fft(n);
  for (auto _ : state) {
    state.PauseTiming();
    ForgetPlans();
    state.ResumeTiming();
    fft.Run(samples);
  }
  AwaitMeasuredPlans();
}

// The length whose measurement is under way in BM_FirstCalcFFTWhileMeasuring:
// measuring it takes about a second.
constexpr int32_t kMeasuredLength = 1 << 16;

// The first spectrum at a length while the planner thread measures the plan
// of another (kMeasuredLength, just asked for): it must not wait for that
// measurement, and is computed by the stand-in transform instead.
void BM_FirstCalcFFTWhileMeasuring(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const auto samples = Noise(static_cast<size_t>(n), 11), other = Noise(static_cast<size_t>(kMeasuredLength), 12);
  TCalcFft fft(n), measured(kMeasuredLength);
  std::atomic<bool> measuring{false};
  SetPlanningHook([&measuring](int32_t length, TFftPlacement, bool measurement) {
    if (measurement && length == kMeasuredLength) measuring = true;
  });
  for (auto _ : state) {
    state.PauseTiming();
    ForgetPlans();
    measuring = false;
    measured.Run(other);
    while (!measuring) std::this_thread::yield();
    state.ResumeTiming();
    fft.Run(samples);
  }
  SetPlanningHook({});
  AwaitMeasuredPlans();
}

// The planner's state while BM_FirstCursorDft asks for its first transform.
enum TPlannerState : int64_t { psIdle, psEstimating, psEstimatingLong, psMeasuring };

// The length another window's first spectrum estimates meanwhile: any
// length not among those timed; its estimate takes milliseconds.
constexpr int32_t kEstimatedLength = 3 * 5 * 7 * 11 * 13 * 17;
// A long prime window's length, whose estimate takes hundreds of
// milliseconds: the short windows' first spectra take the stand-in once it
// has run as long as theirs would take.
constexpr int32_t kLongEstimatedLength = 1048573;

// The first cursor-window spectrum (two channels, Hann) at a length, as the
// user's Next or Previous in DFT mode asks for it: planning included, with
// the planner idle, estimating another length (its estimate just begun, a
// short one or a long one), or measuring another (kMeasuredLength). Behind
// an estimate a length that is not a power of two waits for it as long as
// its stand-in transform would take, then takes the stand-in; behind a
// measurement it takes the stand-in at once.
void BM_FirstCursorDft(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const auto planner = static_cast<TPlannerState>(state.range(1));
  TCursorDft dft(n);
  const auto other = Noise(static_cast<size_t>(kMeasuredLength), 12);
  TCalcFft measured(kMeasuredLength);
  std::atomic<bool> busy{false};
  const int32_t estimated = planner == psEstimatingLong ? kLongEstimatedLength : kEstimatedLength;
  const bool estimating = planner == psEstimating || planner == psEstimatingLong;
  SetPlanningHook([&busy, planner, estimated, estimating](int32_t length, TFftPlacement, bool measurement) {
    if ((planner == psMeasuring && measurement && length == kMeasuredLength) ||
        (estimating && !measurement && length == estimated))
      busy = true;
  });
  for (auto _ : state) {
    state.PauseTiming();
    ForgetPlans();
    busy = false;
    std::thread asking;
    if (planner == psMeasuring) measured.Run(other);
    if (estimating) asking = std::thread([estimated] { RealFft(estimated); });
    while (planner != psIdle && !busy) std::this_thread::yield();
    state.ResumeTiming();
    dft.Run();
    state.PauseTiming();
    if (asking.joinable()) asking.join();
    state.ResumeTiming();
  }
  SetPlanningHook({});
  AwaitMeasuredPlans();
  state.SetLabel(planner == psIdle             ? "planner idle"
                 : planner == psEstimating     ? "behind an estimate"
                 : planner == psEstimatingLong ? "behind a long estimate"
                                               : "behind a measurement");
}

void BM_FftwR2c(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const auto samples = Noise(static_cast<size_t>(n), 11);
  TReference reference(n);
  for (auto _ : state) reference.Run(samples);
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_CursorWindowDft(benchmark::State& state) {
  TCursorDft dft(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) dft.Run();
  state.SetLabel("two channels, Hann");
}

void BM_FftwR2cTwoChannels(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const auto a = Noise(static_cast<size_t>(n), 1), b = Noise(static_cast<size_t>(n), 2);
  TReference reference(n);
  for (auto _ : state) {
    reference.Run(a);
    reference.Run(b);
  }
}

constexpr int64_t kCursorLengths[] = {1000, 4099, 65537, 524287};

BENCHMARK(BM_CalcFFT)->RangeMultiplier(4)->Range(1 << 12, 1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstCalcFFT)->RangeMultiplier(4)->Range(1 << 12, 1 << 20)->Iterations(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstCalcFFTWhileMeasuring)->Arg(1 << 12)->Arg(1 << 14)->Arg(1 << 18)->Arg(1 << 20)->Iterations(3)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstCursorDft)
    ->ArgsProduct({{65537, 131073, 262145, 486493}, {psIdle, psEstimating, psEstimatingLong, psMeasuring}})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FftwR2c)->RangeMultiplier(4)->Range(1 << 12, 1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CursorWindowDft)->ArgsProduct({{std::begin(kCursorLengths), std::end(kCursorLengths)}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FftwR2cTwoChannels)->ArgsProduct({{std::begin(kCursorLengths), std::end(kCursorLengths)}})
    ->Unit(benchmark::kMillisecond);

// Seconds per call, the median of rounds in which the two sides take turns,
// so that a busy machine slows both alike.
struct TPair {
  double Own = 0, Reference = 0;
};

TPair Compare(const std::function<void()>& own, const std::function<void()>& reference, int repeats) {
  const auto seconds = [repeats](const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < repeats; ++i) f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / repeats;
  };
  own();
  reference();
  std::vector<double> a, b;
  for (int round = 0; round < 15; ++round) {
    a.push_back(seconds(own));
    b.push_back(seconds(reference));
  }
  std::nth_element(a.begin(), a.begin() + 7, a.end());
  std::nth_element(b.begin(), b.begin() + 7, b.end());
  return {a[7], b[7]};
}

void PrintRatios() {
  std::printf("\nCalcFFT / FFTW r2c (FFTW_MEASURE), target <= 1.5:\n");
  for (int32_t n = 1 << 12; n <= 1 << 20; n *= 4) {
    const auto samples = Noise(static_cast<size_t>(n), 11);
    TCalcFft fft(n);
    fft.Run(samples);
    TReference reference(n);
    const TPair t = Compare([&] { fft.Run(samples); }, [&] { reference.Run(samples); }, std::max(2, (1 << 21) / n));
    std::printf("  n = 2^%-2d     CalcFFT %10.1f us  FFTW %10.1f us  ratio %.2f\n", static_cast<int>(std::log2(n)),
                t.Own * 1e6, t.Reference * 1e6, t.Own / t.Reference);
  }
  std::printf("CursorWindowDft (two channels, Hann) / two FFTW r2c (FFTW_MEASURE), target <= 3:\n");
  for (const int64_t length : kCursorLengths) {
    const int32_t n = static_cast<int32_t>(length);
    TCursorDft dft(n);
    TReference reference(n);
    const TPair t = Compare([&] { dft.Run(); },
                            [&] {
                              reference.Run(dft.A);
                              reference.Run(dft.B);
                            },
                            std::max(2, (1 << 20) / n));
    std::printf("  N = %-9d  DFT %14.1f us  FFTW %10.1f us  ratio %.2f\n", n, t.Own * 1e6, t.Reference * 1e6,
                t.Own / t.Reference);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintRatios();
  return 0;
}
