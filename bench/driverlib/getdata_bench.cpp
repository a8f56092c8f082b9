// Read-out and decoding rate of a full-memory capture (_GetDataA) from the
// simulated device, against a plain copy of the same bytes. The benchmark
// links the simulated libftd2xx.so, so the driver's dlopen finds it loaded.

#include "sartel.h"
#include "simd2xx.h"

#include "textconv.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Opens the one simulated device and runs one balancing capture over the
// whole memory; the samples per channel, or 0 on failure.
std::int32_t PrepareCapture(const std::filesystem::path& folder) {
  SimD2xx_Reset();
  std::filesystem::create_directories(folder / "Lib");
  std::ofstream(folder / "Lib" / "Harvik.lib", std::ios::binary) << std::string(2000, '\x5A');
  if (!_InitDriver()) return 0;
  const std::u16string path = rtl::Utf8ToUtf16(folder.string());
  _SetPath(path.c_str());
  std::int32_t indices[256] = {};
  if (_ListDevices(indices, nullptr) != 1) return 0;
  _OpenDevice(indices[0]);
  _InitDevice();
  if (!_ConfigDevice(0, false)) return 0;
  const std::int32_t n = _GetDeviceRamSize();
  _CPMode(0);
  _CPBuffer(n);
  _CPGain(0, 0);
  _CPSampling(3);
  if (_CPSet() != 1 || _StartCapture() != 1) return 0;
  for (int i = 0; i < 10 && !(_ReadStatus() & SARTEL_STATUS_DONE); ++i) {
  }
  _StopCapture();
  return n;
}

double SecondsPerCopy(std::size_t bytes) {
  std::vector<std::uint8_t> from(bytes, 0x5A), to(bytes);
  constexpr int Rounds = 20;
  const auto before = std::chrono::steady_clock::now();
  for (int i = 0; i < Rounds; ++i) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count() / Rounds;
}

void BM_GetDataFullMemory(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "sartel-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::int32_t n = PrepareCapture(pattern);
  if (n == 0) {
    state.SkipWithError("no capture from the simulated device");
  } else {
    std::vector<std::int32_t> a(static_cast<std::size_t>(n)), b(static_cast<std::size_t>(n));
    const auto before = std::chrono::steady_clock::now();
    for (auto _ : state) {
      _GetDataA(a.data(), b.data());
      benchmark::DoNotOptimize(a.data());
      benchmark::DoNotOptimize(b.data());
    }
    const double perRead =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count() / state.iterations();
    // Three memory banks of one byte per sample cross the USB stand-in.
    const std::size_t bytes = 3 * static_cast<std::size_t>(n);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["samples"] = n;
    state.counters["x_memcpy"] = perRead / SecondsPerCopy(bytes);
  }
  _FreeDevice();
  _FreeDriver();
  std::filesystem::remove_all(pattern);
}
BENCHMARK(BM_GetDataFullMemory)->Unit(benchmark::kMillisecond);

}  // namespace
