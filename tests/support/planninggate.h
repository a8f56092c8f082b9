#pragma once
// Holds the first estimated (or measured) plan of one transform in the
// planner while a test does something on its own thread. The planning thread waits until
// the test opens the gate, or a limit passes: a thread that plans where it
// must not (holding a lock the test's command waits for) shows as a gate
// opened too late, never as a hang.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "fftplans.h"
#include "sanitizerslowdown.h"

namespace testsupport {

class TPlanningGate {
 public:
  TPlanningGate(int32_t n, TFftPlacement placement, bool measurement = false) {
    SetPlanningHook([this, n, placement, measurement](int32_t length, TFftPlacement where, bool measured) {
      if (measured != measurement || length != n || where != placement || Entered.exchange(true)) return;
      ++Inside;
      const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10) * kSanitizerSlowdown;
      while (!Opened && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      OpenedInTime = Opened.load();
      Left = true;
      --Inside;
    });
  }
  ~TPlanningGate() {
    Open();
    SetPlanningHook({});
    while (Inside > 0) std::this_thread::yield();
  }
  TPlanningGate(const TPlanningGate&) = delete;
  TPlanningGate& operator=(const TPlanningGate&) = delete;

  void Open() { Opened = true; }

  // The plan is being made and held; the plan was let go; the test opened
  // the gate before the limit.
  std::atomic<bool> Entered{false}, Left{false}, OpenedInTime{false};

 private:
  std::atomic<bool> Opened{false};
  std::atomic<int> Inside{0};
};

}  // namespace testsupport
