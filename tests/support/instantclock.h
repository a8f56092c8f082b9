#pragma once
// A capture clock for tests: the demo capture's sleeps return at once, so a
// whole capture runs in the time of its computation.

#include <atomic>
#include <cstdint>

#include "captureclock.h"

namespace testsupport {

class TInstantClock : public TCaptureClock {
 public:
  void Sleep(uint32_t ms) override { Now += ms; }
  uint32_t GetTickCount() override { return Now; }
  std::atomic<uint32_t> Now{0};
};

}  // namespace testsupport
