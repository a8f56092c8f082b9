#include "cursordft.h"

#include "signalwindows.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Samples between two polls of the stop request: often enough to react
// within microseconds, rare enough to cost nothing.
constexpr int32_t kPollInterval = 1024;

struct TPhasors {
  std::vector<double> Cos, Sin;
};

// e^(-j 2 pi m / N) for m < N: the phase n k 2 pi / N of every product is
// one of these, found by its index n k mod N, so no sine is evaluated per
// product.
TPhasors MakePhasors(int32_t n) {
  TPhasors p;
  p.Cos.resize(n);
  p.Sin.resize(n);
  for (int32_t m = 0; m < n; ++m) {
    const double a = -2 * std::numbers::pi * m / n;
    p.Cos[m] = std::cos(a);
    p.Sin[m] = std::sin(a);
  }
  return p;
}

std::vector<double> Weighted(const double* x, int32_t n, uint8_t windowType) {
  std::vector<double> w(n);
  for (int32_t m = 0; m < n; ++m) w[m] = x[m] * WindowValue(windowType, n, m);
  return w;
}

struct TBinSums {
  float ReA = 0, ImA = 0, ReB = 0, ImB = 0;
};

// Sums one bin; false when stopped before the bin was complete.
bool SumBin(int32_t k, const TPhasors& p, const std::vector<double>& a, const std::vector<double>& b,
            const std::function<bool()>& stopped, TBinSums& s) {
  const int32_t n = static_cast<int32_t>(a.size());
  const bool twoChannels = !b.empty();
  int64_t index = 0;
  for (int32_t m = 0; m < n; ++m) {
    if (m % kPollInterval == 0 && stopped && stopped()) return false;
    const double c = p.Cos[index];
    const double si = p.Sin[index];
    s.ReA = static_cast<float>(s.ReA + a[m] * c);
    s.ImA = static_cast<float>(s.ImA + a[m] * si);
    if (twoChannels) {
      s.ReB = static_cast<float>(s.ReB + b[m] * c);
      s.ImB = static_cast<float>(s.ImB + b[m] * si);
    }
    index += k;
    if (index >= n) index -= n;
  }
  return true;
}

}  // namespace

int32_t CursorWindowDft(const TCursorDftJob& job, const std::function<bool()>& stopped,
                        std::atomic<float>* progress) {
  const int32_t n = job.N;
  if (n < 1 || !job.SamplesA || !job.BinsA) return 0;
  const bool twoChannels = job.SamplesB && job.BinsB;
  const TPhasors phasors = MakePhasors(n);
  const std::vector<double> a = Weighted(job.SamplesA, n, job.WindowType);
  const std::vector<double> b = twoChannels ? Weighted(job.SamplesB, n, job.WindowType) : std::vector<double>();
  const int32_t bins = std::min(n, job.MaxBins);
  for (int32_t k = 0; k < bins; ++k) {
    if (progress) progress->store(static_cast<float>(k) * 100.0f / static_cast<float>(n));
    TBinSums s;
    if (!SumBin(k, phasors, a, b, stopped, s)) return k;
    job.BinsA[k] = {static_cast<double>(s.ReA) / n, static_cast<double>(s.ImA) / n};
    if (twoChannels) job.BinsB[k] = {static_cast<double>(s.ReB) / n, static_cast<double>(s.ImB) / n};
  }
  return bins;
}
