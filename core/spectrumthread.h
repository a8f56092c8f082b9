#pragma once
// The spectrum thread: sleeps on the event "VibCalculateSpectrum" and, each
// time it is set, computes the spectra of SignalA/SignalB into
// SpectrumA/SpectrumB, either as a windowed FFT of the whole buffer or as a
// windowed DFT over the current run's revolution-synchronous window, and
// records the gains of the window with them (SpectrumWindowGains).
//
// The window that shows the spectra never waits for the thread, which runs
// below its priority: closing it lets the thread go (LetGo), and the thread
// ends on its own at its next stop check, freeing itself. Until it has, the
// core's spectra and flags are still its own: a thread started meanwhile
// (the window shown again) waits on its own side for its predecessors to
// end before it touches them, and the core, when it is freed, waits for
// every thread that uses it (TSpectrumThreads).

#include "thread.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class TRealFft;
class TZelto;
namespace rtl {
class TEvent;
}

// The spectrum threads of one core that have not ended yet. Shared by the
// core and its threads, so a thread let go can say it is done after the
// window that let it go has gone.
class TSpectrumThreads {
 public:
  void Enter();
  void Leave();
  // Wakes the threads waiting below to look at their terminate request.
  void Wake();
  // Blocks until the caller is the only thread left, or `terminated` turns
  // true (false then); a thread asks it before it touches the core.
  // `waited`: another thread was still there.
  bool AwaitAlone(const std::function<bool()>& terminated, bool& waited);
  // Blocks until `terminated` turns true (after Wake).
  void AwaitTerminated(const std::function<bool()>& terminated);
  // Blocks until no thread is left; on the main thread it serves the
  // threads' Synchronize meanwhile, so a hand-over under way can end.
  void AwaitNone();

 private:
  std::mutex Lock;
  std::condition_variable Changed;
  int Live = 0;
};

class TSpectrumThread : public rtl::TThread {
 public:
  // Joins the core's spectrum threads. SpectrumA/SpectrumB get RamSize
  // zeroed bins each when the thread starts, once every thread started
  // before it has ended.
  TSpectrumThread(TZelto& core, bool createSuspended);
  // An owner that deletes the thread ends it first (terminate request,
  // event, wait); a thread that frees itself has ended already.
  ~TSpectrumThread() override;

  // Stops a computation under way at its next test, without hand-over.
  void AbortCalculation();
  // Ends the thread without waiting for it (FreeOnTerminate set before it
  // was resumed): a computation under way stops at its next test, hands
  // nothing over, frees the spectra and the thread object. The caller
  // forgets the thread.
  void LetGo();

  std::atomic<uint8_t> AbortRequest{0};

 protected:
  void Execute() override;

 private:
  // Which spectrum the settings ask for and its length; 0: none can be
  // computed from the signals as they are.
  struct TTransform {
    bool CursorWindow = false;
    int32_t N = 0;
    bool operator==(const TTransform&) const = default;
  };
  void Serve(rtl::TEvent& event);
  void TakeSpectra();
  void FreeSpectra();
  TTransform TransformWanted() const;
  // True when a transform was computed to its end and handed over is due.
  bool Compute();
  // With SignalLock held. False when nothing was transformed.
  bool CursorWindowSpectrum(const TRealFft& fft);
  bool WholeBufferSpectrum(const TRealFft& fft);
  bool Stopped() const;
  void SyncShowSpectrum();

  TZelto& Core;
  const std::shared_ptr<TSpectrumThreads> Threads;
  const size_t Bins;  // RamSize when the thread was made
};

// The one spectrum thread while the spectrum window is open, else null.
// Set, cleared and read on the user-interface thread only.
extern TSpectrumThread* SpectrumThread;

// Blocks until every spectrum thread of `core` has ended (the core's end).
void AwaitSpectrumThreads(TZelto& core);
