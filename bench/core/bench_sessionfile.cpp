#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <numeric>
#include <string>

#include "zelto.h"

namespace {

// A core over a data folder of its own, holding a full two-plane job: all
// twenty runs measured, `length` samples per channel.
class TBenchCore {
 public:
  explicit TBenchCore(int32_t length) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelto-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data())) Folder = pattern;
    ::setenv("XDG_DATA_HOME", pattern.c_str(), 1);
    Core = std::make_unique<TZelto>();
    Core->RamSize = Core->BuffLength = length;
    Core->Type = 1;
    for (int32_t run = 0; run < RunCount; ++run) {
      Core->Captures[run].DataA.resize(length);
      std::iota(Core->Captures[run].DataA.begin(), Core->Captures[run].DataA.end(), run);
      Core->Captures[run].DataB = Core->Captures[run].DataA;
      Core->Captures[run].T = 4;
      Core->Captures[run].End = length;
      Core->Results[run].Meas = {1, 2, 3, 4};
    }
    Core->BalancingStep = Core->HighestStep = RunCount - 1;
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

// Argument: samples per channel. Each save forces both files to disk.
void SaveSession(benchmark::State& state) {
  TBenchCore bench(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(bench.Core->SaveSession());
  state.SetBytesProcessed(state.iterations() * 2 * RunCount * state.range(0) * 4);
}
BENCHMARK(SaveSession)->Arg(1 << 14)->Arg(1 << 18)->Unit(benchmark::kMillisecond);

void LoadSession(benchmark::State& state) {
  TBenchCore bench(static_cast<int32_t>(state.range(0)));
  bench.Core->SaveSession();
  for (auto _ : state) benchmark::DoNotOptimize(bench.Core->LoadSession());
  state.SetBytesProcessed(state.iterations() * 2 * RunCount * state.range(0) * 4);
}
BENCHMARK(LoadSession)->Arg(1 << 14)->Arg(1 << 18)->Unit(benchmark::kMillisecond);

}  // namespace
