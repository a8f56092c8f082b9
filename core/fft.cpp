#include "fft.h"

#include "fftplans.h"

#include <cstring>

namespace {

// Two doubles at a time in the compiler's vector registers: done one value
// at a time, the passes around the transform (scaling, splitting into real
// and imaginary parts, the mirrored half) cost as much as the transform.
using TPair = double __attribute__((vector_size(16)));
using TPairBits = uint64_t __attribute__((vector_size(16)));

TPair Load(const double* p) {
  TPair v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void Store(double* p, TPair v) { std::memcpy(p, &v, sizeof v); }

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// work := x / n.
void LoadScaled(int32_t n, const double* x, double* work) {
  const double scale = 1.0 / n;
  const TPair s = {scale, scale};
  int32_t i = 0;
  for (; i + 1 < n; i += 2) Store(work + i, Load(x + i) * s);
  for (; i < n; ++i) work[i] = x[i] * scale;
}

// work := re / n in the same pass that tells whether every im is +0.0, the
// imaginary part of a real signal. A -0.0 merely takes the general path.
bool LoadScaledReal(int32_t n, const double* re, const double* im, double* work) {
  const double scale = 1.0 / n;
  const TPair s = {scale, scale};
  TPairBits any = {0, 0};
  int32_t i = 0;
  for (; i + 1 < n; i += 2) {
    Store(work + i, Load(re + i) * s);
    TPairBits bits;
    std::memcpy(&bits, im + i, sizeof bits);
    any |= bits;
  }
  uint64_t rest = any[0] | any[1];
  for (; i < n; ++i) {
    work[i] = re[i] * scale;
    rest |= Bits(im[i]);
  }
  return rest == 0;
}

// The bins of a real signal: X_k as the transform left them (interleaved)
// for k <= n / 2, and the mirror X_k = conj(X_(n - k)) above.
void StoreRealBins(int32_t n, const double* work, double* re, double* im) {
  const int32_t half = n / 2;
  int32_t k = 0;
  for (; k + 1 <= half; k += 2) {
    const TPair a = Load(work + 2 * k), b = Load(work + 2 * k + 2);
    Store(re + k, __builtin_shufflevector(a, b, 0, 2));
    Store(im + k, __builtin_shufflevector(a, b, 1, 3));
  }
  for (; k <= half; ++k) {
    re[k] = work[2 * k];
    im[k] = work[2 * k + 1];
  }
  for (k = half + 1; k + 1 < n; k += 2) {
    Store(re + k, __builtin_shufflevector(Load(re + n - k - 1), Load(re + n - k - 1), 1, 0));
    Store(im + k, -__builtin_shufflevector(Load(im + n - k - 1), Load(im + n - k - 1), 1, 0));
  }
  for (; k < n; ++k) {
    re[k] = re[n - k];
    im[k] = -im[n - k];
  }
}

// X = FFT(re) + j FFT(im), from the real transforms a of re and b of im.
void StoreComplexBins(int32_t n, const double* a, const double* b, double* re, double* im) {
  const int32_t half = n / 2;
  for (int32_t k = 0; k < n; ++k) {
    const bool mirrored = k > half;
    const int32_t m = mirrored ? n - k : k;
    const double sign = mirrored ? -1.0 : 1.0;
    re[k] = a[2 * m] - sign * b[2 * m + 1];
    im[k] = sign * a[2 * m + 1] + b[2 * m];
  }
}

}  // namespace

bool IsPowerOfTwo(int64_t n) { return n > 0 && (n & (n - 1)) == 0; }

bool CalcFFT(int32_t n, double* re, double* im) {
  if (!IsPowerOfTwo(n)) return false;
  const auto fft = RealFft(n);
  const size_t size = RealFftWorkSize(n);
  double* a = FftScratch(0, size);
  if (!fft || !a) return false;
  if (LoadScaledReal(n, re, im, a)) {
    fft->Transform(a);
    StoreRealBins(n, a, re, im);
    return true;
  }
  double* b = FftScratch(1, size);
  if (!b) return false;
  LoadScaled(n, im, b);
  fft->Transform(a);
  fft->Transform(b);
  StoreComplexBins(n, a, b, re, im);
  return true;
}
