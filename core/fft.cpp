#include "fft.h"

#include "fftplans.h"

#include <cstring>

namespace {

// Four doubles at a time in the compiler's vector registers: done one value
// at a time, the passes around the transform (scaling, splitting into real
// and imaginary parts, the mirrored half) cost as much as the transform. On
// x86-64 the two passes of every real signal are built twice, for AVX2 and
// for any processor, and the loader picks the one the processor runs. The
// vectors are moved with memcpy: plain unaligned loads and stores.
using TQuad = double __attribute__((vector_size(32)));
using TQuadBits = uint64_t __attribute__((vector_size(32)));
// ThreadSanitizer's runtime is not up yet when the loader runs the clones'
// chooser, so a build with it takes the pass for any processor.
#if defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define ZELTO_VECTOR_PASS __attribute__((target_clones("avx2", "default")))
#else
#define ZELTO_VECTOR_PASS
#endif

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// work := x / n.
void LoadScaled(int32_t n, const double* x, double* work) {
  const double scale = 1.0 / n;
  for (int32_t i = 0; i < n; ++i) work[i] = x[i] * scale;
}

// work := re / n in the same pass that tells whether every im is +0.0, the
// imaginary part of a real signal. A -0.0 merely takes the general path.
ZELTO_VECTOR_PASS bool LoadScaledReal(int32_t n, const double* re, const double* im, double* work) {
  const double scale = 1.0 / n;
  const TQuad s = {scale, scale, scale, scale};
  TQuadBits any = {0, 0, 0, 0};
  int32_t i = 0;
  for (; i + 3 < n; i += 4) {
    TQuad x;
    TQuadBits bits;
    std::memcpy(&x, re + i, sizeof x);
    std::memcpy(&bits, im + i, sizeof bits);
    x *= s;
    std::memcpy(work + i, &x, sizeof x);
    any |= bits;
  }
  uint64_t rest = any[0] | any[1] | any[2] | any[3];
  for (; i < n; ++i) {
    work[i] = re[i] * scale;
    rest |= Bits(im[i]);
  }
  return rest == 0;
}

// The bins of a real signal: X_k as the transform left them (interleaved)
// for k <= n / 2, and the mirror X_k = conj(X_(n - k)) above.
ZELTO_VECTOR_PASS void StoreRealBins(int32_t n, const double* work, double* re, double* im) {
  const int32_t half = n / 2;
  int32_t k = 0;
  for (; k + 3 <= half; k += 4) {
    TQuad a, b;
    std::memcpy(&a, work + 2 * k, sizeof a);
    std::memcpy(&b, work + 2 * k + 4, sizeof b);
    const TQuad real = __builtin_shufflevector(a, b, 0, 2, 4, 6), imag = __builtin_shufflevector(a, b, 1, 3, 5, 7);
    std::memcpy(re + k, &real, sizeof real);
    std::memcpy(im + k, &imag, sizeof imag);
  }
  for (; k <= half; ++k) {
    re[k] = work[2 * k];
    im[k] = work[2 * k + 1];
  }
  // The sources n - k - 3 ... n - k of each four lie below half + 1, all
  // written above.
  for (k = half + 1; k + 3 < n; k += 4) {
    TQuad r, i;
    std::memcpy(&r, re + n - k - 3, sizeof r);
    std::memcpy(&i, im + n - k - 3, sizeof i);
    const TQuad real = __builtin_shufflevector(r, r, 3, 2, 1, 0), imag = -__builtin_shufflevector(i, i, 3, 2, 1, 0);
    std::memcpy(re + k, &real, sizeof real);
    std::memcpy(im + k, &imag, sizeof imag);
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
