// Read-out of a full-memory capture (_GetDataA, both channels) from the
// simulated FX2 device through the library, against the raw throughput of
// the same in-process FX2 port in the same run: the announce and bulk-in
// transfers that move one channel's memory, with nothing decoded.

#include "fx2/fx2portsource.h"
#include "kalvenor2protocol.h"
#include "sartel.h"
#include "usbfx2.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace sartel;

constexpr int RawRounds = 50;
constexpr std::uint32_t TimeoutMs = 2000;

// Opens the simulated FX2 device through the library and runs one
// balancing capture over the whole memory; the samples, or 0 on failure.
std::int32_t PrepareCapture() {
  _InitDriver();
  std::int32_t indices[256] = {};
  if (_ListDevices(indices, nullptr) != 1) return 0;
  _OpenDevice(indices[0]);
  _InitDevice();
  if (!_ConfigDevice(0, false)) return 0;
  const std::int32_t n = _GetDeviceRamSize();
  _CPMode(0);
  _CPBuffer(n);
  _CPGain(1, 1);
  _CPSampling(4);
  if (_CPSet() != 1 || _StartCapture() != 1) return 0;
  for (int i = 0; i < 20 && !(_ReadStatus() & SARTEL_STATUS_DONE); ++i) {
  }
  _StopCapture();
  return n;
}

bool SendControl(fx2::TUSBFX2& link, const kalvenor2::TControl& control) {
  const std::uint8_t value = kalvenor2::ControlByte(control);
  return link.ControlOut(kalvenor2::SetControl, 0, 0, &value, 1);
}

// Seconds per read of one channel's memory of bytes over the bare port.
double RawSecondsPerMemory(std::unique_ptr<fx2port::TFx2Port> port, std::uint32_t bytes) {
  fx2::TUSBFX2 link(std::move(port), TimeoutMs);
  if (!link.Device().Open(0)) return 0;
  const std::vector<std::uint32_t> chunks = kalvenor2::ReadOutChunks(bytes, link.BulkInMaxTransferSize());
  std::vector<std::uint8_t> memory(bytes);
  kalvenor2::TControl select;
  select.Bit7 = select.Bit5 = true;
  kalvenor2::TControl deliver;
  deliver.Bit5 = true;
  const std::uint8_t fromZero[] = {0x03, 0x00, 0x00};
  const auto before = std::chrono::steady_clock::now();
  for (int round = 0; round < RawRounds; ++round) {
    if (!SendControl(link, select) || !link.BulkOut(fromZero, sizeof fromZero) || !SendControl(link, deliver)) return 0;
    std::size_t offset = 0;
    for (std::uint32_t chunk : chunks) {
      const std::uint8_t count[] = {static_cast<std::uint8_t>(chunk >> 8), static_cast<std::uint8_t>(chunk)};
      if (!link.ControlOut(kalvenor2::AnnounceRead, 0, 0, count, 2) || !link.BulkIn(memory.data() + offset, chunk))
        return 0;
      offset += chunk;
    }
    benchmark::DoNotOptimize(memory.data());
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count() / RawRounds;
}

void BM_Fx2GetDataFullMemory(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "sartel-fx2-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  setenv("SARTEL_LOCK_DIR", pattern.c_str(), 1);
  setenv("SARTEL_FX2_PORT", SIM_FX2_LIBRARY, 1);
  // Holding the backend keeps the simulated device (and its memory) alive
  // after the library lets go of it.
  auto rawPort = std::make_unique<fx2port::TFx2Port>(fx2port::LoadBackendLibrary(SIM_FX2_LIBRARY));
  const std::int32_t n = PrepareCapture();
  double perRead = 0;
  if (n == 0) {
    state.SkipWithError("no capture from the simulated FX2 device");
  } else {
    std::vector<std::int32_t> a(static_cast<std::size_t>(n)), b(static_cast<std::size_t>(n));
    const auto before = std::chrono::steady_clock::now();
    for (auto _ : state) {
      _GetDataA(a.data(), b.data());
      benchmark::DoNotOptimize(a.data());
      benchmark::DoNotOptimize(b.data());
    }
    perRead = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count() / state.iterations();
  }
  _FreeDevice();
  _FreeDriver();
  if (n != 0) {
    // Two bytes per sample of each channel cross the port.
    const std::size_t bytes = 2 * 2 * static_cast<std::size_t>(n);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["samples"] = n;
    const double raw = RawSecondsPerMemory(std::move(rawPort), static_cast<std::uint32_t>(bytes / 2));
    // Library throughput as a share of what the bare port carries.
    state.counters["of_raw_link"] = raw > 0 ? (raw * 2) / perRead : 0;
  }
  std::filesystem::remove_all(pattern);
}
BENCHMARK(BM_Fx2GetDataFullMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
