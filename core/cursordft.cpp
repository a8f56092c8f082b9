#include "cursordft.h"

#include "fftplans.h"
#include "signalwindows.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

bool Stopped(const std::function<bool()>& stopped) { return stopped && stopped(); }

void Report(std::atomic<float>* progress, float percent) {
  if (progress) progress->store(percent);
}

// The samples of one channel windowed without their mean (signalwindows.h),
// transformed in place in `work`, their mean in `mean`; false when a
// stand-in transform was stopped.
bool TransformChannel(const TRealFft& fft, const double* x, const std::vector<double>& window, double* work,
                      double& mean) {
  mean = WindowWithoutMean(x, window, work);
  return fft.Transform(work);
}

// Bins 0 ... count - 1 scaled by 1 / n: the transform holds X_k for
// k <= n / 2, the bins above are the mirror conj(X_(n - k)) of a real signal.
// Bin 0 is the mean's (MeanBin).
void StoreBins(int32_t n, const double* work, std::complex<double> meanBin, int32_t count,
               std::complex<double>* bins) {
  const double scale = 1.0 / n;
  const int32_t half = n / 2;
  for (int32_t k = 0; k < count; ++k) {
    const int32_t m = k <= half ? k : n - k;
    const double imag = work[2 * m + 1] * scale;
    bins[k] = {work[2 * m] * scale, k <= half ? imag : -imag};
  }
  if (count > 0) bins[0] = meanBin;
}

}  // namespace

int32_t CursorWindowDft(const TCursorDftJob& job, const std::function<bool()>& stopped,
                        std::atomic<float>* progress) {
  const int32_t n = job.N;
  const int32_t bins = std::min(n, job.MaxBins);
  if (n < 1 || bins < 1 || !job.SamplesA || !job.BinsA) return 0;
  const bool twoChannels = job.SamplesB && job.BinsB;
  Report(progress, 0);
  if (Stopped(stopped)) return 0;
  std::shared_ptr<const TRealFft> planned;
  const TRealFft* fft = job.Fft;
  if (!fft) {
    planned = RealFft(n, TFftPlacement::InPlace, stopped);
    fft = planned.get();
  }
  if (!fft || fft->Length() != n || fft->Placement() != TFftPlacement::InPlace) return 0;
  const size_t size = RealFftWorkSize(n);
  double* a = FftScratch(0, size);
  double* b = twoChannels ? FftScratch(1, size) : nullptr;
  if (!a || (twoChannels && !b)) return 0;
  if (!PrepareWindowTable(job.WindowType, n, stopped)) return 0;
  const std::vector<double>& window = WindowTable(job.WindowType, n);
  const TWindowGains& gains = WindowTableGains(job.WindowType, n);
  const float channels = twoChannels ? 2.0f : 1.0f;
  if (Stopped(stopped)) return 0;
  double meanA = 0, meanB = 0;
  if (!TransformChannel(*fft, job.SamplesA, window, a, meanA)) return 0;
  Report(progress, 100.0f / channels);
  if (twoChannels) {
    if (Stopped(stopped) || !TransformChannel(*fft, job.SamplesB, window, b, meanB)) return 0;
    Report(progress, 100.0f);
  }
  // Both channels complete or none written: a stop leaves the last spectrum.
  if (Stopped(stopped)) return 0;
  StoreBins(n, a, MeanBin(meanA, gains), bins, job.BinsA);
  if (twoChannels) StoreBins(n, b, MeanBin(meanB, gains), bins, job.BinsB);
  return bins;
}
