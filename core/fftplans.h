#pragma once
// Forward real-input FFTs of any length through FFTW, planned once per length
// and kept. FFTW's planner is not thread-safe, so every plan is made and
// destroyed under one lock; running a kept plan on other arrays is safe from
// any number of threads at once. A plan is made by the thread that first asks
// for its length (in the program the spectrum thread, never the user-interface
// thread), with FFTW_ESTIMATE: for these in-place transforms it runs as fast
// as a measured plan, and it takes milliseconds where measuring takes seconds
// to minutes at the lengths of a capture.

#include <cstddef>
#include <cstdint>
#include <memory>

struct fftw_plan_s;

// An in-place transform of one length n >= 1.
class TRealFft {
 public:
  TRealFft(fftw_plan_s* plan, int32_t n) : Plan(plan), N(n) {}
  ~TRealFft();
  TRealFft(const TRealFft&) = delete;
  TRealFft& operator=(const TRealFft&) = delete;

  int32_t Length() const { return N; }
  // The n real values data[0 .. n - 1] become the unscaled bins
  // X_k = sum x_m e^(-j 2 pi k m / n), k = 0 ... n / 2, real and imaginary
  // part interleaved in data[0 .. 2 (n / 2) + 1]. `data` must come from
  // FftScratch, whose alignment the plan was made for.
  void Transform(double* data) const;

 private:
  fftw_plan_s* Plan;
  int32_t N;
};

// The kept transform of length n; null for n < 1. The most recently used
// lengths are kept; a transform still held by a caller outlives its eviction.
std::shared_ptr<const TRealFft> RealFft(int32_t n);

// Doubles a real transform of length n works on in place: n + 2 for even n,
// n + 1 for odd n.
size_t RealFftWorkSize(int32_t n);

// Working array `slot` (0 or 1) of the calling thread with room for `count`
// doubles, aligned as FFTW's vector code needs it. Kept for the thread's
// next transform, so a spectrum of the same length again allocates nothing.
// Null when the memory cannot be had.
double* FftScratch(int slot, size_t count);
