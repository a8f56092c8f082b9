#pragma once
// A forward real-input FFT of any length that needs no planner: radix 2 for
// a power of two, Bluestein's chirp (through a power-of-two convolution)
// for every other length. Slower than a planned transform, it stands in for
// one while FFTW's planner is busy with another length, so that no spectrum
// waits for a plan it does not use. At a million values making and running
// it take tens of milliseconds, so both ask the caller's stop between their
// steps, the preparation before it has any of its tables and while it fills
// them: a caller told to stop is rid of it within a frame.

#include <complex>
#include <cstdint>
#include <functional>
#include <vector>

class TPlainFft {
 public:
  // Prepares the twiddles (and the chirp) of length n >= 1 and the working
  // memory: std::bad_alloc here, never in Transform. `stopped` (may be
  // empty) is asked between the steps of the preparation and of every
  // transform; once it has said true, the preparation is given up and
  // Transform refuses. It is kept: the stand-in lives no longer than what
  // `stopped` refers to.
  explicit TPlainFft(int32_t n, std::function<bool()> stopped = {});

  int32_t Length() const { return N; }
  // False when the preparation was given up: every Transform refuses.
  bool Prepared() const { return Ready; }
  // The unscaled bins X_k = sum x_m e^(-j 2 pi k m / n), k = 0 ... n / 2, of
  // in[0 .. n - 1], real and imaginary part interleaved in
  // out[0 .. 2 (n / 2) + 1]. out may be in (in place). One thread at a time:
  // a stand-in belongs to the caller it was made for. False when the caller
  // was stopped before the bins were complete: out then holds no transform.
  bool Transform(const double* in, double* out) const;

 private:
  using TComplex = std::complex<double>;
  bool Stopped() const;
  // Fills the empty `table` with value(k), k = 0 ... count - 1; false when
  // stopped first.
  template <typename TValue>
  bool Extend(std::vector<TComplex>& table, int64_t count, const TValue& value) const;
  // In-place radix-2 transform of x (a power of two, at most 2
  // Twiddles.size() values), forward (e^-j) or inverse without the 1/M;
  // false when stopped between its stages.
  bool Radix2(std::vector<TComplex>& x, bool inverse) const;
  bool HalfLengthTransform(const double* in, double* out) const;
  bool ChirpTransform(const double* in, double* out) const;

  int32_t N;
  std::function<bool()> StopAsked;
  bool Ready = false;
  std::vector<TComplex> Twiddles;  // e^(-j 2 pi k / M), k < M / 2 (M = N for a power of two)
  std::vector<TComplex> Chirp;     // e^(-j pi m^2 / N), m < N (Bluestein only)
  std::vector<TComplex> Kernel;    // transform of the conjugate chirp (Bluestein only)
  mutable std::vector<TComplex> Work;
};
