#pragma once
// Windowed direct DFT over the revolution-synchronous window of a run (the
// spectrum over the cursor window). Quadratic, so it reports progress and
// can be stopped between samples.

#include <atomic>
#include <complex>
#include <cstdint>
#include <functional>

struct TCursorDftJob {
  const double* SamplesA = nullptr;  // n samples of channel A, required
  const double* SamplesB = nullptr;  // n samples of channel B, or null
  int32_t N = 0;                     // samples in the window = bins computed
  uint8_t WindowType = 0;
  std::complex<double>* BinsA = nullptr;  // room for MaxBins values
  std::complex<double>* BinsB = nullptr;  // with SamplesB: room for MaxBins values
  int32_t MaxBins = 0;                    // no bin at or above it is written
};

// Computes X_k = (1/N) sum w(m) x(m) e^(-j 2 pi k m / N) for k = 0 ...
// min(N, MaxBins) - 1 into the bins. The sums are kept in single precision,
// as the spectrum view has always shown them. Before every bin `progress`
// (when given) receives k x 100 / N; `stopped` is polled while the bins are
// summed and ends the computation without writing the bin under way.
// Returns the number of bins written.
int32_t CursorWindowDft(const TCursorDftJob& job, const std::function<bool()>& stopped,
                        std::atomic<float>* progress);
