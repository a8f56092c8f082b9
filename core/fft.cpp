#include "fft.h"

#include "fftplans.h"

#include <algorithm>
#include <cstring>

namespace {

// Four doubles at a time in the compiler's vector registers: done one value
// at a time, the pass after the transform (scaling, splitting into real and
// imaginary parts, the mirrored half) costs as much as the transform. On
// x86-64 the pass of every real signal is built twice, for AVX2 and for any
// processor, and the loader picks the one the processor runs. The vectors
// are moved with memcpy: plain unaligned loads and stores.
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

// The bins of a real signal, scaled by 1 / n: X_k from the transform's
// interleaved output `bins` for k <= n / 2, and with each X_k in the same
// step its mirror X_(n - k) = conj(X_k), so that every array is gone through
// once; of an odd n the last bin below n / 2 + 1 has its mirror above it. The same pass tells whether the signal was real: every im is read
// just before it is written (a -0.0 merely takes the general path). At the
// first that is not +0.0 the pass puts back the zeros it replaced and
// returns false; im is then as it was, re is not.
ZELTO_VECTOR_PASS bool StoreRealBins(int32_t n, const double* bins, double* re, double* im) {
  const int32_t half = n / 2;
  const double scale = 1.0 / n;
  const TQuad s = {scale, scale, scale, scale};
  const auto nonzero = [](const double* x) {
    TQuadBits bits;
    std::memcpy(&bits, x, sizeof bits);
    return (bits[0] | bits[1] | bits[2] | bits[3]) != 0;
  };
  // Bins 1 ... k - 1 and their mirrors are written when the pass gives up.
  const auto giveUp = [n, im](int32_t k) {
    std::fill(im + 1, im + k, 0.0);
    std::fill(im + n - k + 1, im + n, 0.0);
    return false;
  };
  const bool odd = n % 2 == 1 && half > 0;
  if (Bits(im[0]) != 0 || Bits(im[half]) != 0 || (odd && Bits(im[half + 1]) != 0)) return false;
  int32_t k = 1;
  for (; k + 3 < half; k += 4) {
    if (nonzero(im + k) || nonzero(im + n - k - 3)) return giveUp(k);
    TQuad a, b;
    std::memcpy(&a, bins + 2 * k, sizeof a);
    std::memcpy(&b, bins + 2 * k + 4, sizeof b);
    const TQuad real = __builtin_shufflevector(a, b, 0, 2, 4, 6) * s,
                imag = __builtin_shufflevector(a, b, 1, 3, 5, 7) * s;
    const TQuad mirrorReal = __builtin_shufflevector(real, real, 3, 2, 1, 0),
                mirrorImag = -__builtin_shufflevector(imag, imag, 3, 2, 1, 0);
    std::memcpy(re + k, &real, sizeof real);
    std::memcpy(im + k, &imag, sizeof imag);
    std::memcpy(re + n - k - 3, &mirrorReal, sizeof mirrorReal);
    std::memcpy(im + n - k - 3, &mirrorImag, sizeof mirrorImag);
  }
  for (; k < half; ++k) {
    if (Bits(im[k]) != 0 || Bits(im[n - k]) != 0) return giveUp(k);
    re[k] = re[n - k] = bins[2 * k] * scale;
    im[k] = bins[2 * k + 1] * scale;
    im[n - k] = -im[k];
  }
  // Last, so that giving up above leaves these as they were.
  re[0] = bins[0] * scale;
  im[0] = bins[1] * scale;
  re[half] = bins[2 * half] * scale;
  im[half] = bins[2 * half + 1] * scale;
  if (odd) {
    re[half + 1] = re[half];
    im[half + 1] = -im[half];
  }
  return true;
}

// X = (FFT(re) + j FFT(im)) / n, from the real transforms a of re and b of im.
void StoreComplexBins(int32_t n, const double* a, const double* b, double* re, double* im) {
  const int32_t half = n / 2;
  const double scale = 1.0 / n;
  for (int32_t k = 0; k < n; ++k) {
    const bool mirrored = k > half;
    const int32_t m = mirrored ? n - k : k;
    const double sign = mirrored ? -1.0 : 1.0;
    re[k] = (a[2 * m] - sign * b[2 * m + 1]) * scale;
    im[k] = (sign * a[2 * m + 1] + b[2 * m]) * scale;
  }
}

// Lengths up to this one go through an out-of-place transform straight from
// the caller's array, whose measured plan (see fftplans.cpp) beats the
// estimated in-place one; above it the estimated in-place plan is the faster
// one even with the copy into the working array.
constexpr int32_t kLongestDirect = 1 << 16;

// The unscaled transform of x into `bins`, x left as it was. An out-of-place
// plan runs only on arrays aligned as it was made for: an x that is not goes
// through `copy`. False when a stand-in's caller was stopped.
bool Transform(const TRealFft& fft, const double* x, double* copy, double* bins) {
  const size_t n = static_cast<size_t>(fft.Length());
  if (fft.Placement() == TFftPlacement::InPlace) {
    std::copy(x, x + n, bins);
    return fft.Transform(bins);
  }
  if (!FftAligned(x)) {
    std::copy(x, x + n, copy);
    x = copy;
  }
  return fft.Transform(x, bins);
}

}  // namespace

bool IsPowerOfTwo(int64_t n) { return n > 0 && (n & (n - 1)) == 0; }

std::shared_ptr<const TRealFft> FftPlanFor(int32_t n, const std::function<bool()>& stopped) {
  if (n < 1) return nullptr;
  return RealFft(n, n <= kLongestDirect ? TFftPlacement::OutOfPlace : TFftPlacement::InPlace, stopped);
}

bool CalcFFT(int32_t n, double* re, double* im) {
  if (!IsPowerOfTwo(n)) return false;
  const auto fft = FftPlanFor(n);
  return fft && CalcFFT(*fft, re, im);
}

bool CalcFFT(const TRealFft& fft, double* re, double* im) {
  const int32_t n = fft.Length();
  if (n < 1) return false;
  const bool direct = fft.Placement() == TFftPlacement::OutOfPlace;
  const size_t size = RealFftWorkSize(n);
  // All the memory first: once the bins start replacing the signal, the
  // transform must run to its end.
  double* a = FftScratch(0, size);
  double* b = FftScratch(1, size);
  const bool aligned = !direct || (FftAligned(re) && FftAligned(im));
  double* copy = aligned ? nullptr : FftScratch(2, static_cast<size_t>(n));
  if (!a || !b || (!aligned && !copy)) return false;
  if (!Transform(fft, re, copy, a)) return false;
  if (StoreRealBins(n, a, re, im)) return true;
  // A complex signal: re is no longer needed, its transform is in a.
  if (!Transform(fft, im, copy, b)) return false;
  StoreComplexBins(n, a, b, re, im);
  return true;
}
