#pragma once
// A device bound through the core's driver table whose transfer blocks
// until the test releases it (or ten seconds pass, so that no fault can
// keep a test waiting for ever). Everything else answers at once: armed,
// triggered and done.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "answeringdevice.h"
#include "sanitizerslowdown.h"
#include "zelto.h"

namespace testsupport {

class TBlockingTransfer {
 public:
  explicit TBlockingTransfer(TZelto& core) {
    InTransfer = false;
    Released = false;
    TDriverApi& api = core.DriverApi;
    BindAnsweringControls(api);
    api.GetCaptureParams = [](int32_t* start, int32_t* end, int32_t* revolutions) {
      *start = 0;
      *end = 1000;
      *revolutions = 10;
      return int32_t{0};
    };
    api.GetDataA = [](int32_t*, int32_t*) {
      InTransfer = true;
      const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10) * kSanitizerSlowdown;
      while (!Released && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    core.DeviceReady = 1;
  }
  ~TBlockingTransfer() { Release(); }
  TBlockingTransfer(const TBlockingTransfer&) = delete;
  TBlockingTransfer& operator=(const TBlockingTransfer&) = delete;

  void Release() { Released = true; }

  static inline std::atomic<bool> InTransfer{false}, Released{false};
};

}  // namespace testsupport
