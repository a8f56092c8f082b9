#pragma once
// A forward real-input FFT of any length that needs no planner: radix 2 for
// a power of two, Bluestein's chirp (through a power-of-two convolution)
// for every other length. Slower than a planned transform, it stands in for
// one while FFTW's planner is busy with another length, so that no spectrum
// waits for a plan it does not use.

#include <complex>
#include <cstdint>
#include <vector>

class TPlainFft {
 public:
  // Prepares the twiddles (and the chirp) of length n >= 1 and the working
  // memory: std::bad_alloc here, never in Transform.
  explicit TPlainFft(int32_t n);

  int32_t Length() const { return N; }
  // The unscaled bins X_k = sum x_m e^(-j 2 pi k m / n), k = 0 ... n / 2, of
  // in[0 .. n - 1], real and imaginary part interleaved in
  // out[0 .. 2 (n / 2) + 1]. out may be in (in place). One thread at a time:
  // a stand-in belongs to the caller it was made for.
  void Transform(const double* in, double* out) const;

 private:
  using TComplex = std::complex<double>;
  // In-place radix-2 transform of x (a power of two, at most 2
  // Twiddles.size() values), forward (e^-j) or inverse without the 1/M.
  void Radix2(std::vector<TComplex>& x, bool inverse) const;
  void HalfLengthTransform(const double* in, double* out) const;
  void ChirpTransform(const double* in, double* out) const;

  int32_t N;
  std::vector<TComplex> Twiddles;  // e^(-j 2 pi k / M), k < M / 2 (M = N for a power of two)
  std::vector<TComplex> Chirp;     // e^(-j pi m^2 / N), m < N (Bluestein only)
  std::vector<TComplex> Kernel;    // transform of the conjugate chirp (Bluestein only)
  mutable std::vector<TComplex> Work;
};
