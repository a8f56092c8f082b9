#include "fft.h"

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace {

void BitReverse(int32_t n, double* re, double* im) {
  int32_t j = 0;
  for (int32_t i = 0; i < n - 1; ++i) {
    if (i < j) {
      std::swap(re[i], re[j]);
      std::swap(im[i], im[j]);
    }
    int32_t k = n / 2;
    while (k <= j) {
      j -= k;
      k /= 2;
    }
    j += k;
  }
}

struct TTwiddles {
  int32_t N = 0;
  std::vector<double> Cos, Sin;
};

// Twiddles e^(-j 2 pi k / n) for k < n / 2, each from its own sine and
// cosine, so large transforms do not accumulate the rounding of a recurrence.
// A thread transforms one length again and again (every spectrum of a
// buffer), so each thread keeps the table of its last length.
const TTwiddles& Twiddles(int32_t n) {
  thread_local TTwiddles t;
  if (t.N == n) return t;
  const int32_t half = n / 2;
  t.Cos.resize(half);
  t.Sin.resize(half);
  for (int32_t k = 0; k < half; ++k) {
    const double a = -2 * std::numbers::pi * k / n;
    t.Cos[k] = std::cos(a);
    t.Sin[k] = std::sin(a);
  }
  t.N = n;
  return t;
}

// Butterflies of one stage: blocks of `span` pairs, the pairs of a block
// inner-most so the data is walked in order.
void Stage(int32_t n, int32_t span, const std::vector<double>& c, const std::vector<double>& s,
           double* re, double* im) {
  const int32_t step = n / (2 * span);
  for (int32_t block = 0; block < n; block += 2 * span) {
    for (int32_t j = 0; j < span; ++j) {
      const double u1 = c[j * step];
      const double u2 = s[j * step];
      const int32_t i = block + j;
      const int32_t i1 = i + span;
      const double t1 = u1 * re[i1] - u2 * im[i1];
      const double t2 = u1 * im[i1] + u2 * re[i1];
      re[i1] = re[i] - t1;
      im[i1] = im[i] - t2;
      re[i] += t1;
      im[i] += t2;
    }
  }
}

}  // namespace

bool IsPowerOfTwo(int64_t n) { return n > 0 && (n & (n - 1)) == 0; }

bool CalcFFT(int32_t n, double* re, double* im) {
  if (!IsPowerOfTwo(n)) return false;
  BitReverse(n, re, im);
  const TTwiddles& t = Twiddles(n);
  for (int32_t span = 1; span < n; span *= 2) Stage(n, span, t.Cos, t.Sin, re, im);
  const double scale = 1.0 / n;
  for (int32_t i = 0; i < n; ++i) {
    re[i] *= scale;
    im[i] *= scale;
  }
  return true;
}
