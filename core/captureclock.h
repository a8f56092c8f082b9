#pragma once
// The clock of the capture cycle and the demo synthesis. Their waits go
// through it, so tests replace it and run a whole job in milliseconds.

#include <cstdint>

class TCaptureClock {
 public:
  virtual ~TCaptureClock() = default;
  virtual void Sleep(uint32_t ms) = 0;
  virtual uint32_t GetTickCount() = 0;
};

// The clock in use: the system clock unless a test installed another.
TCaptureClock& CaptureClock();

// Installs a clock (null: the system clock again). Call it while no capture
// thread runs; the caller keeps the clock alive while it is installed.
void SetCaptureClock(TCaptureClock* clock);
