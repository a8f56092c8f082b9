#pragma once
// Windowed DFT over the revolution-synchronous window of a run (the spectrum
// over the cursor window), of any length, computed as a real-input FFT of
// that length (fftplans.h): N log N for every N, primes included. It reports
// progress and can be stopped between its steps.

#include <atomic>
#include <complex>
#include <cstdint>
#include <functional>

class TRealFft;

struct TCursorDftJob {
  const double* SamplesA = nullptr;  // n samples of channel A, required
  const double* SamplesB = nullptr;  // n samples of channel B, or null
  int32_t N = 0;                     // samples in the window = bins computed
  uint8_t WindowType = 0;
  std::complex<double>* BinsA = nullptr;  // room for MaxBins values
  std::complex<double>* BinsB = nullptr;  // with SamplesB: room for MaxBins values
  int32_t MaxBins = 0;                    // no bin at or above it is written
  // The in-place RealFft(N) (fftplans.h), made beforehand where no plan may
  // be made meanwhile; null: the transform is looked up or planned here.
  const TRealFft* Fft = nullptr;
};

// Computes X_k = (1/N) sum w(m) (x(m) - mean) e^(-j 2 pi k m / N) for
// k = 1 ... min(N, MaxBins) - 1 and X_0 = mean x the window's coherent gain
// (the mean windowed apart, signalwindows.h) into the bins, in double
// precision. `progress` (when given) receives 0 at the start and the
// percentage of channels transformed after each; `stopped` is polled between
// the steps, and a stop writes no bin at all (both channels or neither).
// Returns the number of bins written.
int32_t CursorWindowDft(const TCursorDftJob& job, const std::function<bool()>& stopped,
                        std::atomic<float>* progress);
