#pragma once
// The spectrum thread: sleeps on the event "VibCalculateSpectrum" and, each
// time it is set, computes the spectra of SignalA/SignalB into
// SpectrumA/SpectrumB, either as a windowed FFT of the whole buffer or as a
// windowed DFT over the current run's revolution-synchronous window, and
// records the gains of the window with them (SpectrumWindowGains).

#include "thread.h"

#include <atomic>
#include <cstdint>

class TRealFft;
class TZelto;

class TSpectrumThread : public rtl::TThread {
 public:
  // Allocates SpectrumA/SpectrumB with RamSize zeroed bins each.
  TSpectrumThread(TZelto& core, bool createSuspended);
  // Ends the thread (terminate request, event, wait) and frees the spectra.
  ~TSpectrumThread() override;

  // Stops a computation under way at its next test, without hand-over.
  void AbortCalculation();

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
  TTransform TransformWanted() const;
  bool Compute();
  // With SignalLock held. Null: nothing is computed (not marked ready).
  void CursorWindowSpectrum(const TRealFft* fft);
  void WholeBufferSpectrum(const TRealFft* fft);
  bool Stopped() const;
  void SyncShowSpectrum();

  TZelto& Core;
};

// The one spectrum thread while the spectrum window is open, else null.
// Set and cleared on the user-interface thread.
extern TSpectrumThread* SpectrumThread;
