#pragma once
// The capture threads: TBalThread runs the balancing capture of the current
// run (one revolution-synchronous capture after the other, each evaluated
// into a new reading) until it is stopped; TVibThread runs the free-running
// capture into the live buffers. Both drive the device through the bound
// driver, or synthesise the capture in demo mode, and hand their results to
// the windows through Synchronize (see workspaceservices.h).
//
// Starting and stopping, on the user-interface thread:
//   StartBalancingCapture / StartFreeRunningCapture   when no capture runs
//   RequestCaptureStop                                 the Stop command
//   StopCaptureAndWait                                 closing, shutdown, tests
// A capture thread frees itself when it ends; its end hand-over
// (SyncMeasurementDone / AsyncMeasurementDone) is the last thing it does
// with the core, and BalThread / VibThread are null from then on.

#include "speedsignallog.h"
#include "thread.h"

#include <cstdint>
#include <functional>
#include <string>

class TZelto;

// How a capture cycle ended.
// WindowError: the device reported a sample window no capture can have.
// NoRevolution: the capture held no whole revolution (no speed pulses); it
// gives no reading, and a balancing capture goes on with the next one.
enum class TCaptureEnd { Completed, Stopped, DriverError, WindowError, NoRevolution };

// The pause after a balancing capture without a whole revolution: the
// time a capture of buffLength samples at rateHz takes, at least
// NoRevolutionPauseMinMs and at most NoRevolutionPauseMaxMs (also without a
// rate), so captures without speed pulses are paced however fast the device
// ends them, and the first capture with pulses is never long in coming.
constexpr uint32_t NoRevolutionPauseMinMs = 100;
constexpr uint32_t NoRevolutionPauseMaxMs = 2000;
uint32_t NoRevolutionPauseMs(int32_t buffLength, double rateHz);

// Caption of the transfer percent: "" at 0 % and above BuffLength, else
// address x 100 / length (integer division) and "%".
std::string SamplingProgressText(int32_t address, int32_t buffLength);

// What both capture threads share: the polling of the device, the read-out,
// the temperatures and the hand-overs common to both.
class TCaptureThread : public rtl::TThread {
 protected:
  TCaptureThread(TZelto& core, bool createSuspended);

  // Waits for bits 1 and 2, shows samplingState, then polls bit 4 with the
  // transfer address until the device is done or the address passes
  // BuffLength. A stop request ends the device capture.
  TCaptureEnd Poll(uint8_t samplingState);
  // Stop, transfer state, read-out (mode 0 run, 1 live), end; a run's
  // capture without a whole revolution gives NoRevolution, any other refused
  // window ends the capture with WindowError.
  TCaptureEnd Transfer(uint8_t mode);
  void ReadTemperatures();
  // Reads the driver's error; true (text in LastErrorText) when one is pending.
  bool DriverErrorPending();
  void SetState(uint8_t state);
  // Runs body, turning any exception into a driver-style error end
  // ("Capture failed."), then records the end.
  void RunGuarded(TCaptureEnd (*body)(TCaptureThread&));

  void SyncShowState();
  void SyncShowProgress();

  TZelto& Core;
  uint8_t LastStatus = 0;
  int32_t LastAddress = 0;

 private:
  TCaptureEnd Abandon();
  TCaptureEnd Fail();
};

class TBalThread : public TCaptureThread {
 public:
  TBalThread(TZelto& core, bool createSuspended);

 protected:
  void Execute() override;

 private:
  TCaptureEnd Loop();
  TCaptureEnd Capture();
  TCaptureEnd DemoCapture();
  // Readings += 1 up to AvgSize, after the hand-over of the reading.
  void CountReading();
  // A capture without a revolution: shown once per loss of the speed
  // signal, logged as SpeedLog decides, and the next capture paced.
  void ReportNoRevolution();
  void PaceNoRevolution();
  void SyncNoSpeedSignal();
  void SyncLogSpeedSignal(bool lost);
  void SyncUpdateViews();
  void SyncFinished();
  void SyncRefreshDebug();

  // Only this thread uses it: a new Start begins a new one.
  TSpeedSignalLog SpeedLog;
};

class TVibThread : public TCaptureThread {
 public:
  TVibThread(TZelto& core, bool createSuspended);

 protected:
  void Execute() override;

 private:
  TCaptureEnd Loop();
  TCaptureEnd Capture();
  void SyncUpdateViews();
  void SyncFinished();
};

// The running capture threads; null while none of the kind runs.
extern TBalThread* BalThread;
extern TVibThread* VibThread;

// Starts a balancing capture of the current run when no capture runs:
// creates the read-out's and the signal buffers where missing (zeroed,
// BuffLength samples; the run gets samples only from a counted capture),
// frees the live buffers, Readings := 0,
// SpectrumInWindow := 0, Measuring := 1, then the thread at normal priority,
// freeing itself. False when a capture runs already.
bool StartBalancingCapture(TZelto& core);

// Starts a free-running capture when no capture runs: the live buffers
// (PrepareLiveBuffers), Measuring := 1, the thread.
bool StartFreeRunningCapture(TZelto& core);

// Asks the running capture thread to end; it reports through its end
// hand-over later.
void RequestCaptureStop();

// How long the window's thread waits for a capture thread to end. A
// transfer under way ends within seconds; a device that stopped answering
// keeps the thread in the driver for its transfer time-out (up to minutes),
// which the window must not wait for.
constexpr int32_t CaptureStopLimitMs = 5000;

// What the window's thread does while it waits for a capture to end.
struct TCaptureStopWait {
  // Serves the window's events but user input (painting, timers), between
  // the looks at the thread; empty: only Synchronize is served.
  std::function<void()> ServeWindow;
  // Called once when the capture did not end at the first look: the window
  // shows that the capture is stopping.
  std::function<void()> ShowStopping;
  // Called when the limit passed: the capture is left to end on its own.
  std::function<void()> ReportLeft;
};

// Asks the running capture thread to end and serves Synchronize (and
// wait.ServeWindow) until its end hand-over has run, for at most
// CaptureStopLimitMs counted from the first wait for this capture: every
// later wait (the window's destruction, the shutdown) shares that limit, and
// a capture left once is not waited for, nor reported (ReportLeft), again.
// Main thread only. True when no capture runs any more
// (at once when none ran). False after the limit: the thread was left to end
// on its own; it frees itself and its end hand-over runs whenever the main
// thread serves Synchronize again. The core and the driver library must
// outlive it, so their owner keeps them while CaptureThreadRuns().
bool StopCaptureAndWait(const TCaptureStopWait& wait = {});

// True while a capture thread exists: its end hand-over has not run yet.
bool CaptureThreadRuns();
