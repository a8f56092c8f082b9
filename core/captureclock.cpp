#include "captureclock.h"

#include "clock.h"

#include <atomic>

namespace {

class TSystemClock final : public TCaptureClock {
 public:
  void Sleep(uint32_t ms) override { rtl::Sleep(ms); }
  uint32_t GetTickCount() override { return rtl::GetTickCount(); }
};

// Never destroyed: a capture thread left running at the program's end may
// still wait on it while the exit handlers run.
TCaptureClock& SystemClock() {
  static TSystemClock* const clock = new TSystemClock;
  return *clock;
}
std::atomic<TCaptureClock*> Installed{nullptr};

}  // namespace

TCaptureClock& CaptureClock() {
  TCaptureClock* clock = Installed.load();
  return clock ? *clock : SystemClock();
}

void SetCaptureClock(TCaptureClock* clock) { Installed.store(clock); }
