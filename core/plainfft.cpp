#include "plainfft.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

bool PowerOfTwo(int64_t n) { return n > 0 && (n & (n - 1)) == 0; }

int64_t PowerOfTwoAtLeast(int64_t n) {
  int64_t m = 1;
  while (m < n) m *= 2;
  return m;
}

// e^(-j pi m^2 / n), its angle reduced first: m^2 mod 2n keeps the argument
// of the sine and cosine small, and so their error, at any m.
std::complex<double> ChirpAt(int64_t m, int64_t n) {
  const int64_t turn = (m * m) % (2 * n);
  const double angle = std::numbers::pi * static_cast<double>(turn) / static_cast<double>(n);
  return {std::cos(angle), -std::sin(angle)};
}

}  // namespace

TPlainFft::TPlainFft(int32_t n) : N(std::max(n, 1)) {
  const int64_t m = PowerOfTwo(N) ? N : PowerOfTwoAtLeast(2 * static_cast<int64_t>(N) - 1);
  Work.resize(static_cast<size_t>(m));
  Twiddles.resize(static_cast<size_t>(m / 2));
  for (int64_t k = 0; k < m / 2; ++k) {
    const double angle = 2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(m);
    Twiddles[static_cast<size_t>(k)] = {std::cos(angle), -std::sin(angle)};
  }
  if (PowerOfTwo(N)) return;
  Chirp.resize(static_cast<size_t>(N));
  for (int64_t k = 0; k < N; ++k) Chirp[static_cast<size_t>(k)] = ChirpAt(k, N);
  Kernel.assign(static_cast<size_t>(m), {});
  Kernel[0] = std::conj(Chirp[0]);
  for (int64_t k = 1; k < N; ++k) Kernel[static_cast<size_t>(k)] = Kernel[static_cast<size_t>(m - k)] =
      std::conj(Chirp[static_cast<size_t>(k)]);
  Radix2(Kernel, false);
}

void TPlainFft::Radix2(std::vector<TComplex>& x, bool inverse) const {
  const size_t m = x.size();
  for (size_t i = 1, j = 0; i < m; ++i) {
    size_t bit = m >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (size_t len = 2; len <= m; len *= 2) {
    const size_t stride = m / len;
    for (size_t start = 0; start < m; start += len)
      for (size_t k = 0; k < len / 2; ++k) {
        const TComplex w = inverse ? std::conj(Twiddles[k * stride]) : Twiddles[k * stride];
        const TComplex u = x[start + k], v = x[start + k + len / 2] * w;
        x[start + k] = u + v;
        x[start + k + len / 2] = u - v;
      }
  }
}

// X_k = c_k sum_m (x_m c_m) conj(c_(k - m)) with c_m = e^(-j pi m^2 / N):
// the sum is a circular convolution of length M >= 2N - 1.
void TPlainFft::Transform(const double* in, double* out) const {
  const size_t n = static_cast<size_t>(N);
  std::vector<TComplex>& x = Work;
  std::fill(x.begin(), x.end(), TComplex());
  for (size_t m = 0; m < n; ++m) x[m] = Chirp.empty() ? TComplex(in[m]) : in[m] * Chirp[m];
  Radix2(x, false);
  if (!Chirp.empty()) {
    for (size_t k = 0; k < x.size(); ++k) x[k] *= Kernel[k];
    Radix2(x, true);
    const double scale = 1.0 / static_cast<double>(x.size());
    for (size_t k = 0; k <= n / 2; ++k) x[k] *= Chirp[k] * scale;
  }
  for (size_t k = 0; k <= n / 2; ++k) {
    out[2 * k] = x[k].real();
    out[2 * k + 1] = x[k].imag();
  }
}
