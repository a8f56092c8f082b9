#pragma once
// Forward real-input FFTs of any length through FFTW, planned once per length
// and kept. FFTW's planner is not thread-safe, so every plan is made and
// destroyed under one lock; running a kept plan on other arrays is safe from
// any number of threads at once. A plan is made by the thread that first asks
// for its length (in the program the spectrum thread, never the user-interface
// thread), with FFTW_ESTIMATE: it takes milliseconds where measuring takes
// seconds to minutes at the lengths of a capture.

#include <cstddef>
#include <cstdint>
#include <memory>

struct fftw_plan_s;

// Where a transform leaves its bins: over its input, or in a separate array
// (the input is then left as it was).
enum class TFftPlacement { InPlace, OutOfPlace };

// A transform of one length n >= 1.
class TRealFft {
 public:
  TRealFft(fftw_plan_s* plan, int32_t n, TFftPlacement placement) : Plan(plan), N(n), Where(placement) {}
  ~TRealFft();
  TRealFft(const TRealFft&) = delete;
  TRealFft& operator=(const TRealFft&) = delete;

  int32_t Length() const { return N; }
  TFftPlacement Placement() const { return Where; }
  // The n real values data[0 .. n - 1] become the unscaled bins
  // X_k = sum x_m e^(-j 2 pi k m / n), k = 0 ... n / 2, real and imaginary
  // part interleaved in data[0 .. 2 (n / 2) + 1]. An in-place transform only.
  // `data` must be aligned as FftScratch gives (FftAligned).
  void Transform(double* data) const;
  // The same bins of in[0 .. n - 1] into out[0 .. 2 (n / 2) + 1], in left
  // as it was. An out-of-place transform only; both arrays FftAligned.
  void Transform(const double* in, double* out) const;

 private:
  fftw_plan_s* Plan;
  int32_t N;
  TFftPlacement Where;
};

// The kept transform of length n and that placement; null for n < 1. The
// most recently used transforms are kept; one still held by a caller
// outlives its eviction.
std::shared_ptr<const TRealFft> RealFft(int32_t n, TFftPlacement placement = TFftPlacement::InPlace);

// True when `data` has the alignment the plans were made for, that of
// FftScratch: a kept plan runs only on arrays aligned like those.
bool FftAligned(const double* data);

// Doubles a real transform of length n works on in place: n + 2 for even n,
// n + 1 for odd n.
size_t RealFftWorkSize(int32_t n);

// Working array `slot` (0, 1 or 2) of the calling thread with room for `count`
// doubles, aligned as FFTW's vector code needs it. Kept for the thread's
// next transform, so a spectrum of the same length again allocates nothing.
// Null when the memory cannot be had.
double* FftScratch(int slot, size_t count);
