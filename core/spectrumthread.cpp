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
  // Kept for the thread's next spectrum: megabytes at a million samples,
  // whose first touch alone takes tens of milliseconds with the signals held.
  thread_local std::vector<double> re, im;
  re.resize(static_cast<size_t>(n));
  im.assign(static_cast<size_t>(n), 0.0);
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

void TSpectrumThreads::Enter() {
  std::lock_guard<std::mutex> lock(Lock);
  ++Live;
}

void TSpectrumThreads::Leave() {
  {
    std::lock_guard<std::mutex> lock(Lock);
    --Live;
  }
  Changed.notify_all();
}

// The terminate request is made before the lock is taken here, and asked
// for under it: a waiter cannot miss it.
void TSpectrumThreads::Wake() {
  { std::lock_guard<std::mutex> lock(Lock); }
  Changed.notify_all();
}

bool TSpectrumThreads::AwaitAlone(const std::function<bool()>& terminated, bool& waited) {
  std::unique_lock<std::mutex> lock(Lock);
  waited = Live > 1;
  Changed.wait(lock, [&] { return Live == 1 || terminated(); });
  return !terminated();
}

void TSpectrumThreads::AwaitTerminated(const std::function<bool()>& terminated) {
  std::unique_lock<std::mutex> lock(Lock);
  Changed.wait(lock, terminated);
}

void TSpectrumThreads::AwaitNone() {
  if (!rtl::IsMainThread()) {
    std::unique_lock<std::mutex> lock(Lock);
    Changed.wait(lock, [this] { return Live == 0; });
    return;
  }
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(Lock);
      if (Live == 0) return;
    }
    rtl::CheckSynchronize(5);
  }
}

void AwaitSpectrumThreads(TZelto& core) {
  if (core.SpectrumThreads) core.SpectrumThreads->AwaitNone();
}

namespace {

std::shared_ptr<TSpectrumThreads> ThreadsOf(TZelto& core) {
  if (!core.SpectrumThreads) core.SpectrumThreads = std::make_shared<TSpectrumThreads>();
  return core.SpectrumThreads;
}

}  // namespace

TSpectrumThread::TSpectrumThread(TZelto& core, bool createSuspended)
    : rtl::TThread(createSuspended), Core(core), Threads(ThreadsOf(core)),
      Bins(static_cast<size_t>(std::max(core.LongestRecord(), 0))) {
  Threads->Enter();
  if (!createSuspended) Resume();
}

TSpectrumThread::~TSpectrumThread() {
  if (!Finished()) {
    Terminate();
    Threads->Wake();
    if (Core.SpectrumEvent) Core.SpectrumEvent->SetEvent();
    WaitFor();
  }
  Threads->Leave();
}

void TSpectrumThread::AbortCalculation() {
  AbortRequest = 1;
  Core.SpectrumBusy = 0;
}

// Once terminated, the thread may end and free itself at any moment: what
// the wake-ups need is taken first.
void TSpectrumThread::LetGo() {
  const std::shared_ptr<TSpectrumThreads> threads = Threads;
  const std::shared_ptr<rtl::TEvent> event = Core.SpectrumEvent;
  Terminate();
  threads->Wake();
  if (event) event->SetEvent();
}

// A thread that waits for the signals stops the computation as an abort
// does: its own abort request may have been cleared by this thread's
// wake-up, and it must not wait for a whole computation.
bool TSpectrumThread::Stopped() const { return AbortRequest || Core.SignalWaiters > 0 || Terminated(); }

// Nothing of the core is touched before the threads started earlier have
// ended: they still write the spectra and the flags. A set of the event
// meant for this thread may have woken one of them instead, so a thread
// that waited sets it again. A thread that cannot have its spectra, or has
// no event, computes nothing; it ends when its window lets it go, as every
// thread does: never earlier, since the window still holds it.
void TSpectrumThread::Execute() {
  const auto terminated = [this] { return Terminated(); };
  bool waited = false;
  if (!Threads->AwaitAlone(terminated, waited)) return;
  const auto event = Core.SpectrumEvent;
  try {
    TakeSpectra();
    if (waited && event) event->SetEvent();
    if (event) Serve(*event);
  } catch (const rtl::ESynchronizeCancelled&) {
    // The owner destroys the thread object.
  } catch (const std::exception&) {
    // No memory for the spectra or for a transform: no spectrum.
  }
  Threads->AwaitTerminated(terminated);
  FreeSpectra();
}

void TSpectrumThread::Serve(rtl::TEvent& event) {
  for (;;) {
    Core.SpectrumProgress = 0;
    if (Terminated()) return;
    event.WaitFor(rtl::INFINITE_WAIT);
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

// Made without the signals' lock, which only the exchange needs: writers
// wait for that lock.
void TSpectrumThread::TakeSpectra() {
  std::vector<std::complex<double>> a(Bins), b(Bins);
  std::lock_guard<std::mutex> lock(Core.SignalLock);
  Core.SpectrumA.swap(a);
  Core.SpectrumB.swap(b);
  // A load while this thread waited for an earlier one to end found no
  // spectra to grow; the records it brought may be longer than Bins.
  Core.FitSpectraToRecords();
  Core.SpectrumOriginA = Core.SpectrumOriginB = {};
}

void TSpectrumThread::FreeSpectra() {
  std::vector<std::complex<double>> a, b;
  std::lock_guard<std::mutex> lock(Core.SignalLock);
  Core.SpectrumA.swap(a);
  Core.SpectrumB.swap(b);
  Core.SpectrumOriginA = Core.SpectrumOriginB = {};
}

// The transform a computation needs, read under SignalLock.
TSpectrumThread::TTransform TSpectrumThread::TransformWanted() const {
  if (!Core.AsyncMode && Core.SpectrumInWindow) {
    const int32_t start = Core.SignalStart, end = Core.SignalEnd;
    const bool inside = start >= 0 && start < end && end <= static_cast<int32_t>(Core.SignalA.size());
    return {true, inside ? end - start : 0};
  }
  // The record's own length, whatever the capture length is now, and
  // whatever it is: a power of two or not.
  const int32_t n = Core.SignalOriginA.Holds() ? Core.SignalOriginA.Length : Core.BuffLength;
  return {false, std::max(n, 0)};
}

// The plan is awaited (or found) with SignalLock free, and a stop ends the
// wait at once (fftplans.h): planning can take hundreds of milliseconds, and
// no window command may wait for it. Then the lock is held for the whole
// computation, which a stop ends between its steps (a stand-in transform's
// included): writers abort first and then wait for it, so no buffer changes
// or disappears under the transform. Settings changed while the plan was
// made send it round again.
// False when no transform was made to its end: stopped, no transform for
// the settings, or none to be had. Nothing is handed over then.
bool TSpectrumThread::Compute() {
  const auto stopped = [this] { return Stopped(); };
  for (;;) {
    TTransform wanted;
    {
      std::lock_guard<std::mutex> lock(Core.SignalLock);
      wanted = TransformWanted();
    }
    std::shared_ptr<const TRealFft> fft;
    if (wanted.N > 0) {
      fft = wanted.CursorWindow ? RealFft(wanted.N, TFftPlacement::InPlace, stopped) : FftPlanFor(wanted.N, stopped);
      // Stopped while it waited for the planner or made a stand-in, or
      // refused: the stop may be over by now (a writer that waited for the
      // signals is done), but there is still no transform to compute.
      if (!fft) return false;
    }
    std::lock_guard<std::mutex> lock(Core.SignalLock);
    if (TransformWanted() != wanted) {
      if (Stopped()) return false;
      continue;
    }
    if (!fft) return false;
    const bool made = wanted.CursorWindow ? CursorWindowSpectrum(*fft) : WholeBufferSpectrum(*fft);
    return made && !Stopped();
  }
}

bool TSpectrumThread::CursorWindowSpectrum(const TRealFft& fft) {
  const int32_t start = Core.SignalStart, end = Core.SignalEnd;
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
  job.Fft = &fft;
  if (CursorWindowDft(job, [this] { return Stopped(); }, &Core.SpectrumProgress) > 0) {
    Core.SpectrumOriginA = TransformOrigin(Core.SignalOriginA, n);
    if (twoChannels) Core.SpectrumOriginB = TransformOrigin(Core.SignalOriginB, n);
    Core.SpectrumWindowGains = WindowTableGains(job.WindowType, n);
  }
  Core.SpectrumReady = 1;
  return true;
}

// A stop is asked while the window's weights are made, between the
// channels, and by a stand-in transform between its steps: at a million
// samples each takes tens of milliseconds, and a window command that stops
// the thread waits for none of that.
bool TSpectrumThread::WholeBufferSpectrum(const TRealFft& fft) {
  const int32_t n = fft.Length();
  if (!PrepareWindowTable(Core.WindowType, n, [this] { return Stopped(); })) return false;
  const auto holds = [n](const std::vector<double>& s) { return static_cast<int32_t>(s.size()) >= n; };
  bool written = false;
  if (Core.Type == 1) {
    if (holds(Core.SignalA) && holds(Core.SignalB)) {
      if (TransformChannel(Core.SignalA, fft, Core.WindowType, Core.SpectrumA)) {
        Core.SpectrumOriginA = TransformOrigin(Core.SignalOriginA, n);
        written = true;
      }
      if (Stopped()) return false;
      if (TransformChannel(Core.SignalB, fft, Core.WindowType, Core.SpectrumB)) {
        Core.SpectrumOriginB = TransformOrigin(Core.SignalOriginB, n);
        written = true;
      }
    }
  } else if (holds(Core.SignalA) && TransformChannel(Core.SignalA, fft, Core.WindowType, Core.SpectrumA)) {
    Core.SpectrumOriginA = TransformOrigin(Core.SignalOriginA, n);
    written = true;
  }
  if (written) Core.SpectrumWindowGains = WindowTableGains(Core.WindowType, n);
  Core.SpectrumReady = 1;
  return true;
}

// A thread let go meanwhile (the close runs on this thread) shows nothing:
// the window may show another thread's spectra by now.
void TSpectrumThread::SyncShowSpectrum() {
  if (Terminated()) return;
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
