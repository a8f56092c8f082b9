#include "spectrumthread.h"

#include "cursordft.h"
#include "events.h"
#include "fft.h"
#include "signalwindows.h"
#include "workspaceservices.h"
#include "zelto.h"

#include <algorithm>
#include <vector>

TSpectrumThread* SpectrumThread = nullptr;

namespace {

// Windowed FFT of n samples into at most `bins` bins of out; false when
// nothing was written.
bool TransformChannel(const std::vector<double>& samples, int32_t n, uint8_t windowType,
                      std::vector<std::complex<double>>& out) {
  const std::vector<double>& window = WindowTable(windowType, n);
  std::vector<double> re(n), im(n, 0.0);
  for (int32_t i = 0; i < n; ++i) re[i] = window[i] * samples[i];
  if (!CalcFFT(n, re.data(), im.data())) return false;
  const int32_t bins = std::min<int32_t>(n, static_cast<int32_t>(out.size()));
  for (int32_t i = 0; i < bins; ++i) out[i] = {re[i], im[i]};
  return true;
}

}  // namespace

TSpectrumThread::TSpectrumThread(TZelto& core, bool createSuspended) : rtl::TThread(createSuspended), Core(core) {
  const size_t bins = static_cast<size_t>(std::max(core.RamSize, 0));
  Core.SpectrumA.assign(bins, {});
  Core.SpectrumB.assign(bins, {});
  if (!createSuspended) Resume();
}

TSpectrumThread::~TSpectrumThread() {
  Terminate();
  if (Core.SpectrumEvent) Core.SpectrumEvent->SetEvent();
  WaitFor();
  std::vector<std::complex<double>>().swap(Core.SpectrumA);
  std::vector<std::complex<double>>().swap(Core.SpectrumB);
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

// Holds the signal lock for the whole computation: writers abort first and
// then wait for it, so no buffer changes or disappears under the transform.
// False when it was stopped before it could finish (no hand-over then).
bool TSpectrumThread::Compute() {
  std::lock_guard<std::mutex> lock(Core.SignalLock);
  if (!Core.AsyncMode && Core.SpectrumInWindow)
    CursorWindowSpectrum();
  else
    WholeBufferSpectrum();
  return !Stopped();
}

void TSpectrumThread::CursorWindowSpectrum() {
  const int32_t start = Core.SignalStart, end = Core.SignalEnd;
  const int32_t available = static_cast<int32_t>(Core.SignalA.size());
  if (start < 0 || start >= end || end > available) return;
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
  if (CursorWindowDft(job, [this] { return Stopped(); }, &Core.SpectrumProgress) > 0)
    Core.SpectrumWindowGains = WindowTableGains(job.WindowType, n);
  Core.SpectrumReady = 1;
}

void TSpectrumThread::WholeBufferSpectrum() {
  const int32_t n = Core.BuffLength;
  if (!IsPowerOfTwo(n)) return;
  const auto holds = [n](const std::vector<double>& s) { return static_cast<int32_t>(s.size()) >= n; };
  bool written = false;
  if (Core.Type == 1) {
    if (holds(Core.SignalA) && holds(Core.SignalB)) {
      written = TransformChannel(Core.SignalA, n, Core.WindowType, Core.SpectrumA);
      written = TransformChannel(Core.SignalB, n, Core.WindowType, Core.SpectrumB) || written;
    }
  } else if (holds(Core.SignalA)) {
    written = TransformChannel(Core.SignalA, n, Core.WindowType, Core.SpectrumA);
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
