// Read-out of a full-memory capture (_GetDataA) from the simulated network
// device through the library, against the raw throughput of the same link
// in the same run: a plain loopback exchange of one 4-byte request and a
// reply of the same size, with nothing decoded.

#include "lodrastserver.h"
#include "sartel.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int RawRounds = 200;

// Connects the library to the simulated device and runs one balancing
// capture over the whole memory; the samples, or 0 on failure.
std::int32_t PrepareCapture(std::uint16_t port) {
  setenv("SARTEL_TCP_PORT", std::to_string(port).c_str(), 1);
  _InitDriver();
  if (_ListDevices(nullptr, "127.0.0.1") != 1) return 0;
  _OpenDevice(0);
  _InitDevice();
  if (!_ConfigDevice(0, false)) return 0;
  const std::int32_t n = _GetDeviceRamSize();
  _CPMode(0);
  _CPBuffer(n);
  _CPGain(0, 0);
  _CPSampling(4);
  if (_CPSet() != 1 || _StartCapture() != 1) return 0;
  for (int i = 0; i < 20 && !(_ReadStatus() & SARTEL_STATUS_DONE); ++i) {
  }
  _StopCapture();
  return n;
}

bool SendAll(int fd, const std::uint8_t* data, std::size_t length) {
  while (length > 0) {
    const ssize_t n = send(fd, data, length, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReceiveAll(int fd, std::uint8_t* data, std::size_t length) {
  while (length > 0) {
    const ssize_t n = recv(fd, data, length, 0);
    if (n <= 0) return false;
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

// Seconds per request and reply of bytes over a plain loopback connection.
double RawSecondsPerExchange(std::size_t bytes) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 1) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    close(listener);
    return 0;
  }
  std::thread responder([&] {
    const int fd = accept(listener, nullptr, nullptr);
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    std::vector<std::uint8_t> reply(bytes, 0x5A);
    std::uint8_t request[4];
    while (ReceiveAll(fd, request, sizeof request) && SendAll(fd, reply.data(), reply.size())) {
    }
    close(fd);
  });
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  double seconds = 0;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::uint8_t request[4] = {0x10, 0x80, 0x00, 0x55};
    std::vector<std::uint8_t> reply(bytes);
    const auto before = std::chrono::steady_clock::now();
    int rounds = 0;
    for (; rounds < RawRounds; ++rounds)
      if (!SendAll(fd, request, sizeof request) || !ReceiveAll(fd, reply.data(), reply.size())) break;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count() / std::max(rounds, 1);
  }
  shutdown(fd, SHUT_RDWR);
  close(fd);
  responder.join();
  close(listener);
  return seconds;
}

void BM_LodrastGetDataFullMemory(benchmark::State& state) {
  sim::TLodrastServer server;
  if (!server.Start(0)) {
    state.SkipWithError("no port for the simulated device");
    return;
  }
  const std::int32_t n = PrepareCapture(server.Port());
  if (n == 0) {
    state.SkipWithError("no capture from the simulated device");
  } else {
    std::vector<std::int32_t> a(static_cast<std::size_t>(n));
    const auto before = std::chrono::steady_clock::now();
    for (auto _ : state) {
      _GetDataA(a.data(), nullptr);
      benchmark::DoNotOptimize(a.data());
    }
    const double perRead =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count() / state.iterations();
    const std::size_t bytes = 2 * static_cast<std::size_t>(n);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["samples"] = n;
    const double raw = RawSecondsPerExchange(bytes);
    // Library throughput as a share of what the bare link carries.
    state.counters["of_raw_link"] = raw > 0 ? raw / perRead : 0;
  }
  _FreeDevice();
  _FreeDriver();
  server.Stop();
}
// The device answers on another thread, so rates are by the wall clock.
BENCHMARK(BM_LodrastGetDataFullMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
