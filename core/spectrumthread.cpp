#include "spectrumthread.h"

#include "cursordft.h"
#include "events.h"
#include "fft.h"
#include "fftplans.h"
#include "signalwindows.h"
#include "workspaceservices.h"
#include "zelto.h"

#include <algorithm>
#include <memory>
#include <vector>

TSpectrumThread* SpectrumThread = nullptr;

namespace {

// Windowed FFT of fft.Length() samples into at most `bins` bins of out,
// the mean windowed apart (signalwindows.h); false when out was left as it
// was.
bool TransformChannel(const std::vector<double>& samples, const TRealFft& fft, uint8_t windowType,
                      std::vector<std::complex<double>>& out) {
  const int32_t n = fft.Length();
  const std::vector<double>& window = WindowTable(windowType, n);
  std::vector<double> re(n), im(n, 0.0);
  const double mean = WindowWithoutMean(samples.data(), window, re.data());
  if (!CalcFFT(fft, re.data(), im.data())) return false;
  const int32_t bins = std::min<int32_t>(n, static_cast<int32_t>(out.size()));
  for (int32_t i = 0; i < bins; ++i) out[i] = {re[i], im[i]};
  if (bins > 0) out[0] = MeanBin(mean, WindowTableGains(windowType, n));
  return true;
}

// The spectrum of n samples of a signal from `signal`.
TSignalOrigin TransformOrigin(const TSignalOrigin& signal, int32_t n) {
  return signal.Holds() ? TSignalOrigin{signal.Record, n, signal.SampleRate, signal.Job} : TSignalOrigin{};
}

}  // namespace

TSpectrumThread::TSpectrumThread(TZelto& core, bool createSuspended) : rtl::TThread(createSuspended), Core(core) {
  const size_t bins = static_cast<size_t>(std::max(core.LongestRecord(), 0));
  Core.SpectrumA.assign(bins, {});
  Core.SpectrumB.assign(bins, {});
  Core.SpectrumOriginA = Core.SpectrumOriginB = {};
  if (!createSuspended) Resume();
}

TSpectrumThread::~TSpectrumThread() {
  Terminate();
  if (Core.SpectrumEvent) Core.SpectrumEvent->SetEvent();
  WaitFor();
  std::vector<std::complex<double>>().swap(Core.SpectrumA);
  std::vector<std::complex<double>>().swap(Core.SpectrumB);
  Core.SpectrumOriginA = Core.SpectrumOriginB = {};
}

void TSpectrumThread::AbortCalculation() {
  AbortRequest = 1;
  Core.SpectrumBusy = 0;
}

// A thread that waits for the signals stops the computation as an abort
// does: its own abort request may have been cleared by this thread's
// wake-up, and it must not wait for a whole computation.
bool TSpectrumThread::Stopped() const { return AbortRequest || Core.SignalWaiters > 0 || Terminated(); }

void TSpectrumThread::Execute() {
  const auto event = Core.SpectrumEvent;
  if (!event) return;
  for (;;) {
    Core.SpectrumProgress = 0;
    event->WaitFor(rtl::INFINITE_WAIT);
    if (Terminated()) return;
    // An abort aimed at an earlier computation must not cancel this one.
    // Clearing it here loses nothing: the commands that abort without
    // waiting do so only while SpectrumBusy is set (below), and a thread
    // that waits for the signals stops this computation through
    // SignalWaiters, whatever became of its request.
    AbortRequest = 0;
    Core.SpectrumReady = 0;
    Core.SpectrumBusy = 1;
    const bool complete = Compute();
    Core.SpectrumBusy = 0;
    if (!complete || AbortRequest) {
      AbortRequest = 0;
      continue;
    }
    if (Terminated()) return;
    Synchronize([this] { SyncShowSpectrum(); });
  }
}

// The transform a computation needs, read under SignalLock.
TSpectrumThread::TTransform TSpectrumThread::TransformWanted() const {
  if (!Core.AsyncMode && Core.SpectrumInWindow) {
    const int32_t start = Core.SignalStart, end = Core.SignalEnd;
    const bool inside = start >= 0 && start < end && end <= static_cast<int32_t>(Core.SignalA.size());
    return {true, inside ? end - start : 0};
  }
  // The record's own length, whatever the capture length is now.
  const int32_t n = Core.SignalOriginA.Holds() ? Core.SignalOriginA.Length : Core.BuffLength;
  return {false, IsPowerOfTwo(n) ? n : 0};
}

// The plan is awaited (or found) with SignalLock free, and a stop ends the
// wait at once (fftplans.h): planning can take hundreds of milliseconds, and
// no window command may wait for it. Then the lock is held for the whole
// computation, which a stop ends between its steps (a stand-in transform's
// included): writers abort first and then wait for it, so no buffer changes
// or disappears under the transform. Settings changed while the plan was
// made send it round again.
// False when it was stopped before it could finish (no hand-over then).
bool TSpectrumThread::Compute() {
  const auto stopped = [this] { return Stopped(); };
  for (;;) {
    TTransform wanted;
    {
      std::lock_guard<std::mutex> lock(Core.SignalLock);
      wanted = TransformWanted();
    }
    // Null when stopped while waiting for the planner or making a stand-in,
    // or when planning failed: nothing is computed then.
    std::shared_ptr<const TRealFft> fft;
    if (wanted.N > 0)
      fft = wanted.CursorWindow ? RealFft(wanted.N, TFftPlacement::InPlace, stopped) : FftPlanFor(wanted.N, stopped);
    std::lock_guard<std::mutex> lock(Core.SignalLock);
    if (TransformWanted() != wanted) {
      if (Stopped()) return false;
      continue;
    }
    if (wanted.CursorWindow)
      CursorWindowSpectrum(fft.get());
    else
      WholeBufferSpectrum(fft.get());
    return !Stopped();
  }
}

void TSpectrumThread::CursorWindowSpectrum(const TRealFft* fft) {
  const int32_t start = Core.SignalStart, end = Core.SignalEnd;
  if (!fft) return;
  const int32_t n = end - start;
  const bool twoChannels = Core.Type == 1 && static_cast<int32_t>(Core.SignalB.size()) >= end;
  TCursorDftJob job;
  job.SamplesA = Core.SignalA.data() + start;
  job.SamplesB = twoChannels ? Core.SignalB.data() + start : nullptr;
  job.N = n;
  job.WindowType = Core.WindowType;
  job.BinsA = Core.SpectrumA.data();
  job.BinsB = twoChannels ? Core.SpectrumB.data() : nullptr;
  job.MaxBins = static_cast<int32_t>(std::min(Core.SpectrumA.size(), Core.SpectrumB.size()));
  job.Fft = fft;
  if (CursorWindowDft(job, [this] { return Stopped(); }, &Core.SpectrumProgress) > 0) {
    Core.SpectrumOriginA = TransformOrigin(Core.SignalOriginA, n);
    if (twoChannels) Core.SpectrumOriginB = TransformOrigin(Core.SignalOriginB, n);
    Core.SpectrumWindowGains = WindowTableGains(job.WindowType, n);
  }
  Core.SpectrumReady = 1;
}

// A stop is asked while the window's weights are made, between the
// channels, and by a stand-in transform between its steps: at a million
// samples each takes tens of milliseconds, and a window command that stops
// the thread waits for none of that.
void TSpectrumThread::WholeBufferSpectrum(const TRealFft* fft) {
  if (!fft) return;
  const int32_t n = fft->Length();
  if (!PrepareWindowTable(Core.WindowType, n, [this] { return Stopped(); })) return;
  const auto holds = [n](const std::vector<double>& s) { return static_cast<int32_t>(s.size()) >= n; };
  bool written = false;
  if (Core.Type == 1) {
    if (holds(Core.SignalA) && holds(Core.SignalB)) {
      if (TransformChannel(Core.SignalA, *fft, Core.WindowType, Core.SpectrumA)) {
        Core.SpectrumOriginA = TransformOrigin(Core.SignalOriginA, n);
        written = true;
      }
      if (Stopped()) return;
      if (TransformChannel(Core.SignalB, *fft, Core.WindowType, Core.SpectrumB)) {
        Core.SpectrumOriginB = TransformOrigin(Core.SignalOriginB, n);
        written = true;
      }
    }
  } else if (holds(Core.SignalA) && TransformChannel(Core.SignalA, *fft, Core.WindowType, Core.SpectrumA)) {
    Core.SpectrumOriginA = TransformOrigin(Core.SignalOriginA, n);
    written = true;
  }
  if (written) Core.SpectrumWindowGains = WindowTableGains(Core.WindowType, n);
  Core.SpectrumReady = 1;
}

void TSpectrumThread::SyncShowSpectrum() {
  TWindowServices& windows = WindowServices();
  if (TSpectrumViewServices* view = windows.SpectrumView; view && view->Visible) {
    view->SolidA = true;
    view->SolidB = true;
    view->PlotSpectrum(false);
    view->RefreshInfoPanel();
  }
  if (!Core.SpectrumInWindow) return;
  if (TBalancingServices* workspace = windows.Balancing) workspace->ShowNoError();
}

double TZelto::CalcWindowValue(int32_t n, double i) const { return WindowValue(WindowType, n, i); }
