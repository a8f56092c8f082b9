// The capture cycle: configuration, polling of the status bits, read-out,
// temperatures, evaluation and the hand-overs to the windows.

#include "capturethreads.h"

#include "captureclock.h"
#include "events.h"
#include "synchronize.h"
#include "workspaceservices.h"
#include "zelto.h"

#include <algorithm>
#include <utility>
#include <chrono>
#include <optional>

TBalThread* BalThread = nullptr;
TVibThread* VibThread = nullptr;

namespace {

constexpr uint8_t kArmed = SARTEL_STATUS_ARMED;
constexpr uint8_t kTriggered = SARTEL_STATUS_TRIGGERED;
constexpr uint8_t kDone = SARTEL_STATUS_DONE;

constexpr uint8_t kStateArmed = 1;
constexpr uint8_t kStateSyncSampling = 2;
constexpr uint8_t kStateAsyncSampling = 3;
constexpr uint8_t kStateTransfer = 4;

constexpr double kDemoTemperature = 25.0;

// Raw temperature over the sensor's gain; a gain of 0 gives 0.
double Temperature(double raw, double gain) { return gain == 0 ? 0 : raw / gain; }

void SetTracesSolid(TSignalViewServices& view) {
  view.SolidA = true;
  view.SolidB = true;
}

// The laser is on while the balancing loop runs and off however it ends,
// an exception included.
class TLaserOn {
 public:
  explicit TLaserOn(TZelto& core) : Core(core) { Switch(true); }
  ~TLaserOn() { Switch(false); }
  TLaserOn(const TLaserOn&) = delete;
  TLaserOn& operator=(const TLaserOn&) = delete;

 private:
  void Switch(bool on) {
    if (Core.DeviceReady && Core.DriverApi.LaserEnable) Core.DriverApi.LaserEnable(on);
  }
  TZelto& Core;
};

void SetDemoTemperatures(TZelto& core) {
  rtl::TCriticalSectionGuard guard(core.ResultsLock);
  core.TemperatureA = core.TemperatureB = kDemoTemperature;
}

}  // namespace

uint32_t NoRevolutionPauseMs(int32_t buffLength, double rateHz) {
  if (!(rateHz > 0) || buffLength <= 0) return NoRevolutionPauseMaxMs;
  const double ms = 1000.0 * buffLength / rateHz;
  return static_cast<uint32_t>(std::clamp(ms, double{NoRevolutionPauseMinMs}, double{NoRevolutionPauseMaxMs}));
}

std::string SamplingProgressText(int32_t address, int32_t buffLength) {
  if (buffLength <= 0 || address > buffLength) return {};
  const int64_t percent = static_cast<int64_t>(address) * 100 / buffLength;
  return percent <= 0 ? std::string() : std::to_string(percent) + "%";
}

// --- shared cycle ----------------------------------------------------------

TCaptureThread::TCaptureThread(TZelto& core, bool createSuspended) : rtl::TThread(createSuspended), Core(core) {}

bool TCaptureThread::DriverErrorPending() { return Core.ReadDriverError() != 0; }

void TCaptureThread::SetState(uint8_t state) {
  Core.AcquisitionState = state;
  Synchronize([this] { SyncShowState(); });
}

TCaptureEnd TCaptureThread::Abandon() {
  Core.DriverApi.StopCapture();
  Core.DriverApi.EndCapture();
  return TCaptureEnd::Stopped;
}

// The error text is already in LastErrorText; the device is stopped so a
// half-done capture does not stay armed.
TCaptureEnd TCaptureThread::Fail() {
  Core.DriverApi.StopCapture();
  Core.DriverApi.EndCapture();
  return TCaptureEnd::DriverError;
}

TCaptureEnd TCaptureThread::Poll(uint8_t samplingState) {
  const TDriverApi& api = Core.DriverApi;
  for (uint8_t bit : {kArmed, kTriggered}) {
    while (!(LastStatus & bit)) {
      LastStatus = api.ReadStatus();
      if (DriverErrorPending()) return Fail();
      if (Terminated()) return Abandon();
    }
  }
  if (Core.AcquisitionState != samplingState) SetState(samplingState);
  while (!(LastStatus & kDone)) {
    LastStatus = api.ReadStatus();
    if (DriverErrorPending()) return Fail();
    LastAddress = api.GetAddress();
    Synchronize([this] { SyncShowProgress(); });
    // Some devices never report done: a write address past the buffer
    // means the capture is complete.
    if (LastAddress > Core.BuffLength) LastStatus |= kDone;
    if (Terminated()) return Abandon();
  }
  return TCaptureEnd::Completed;
}

TCaptureEnd TCaptureThread::Transfer(uint8_t mode) {
  Core.DriverApi.StopCapture();
  SetState(kStateTransfer);
  TCaptureWindow window;
  const bool windowPossible = Core.ReadCapture(mode, window);
  const bool failed = DriverErrorPending();
  Core.DriverApi.EndCapture();
  // Ending the capture can fail too; left pending, its error would surface
  // with a later, unrelated run. A read-out error keeps its own text.
  if (failed || DriverErrorPending()) return TCaptureEnd::DriverError;
  if (windowPossible) {
    // Only a whole read-out reaches the run or the live buffers.
    Core.TakeCapture(mode);
    return TCaptureEnd::Completed;
  }
  // No speed pulses, not a faulty device: the next capture may hold them.
  if (window.T == 0) return TCaptureEnd::NoRevolution;
  // The device is already stopped and ended, so the next capture starts
  // from a clean state.
  SetText(Core.LastErrorText, ImpossibleWindowText(window, Core.BuffLength));
  return TCaptureEnd::WindowError;
}

void TCaptureThread::ReadTemperatures() {
  const SensorInfo& a = Core.VibSensorA;
  const SensorInfo& b = Core.VibSensorB;
  if (!a.Temperature && !b.Temperature) return;
  double rawA = 0, rawB = 0;
  const bool twoChannels = Core.Type != 0;
  Core.DriverApi.GetTemperature(&rawA, twoChannels ? &rawB : nullptr);
  rtl::TCriticalSectionGuard guard(Core.ResultsLock);
  Core.TemperatureA = a.Temperature ? Temperature(rawA, a.TemperatureGain) : 0;
  if (twoChannels) Core.TemperatureB = b.Temperature ? Temperature(rawB, b.TemperatureGain) : 0;
}

void TCaptureThread::RunGuarded(TCaptureEnd (*body)(TCaptureThread&)) {
  Core.CaptureError = CaptureErrorNone;
  TCaptureEnd end;
  try {
    end = body(*this);
  } catch (const rtl::ESynchronizeCancelled&) {
    throw;  // the thread object is going away: leave at once
  } catch (...) {
    // Whatever was thrown, the end hand-over below must still run: it is
    // what clears BalThread/VibThread before the thread frees itself.
    SetText(Core.LastErrorText, u"Capture failed.");
    end = TCaptureEnd::DriverError;
  }
  if (end == TCaptureEnd::DriverError) Core.CaptureError = CaptureErrorDriver;
  if (end == TCaptureEnd::WindowError) Core.CaptureError = CaptureErrorWindow;
}

void TCaptureThread::SyncShowState() {
  if (TBalancingServices* workspace = WindowServices().Balancing) workspace->ShowAcquisitionState(Core.AcquisitionState);
}

void TCaptureThread::SyncShowProgress() {
  if (TBalancingServices* workspace = WindowServices().Balancing)
    workspace->ShowSamplingProgress(SamplingProgressText(LastAddress, Core.BuffLength));
}

// --- balancing capture -----------------------------------------------------

TBalThread::TBalThread(TZelto& core, bool createSuspended) : TCaptureThread(core, createSuspended) {
  if (!createSuspended) Resume();
}

void TBalThread::Execute() {
  RunGuarded([](TCaptureThread& self) { return static_cast<TBalThread&>(self).Loop(); });
  Synchronize([this] { SyncFinished(); });
}

TCaptureEnd TBalThread::Loop() {
  const TLaserOn laser(Core);
  TCaptureEnd end;
  do {
    end = Capture();
    if (end == TCaptureEnd::NoRevolution) {
      ReportNoRevolution();
      PaceNoRevolution();
      continue;
    }
    if (end != TCaptureEnd::Completed) break;
    Core.NoSpeedSignal = 0;
    Core.ConvertSamples();
    if (!Core.SpectrumBusy && Core.SpectrumEvent) Core.SpectrumEvent->SetEvent();
    Core.EvaluateCapture(0, Core.BalancingStep);
    Synchronize([this] { SyncUpdateViews(); });
    CountReading();
    if (SpeedLog.Reading(CaptureClock().GetTickCount())) Synchronize([this] { SyncLogSpeedSignal(false); });
  } while (!Terminated());
  return end == TCaptureEnd::NoRevolution ? TCaptureEnd::Stopped : end;
}

void TBalThread::CountReading() {
  const int32_t slots = std::clamp(Core.AvgSize, 1, MaxAvgSize);
  ++Core.CaptureReadings;
  rtl::TCriticalSectionGuard guard(Core.ResultsLock);
  if (slots > 1 && Core.Readings < slots) ++Core.Readings;
}

// The error line follows every change of the signal; the log hears of it
// as SpeedLog decides.
void TBalThread::ReportNoRevolution() {
  const bool log = SpeedLog.Loss(CaptureClock().GetTickCount());
  if (!Core.NoSpeedSignal.exchange(1)) Synchronize([this] { SyncNoSpeedSignal(); });
  if (log) Synchronize([this] { SyncLogSpeedSignal(true); });
}

// A device without speed pulses may end each capture at once: the next one
// waits as long as a capture of the buffer takes, in short steps so a stop
// is not kept waiting.
void TBalThread::PaceNoRevolution() {
  constexpr uint32_t StepMs = 50;
  const uint32_t pause = NoRevolutionPauseMs(Core.BuffLength, Core.DriverSamplingFrequency());
  for (uint32_t slept = 0; slept < pause && !Terminated(); slept += StepMs)
    CaptureClock().Sleep(std::min(StepMs, pause - slept));
}

TCaptureEnd TBalThread::Capture() {
  if (!Core.DeviceReady) return DemoCapture();
  Core.ConfigureCapture(0);
  if (DriverErrorPending()) return TCaptureEnd::DriverError;
  Core.DriverApi.StartCapture();
  SetState(kStateArmed);
  LastStatus = 0;
  TCaptureEnd end = Poll(kStateSyncSampling);
  if (end == TCaptureEnd::Completed) end = Transfer(0);
  if (end != TCaptureEnd::Completed) return end;
  ReadTemperatures();
  Synchronize([this] { SyncRefreshDebug(); });
  return end;
}

// The pauses pace the demo like a device: armed, sampling, transfer. A
// buffer too short for one revolution gives no reading, as a device's
// capture without speed pulses.
TCaptureEnd TBalThread::DemoCapture() {
  TCaptureClock& clock = CaptureClock();
  SetState(kStateArmed);
  clock.Sleep(50);
  SetState(kStateSyncSampling);
  clock.Sleep(200);
  SetState(kStateTransfer);
  if (!Core.SimulateCapture(0)) return TCaptureEnd::NoRevolution;
  SetDemoTemperatures(Core);
  Synchronize([this] { SyncRefreshDebug(); });
  return TCaptureEnd::Completed;
}

void TBalThread::SyncUpdateViews() {
  TWindowServices& windows = WindowServices();
  if (TBalancingServices* workspace = windows.Balancing) workspace->RefreshResults();
  if (TTimeGraphServices* scope = windows.TimeGraph; scope && scope->Visible) {
    SetTracesSolid(*scope);
    scope->RefreshGraph();
    scope->RefreshReadout();
    scope->MirrorStatus();
  }
  if (TSpectrumViewServices* spectrum = windows.SpectrumView; spectrum && spectrum->Visible) {
    spectrum->RefreshInfoPanel();
    spectrum->MirrorStatus();
  }
}

void TBalThread::SyncNoSpeedSignal() {
  TWindowServices& windows = WindowServices();
  if (TBalancingServices* workspace = windows.Balancing) workspace->ShowNoSpeedSignal();
  if (TTimeGraphServices* scope = windows.TimeGraph; scope && scope->Visible) scope->MirrorStatus();
  if (TSpectrumViewServices* spectrum = windows.SpectrumView; spectrum && spectrum->Visible) spectrum->MirrorStatus();
}

void TBalThread::SyncLogSpeedSignal(bool lost) {
  if (TBalancingServices* workspace = WindowServices().Balancing) workspace->LogSpeedSignal(lost);
}

void TBalThread::SyncRefreshDebug() {
  if (TDebugServices* debug = WindowServices().Debug) debug->Update();
}

// The end hand-over: from here on the thread no longer touches the core.
void TBalThread::SyncFinished() {
  BalThread = nullptr;
  Core.Measuring = 0;
  if (TBalancingServices* workspace = WindowServices().Balancing) workspace->SyncMeasurementDone();
}

// --- free-running capture --------------------------------------------------

TVibThread::TVibThread(TZelto& core, bool createSuspended) : TCaptureThread(core, createSuspended) {
  if (!createSuspended) Resume();
}

void TVibThread::Execute() {
  RunGuarded([](TCaptureThread& self) { return static_cast<TVibThread&>(self).Loop(); });
  Synchronize([this] { SyncFinished(); });
}

// A capture read out is in the live buffers, so it is evaluated and shown
// even when a stop came meanwhile: what the buffers hold and what the
// windows were handed never differ.
TCaptureEnd TVibThread::Loop() {
  for (;;) {
    const TCaptureEnd end = Capture();
    if (end != TCaptureEnd::Completed) return end;
    Core.EvaluateCapture(1, 0);
    Core.ConvertSamples();
    if (!Core.SpectrumBusy && Core.SpectrumEvent) Core.SpectrumEvent->SetEvent();
    Synchronize([this] { SyncUpdateViews(); });
    if (Terminated()) return TCaptureEnd::Stopped;
  }
}

TCaptureEnd TVibThread::Capture() {
  SetState(kStateAsyncSampling);
  if (!Core.DeviceReady) {
    Core.SimulateCapture(1);
    SetDemoTemperatures(Core);
    return TCaptureEnd::Completed;
  }
  Core.ConfigureCapture(1);
  if (DriverErrorPending()) return TCaptureEnd::DriverError;
  TCaptureClock& clock = CaptureClock();
  clock.Sleep(1000);
  Core.DriverApi.StartCapture();
  clock.Sleep(1);
  Core.DriverApi.ForceTrigger();
  LastStatus = 0;
  TCaptureEnd end = Poll(kStateAsyncSampling);
  if (end == TCaptureEnd::Completed) end = Transfer(1);
  if (end == TCaptureEnd::Completed) ReadTemperatures();
  return end;
}

void TVibThread::SyncUpdateViews() {
  TWindowServices& windows = WindowServices();
  if (TBalancingServices* workspace = windows.Balancing) {
    workspace->UpdateOperationStatus();
    workspace->UpdateParamCaptions();
  }
  if (TTimeGraphServices* scope = windows.TimeGraph; scope && scope->Visible) {
    SetTracesSolid(*scope);
    scope->RefreshGraph();
    scope->RefreshReadout();
  }
}

void TVibThread::SyncFinished() {
  VibThread = nullptr;
  Core.Measuring = 0;
  if (TBalancingServices* workspace = WindowServices().Balancing) workspace->AsyncMeasurementDone();
}

// --- starting and stopping -------------------------------------------------

namespace {

bool CaptureRuns(const TZelto& core) { return core.Measuring || BalThread || VibThread; }

// When the waits for the running capture's end give up: set by the first
// wait, so that the closing window, its destruction and the shutdown wait
// CaptureStopLimitMs in all, not each. Main thread only.
std::optional<std::chrono::steady_clock::time_point> StopDeadline;
// The running capture was left to end on its own (and that was reported).
bool CaptureLeft = false;

template <typename T>
T* Launch(TZelto& core) {
  StopDeadline.reset();
  CaptureLeft = false;
  core.Measuring = 1;
  T* thread = new T(core, true);
  thread->SetPriority(rtl::tpNormal);
  thread->FreeOnTerminate = true;
  return thread;
}

}  // namespace

// The buffers are sized here, on the user-interface thread, so the capture
// thread only writes into them while the windows read them.
bool StartBalancingCapture(TZelto& core) {
  if (CaptureRuns(core)) return false;
  core.PrepareRunBuffers();
  {
    const auto lock = core.LockSignalsForWriting();
    core.SpectrumInWindow = 0;
  }
  std::vector<int32_t>().swap(core.LiveDataA);
  std::vector<int32_t>().swap(core.LiveDataB);
  core.Readings = 0;
  core.CaptureReadings = 0;
  core.NoSpeedSignal = 0;
  BalThread = Launch<TBalThread>(core);
  BalThread->Resume();
  return true;
}

bool StartFreeRunningCapture(TZelto& core) {
  if (CaptureRuns(core)) return false;
  core.PrepareLiveBuffers();
  VibThread = Launch<TVibThread>(core);
  VibThread->Resume();
  return true;
}

void RequestCaptureStop() {
  if (BalThread) BalThread->Terminate();
  if (VibThread) VibThread->Terminate();
}

// The wait serves the window between short looks at the thread, so the
// window repaints while a transfer finishes; user input waits, so no second
// command starts inside the one that waits. A capture already left to end
// on its own is not waited for again, nor reported again.
bool StopCaptureAndWait(const TCaptureStopWait& wait) {
  if (CaptureThreadRuns() && !StopDeadline)
    StopDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(CaptureStopLimitMs);
  bool stopping = false;
  while (CaptureThreadRuns()) {
    RequestCaptureStop();
    if (std::chrono::steady_clock::now() > *StopDeadline) {
      if (wait.ReportLeft && !CaptureLeft) wait.ReportLeft();
      CaptureLeft = true;
      return false;
    }
    if (!stopping && wait.ShowStopping) wait.ShowStopping();
    stopping = true;
    rtl::CheckSynchronize(10);
    if (wait.ServeWindow) wait.ServeWindow();
  }
  return true;
}

bool CaptureThreadRuns() { return BalThread || VibThread; }

// --- device side of the cycle and the buffers it fills ----------------------

namespace {

// Grows a sample buffer to at least `length` zeroed samples; never shrinks,
// so a buffer is never too short for the capture that is read into it.
void Reserve(std::vector<int32_t>& buffer, int32_t length) {
  if (length > 0 && buffer.size() < static_cast<size_t>(length)) buffer.resize(length, 0);
}

bool Holds(const std::vector<int32_t>& buffer, int32_t length) {
  return buffer.size() >= static_cast<size_t>(std::max(length, 0));
}

}  // namespace

void TZelto::ConfigureCapture(uint8_t mode) {
  DriverApi.CPMode(mode);
  DriverApi.CPBuffer(BuffLength);
  DriverApi.CPGain(GainA, GainB);
  DriverApi.CPSampling(SamplingRate);
  DriverApi.CPSet();
  IncomingConditions = DeviceConditions();
}

// A buffer shorter than BuffLength (not prepared by the start) is not read
// into: the driver writes BuffLength samples.
// Every device model's read-out passes here, so a balancing capture's window
// is checked here once: a device that answers the parameter commands with
// wrong content must not give a reading.
bool TZelto::ReadCapture(uint8_t mode, TCaptureWindow& window) {
  IncomingRead = false;
  const bool twoChannels = Type == 1;
  if (mode == 0) {
    if (BalancingStep < 0 || BalancingStep >= static_cast<int32_t>(Captures.size())) return true;
    DriverApi.GetCaptureParams(&window.Start, &window.End, &window.T);
    if (!CaptureWindowPossible(window, BuffLength)) return false;
  }
  if (!Holds(Incoming.DataA, BuffLength) || (twoChannels && !Holds(Incoming.DataB, BuffLength))) return true;
  DriverApi.GetDataA(Incoming.DataA.data(), twoChannels ? Incoming.DataB.data() : nullptr);
  Incoming.T = window.T;
  Incoming.Start = window.Start;
  Incoming.End = window.End;
  // The first sample of a free-running capture is stale; repeat the second.
  if (mode == 1)
    for (std::vector<int32_t>* live : {&Incoming.DataA, &Incoming.DataB})
      if (live->size() >= 2) (*live)[0] = (*live)[1];
  IncomingRead = true;
  return true;
}

// The windows read the run's and the live buffers only in the hand-overs
// and while no capture runs, so swapping them here is safe; the window
// changes with the samples under ResultsLock, for the readers of T, Start
// and End.
void TZelto::TakeCapture(uint8_t mode) {
  if (!IncomingRead) return;
  IncomingRead = false;
  const bool twoChannels = Type == 1;
  // A read-out without a configured capture (a test's) takes the device's.
  TRecordConditions conditions = IncomingConditions.Holds() ? std::exchange(IncomingConditions, {}) : DeviceConditions();
  if (mode == 1) {
    rtl::TCriticalSectionGuard guard(ResultsLock);
    LiveDataA.swap(Incoming.DataA);
    if (twoChannels) LiveDataB.swap(Incoming.DataB);
    LiveConditions = std::move(conditions);
    return;
  }
  if (BalancingStep < 0 || BalancingStep >= static_cast<int32_t>(Captures.size())) return;
  CaptureRecord& run = Captures[BalancingStep];
  {
    rtl::TCriticalSectionGuard guard(ResultsLock);
    run.DataA.swap(Incoming.DataA);
    if (twoChannels) run.DataB.swap(Incoming.DataB);
    run.Conditions = std::move(conditions);
    StoreCaptureWindow(run, Incoming.T, Incoming.Start, Incoming.End);
  }
  // A run measured for the first time handed over no buffer of its own:
  // Incoming grows again for the next read-out. Only the capture thread
  // uses Incoming, so this needs no window to wait.
  Reserve(Incoming.DataA, BuffLength);
  if (twoChannels) Reserve(Incoming.DataB, BuffLength);
}

void TZelto::StoreCaptureWindow(CaptureRecord& run, int32_t t, int32_t start, int32_t end) {
  rtl::TCriticalSectionGuard guard(ResultsLock);
  run.T = t;
  run.Start = start;
  run.End = end;
}

void TZelto::PrepareLiveBuffers() {
  const int32_t length = std::max(RamSize, BuffLength);
  for (std::vector<int32_t>* buffer : {&LiveDataA, &Incoming.DataA}) Reserve(*buffer, length);
  if (Type == 1)
    for (std::vector<int32_t>* buffer : {&LiveDataB, &Incoming.DataB}) Reserve(*buffer, length);
}

// The run's own buffers are left as they are: it gets samples only from a
// counted capture (TakeCapture), so a run whose captures never counted stays
// without any, and is shown and stored as not measured.
void TZelto::PrepareRunBuffers() {
  if (BalancingStep < 0 || BalancingStep >= static_cast<int32_t>(Captures.size())) return;
  Reserve(Incoming.DataA, BuffLength);
  if (Type == 1) Reserve(Incoming.DataB, BuffLength);
  const auto lock = LockSignalsForWriting();
  const size_t length = static_cast<size_t>(std::max(BuffLength, 0));
  if (SignalA.size() != length) {
    SignalA.assign(length, 0.0);
    SignalOriginA = {};
  }
  if (Type == 1 && SignalB.size() != length) {
    SignalB.assign(length, 0.0);
    SignalOriginB = {};
  }
}
