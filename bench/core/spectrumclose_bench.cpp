// Closing the spectrum window while the thread computes the whole-buffer
// spectrum of 2^20 samples on two channels (a kept plan), at a random
// moment of the computation: what the close costs the window (letting the
// thread go) and, beside it, how long the thread still takes to end on its
// own, which is what a close that waited for it would have cost. Run it
// beside a load of normal priority to see the thread, one step below
// normal, starve while the window does not.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "events.h"
#include "fftplans.h"
#include "spectrumthread.h"
#include "synchronize.h"
#include "zelto.h"

namespace {

constexpr int32_t kLength = 1 << 20;

class TBenchCore {
 public:
  TBenchCore() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelto-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data())) Folder = pattern;
    ::setenv("XDG_DATA_HOME", pattern.c_str(), 1);
    Core = std::make_unique<TZelto>();
    Core->RamSize = Core->BuffLength = kLength;
    Core->Type = 1;
    Core->WindowType = 5;
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> noise(-1, 1);
    Core->SignalA.resize(kLength);
    Core->SignalB.resize(kLength);
    for (int32_t i = 0; i < kLength; ++i) {
      Core->SignalA[i] = std::sin(i * 0.01) + noise(gen);
      Core->SignalB[i] = noise(gen);
    }
  }
  ~TBenchCore() {
    Core.reset();
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }
  std::unique_ptr<TZelto> Core;

 private:
  std::filesystem::path Folder;
};

// A thread as the window starts it, woken for one computation, which has
// begun when this returns.
TSpectrumThread* StartComputing(TZelto& core) {
  core.SpectrumEvent->ResetEvent();  // the set that woke the thread let go before
  auto* thread = new TSpectrumThread(core, true);
  thread->FreeOnTerminate = true;
  thread->SetPriority(rtl::tpLower);
  thread->Resume();
  for (;;) {  // the thread has its spectra
    std::lock_guard<std::mutex> signals(core.SignalLock);
    if (core.SpectrumA.size() == static_cast<size_t>(kLength)) break;
  }
  std::lock_guard<std::mutex> signals(core.SignalLock);
  core.SpectrumEvent->SetEvent();
  while (!core.SpectrumBusy) std::this_thread::yield();
  return thread;
}

void BM_CloseDuringASpectrumOfTwoToTheTwentySamples(benchmark::State& state) {
  TBenchCore bench;
  TZelto& core = *bench.Core;
  AwaitSpectrumThreads(core);
  {
    // A first computation plans the length; the plan is then kept.
    TSpectrumThread* thread = StartComputing(core);
    while (core.SpectrumBusy) rtl::CheckSynchronize(1);
    thread->LetGo();
    AwaitSpectrumThreads(core);
    AwaitMeasuredPlans();
  }
  std::mt19937 gen(7);
  std::uniform_int_distribution<int> delayUs(0, 60000);
  double endSeconds = 0, longestEnd = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TSpectrumThread* thread = StartComputing(core);
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(gen)));
    state.ResumeTiming();
    const auto closing = std::chrono::steady_clock::now();
    thread->LetGo();
    state.PauseTiming();
    AwaitSpectrumThreads(core);
    const double ended = std::chrono::duration<double>(std::chrono::steady_clock::now() - closing).count();
    endSeconds += ended;
    longestEnd = std::max(longestEnd, ended);
    state.ResumeTiming();
  }
  state.counters["thread_end_ms_mean"] = 1e3 * endSeconds / static_cast<double>(state.iterations());
  state.counters["thread_end_ms_max"] = 1e3 * longestEnd;
}

BENCHMARK(BM_CloseDuringASpectrumOfTwoToTheTwentySamples)->Iterations(40)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
