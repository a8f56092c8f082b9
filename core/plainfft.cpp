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

// a b without the checks for infinities of std::complex's product, which
// cost more than the product itself.
std::complex<double> Times(std::complex<double> a, std::complex<double> b) {
  return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// Values of a table computed between two questions whether the caller was
// stopped: a few hundred microseconds of sines and cosines.
constexpr int64_t kStopStride = 1 << 14;

}  // namespace

// A power of two n goes through a complex transform of n / 2 values (the
// even samples as real parts, the odd ones as imaginary parts); any other
// length through Bluestein's convolution of M >= 2n - 1 values. At a million
// values each table is megabytes whose first touch alone takes tens of
// milliseconds: the stop is asked before each is had and while it is
// filled.
TPlainFft::TPlainFft(int32_t n, std::function<bool()> stopped) : N(std::max(n, 1)), StopAsked(std::move(stopped)) {
  const bool radix2 = PowerOfTwo(N);
  const int64_t m = radix2 ? N : PowerOfTwoAtLeast(2 * static_cast<int64_t>(N) - 1);
  const auto twiddle = [m](int64_t k) {
    const double angle = 2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(m);
    return TComplex(std::cos(angle), -std::sin(angle));
  };
  if (!Extend(Twiddles, m / 2, twiddle)) return;
  if (!radix2) {
    const int64_t n64 = N;
    if (!Extend(Chirp, n64, [n64](int64_t k) { return ChirpAt(k, n64); })) return;
    // The conjugate chirp at 0 ... N - 1 and, wrapped, at M - N + 1 ... M - 1.
    const auto kernel = [this, m, n64](int64_t k) {
      if (k < n64) return std::conj(Chirp[static_cast<size_t>(k)]);
      if (k > m - n64) return std::conj(Chirp[static_cast<size_t>(m - k)]);
      return TComplex();
    };
    if (!Extend(Kernel, m, kernel) || !Radix2(Kernel, false)) return;
  }
  if (!Extend(Work, radix2 ? m / 2 : m, [](int64_t) { return TComplex(); })) return;
  Ready = true;
}

// The stop is asked before the memory is had and every kStopStride values:
// fresh memory is touched a stride at a time.
template <typename TValue>
bool TPlainFft::Extend(std::vector<TComplex>& table, int64_t count, const TValue& value) const {
  if (Stopped()) return false;
  table.reserve(static_cast<size_t>(count));
  for (int64_t k = 0; k < count; ++k) {
    if (k > 0 && k % kStopStride == 0 && Stopped()) return false;
    table.push_back(value(k));
  }
  return true;
}

bool TPlainFft::Stopped() const { return StopAsked && StopAsked(); }

// Twiddles holds those of 2 Twiddles.size() values; a shorter x takes every
// (2 Twiddles.size() / x.size())-th of them.
bool TPlainFft::Radix2(std::vector<TComplex>& x, bool inverse) const {
  const size_t m = x.size();
  if (m < 2) return true;
  const size_t spread = 2 * Twiddles.size() / m;
  for (size_t i = 1, j = 0; i < m; ++i) {
    size_t bit = m >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (size_t len = 2; len <= m; len *= 2) {
    if (Stopped()) return false;
    const size_t half = len / 2, stride = spread * (m / len);
    for (size_t start = 0; start < m; start += len)
      for (size_t k = 0; k < half; ++k) {
        const TComplex w = inverse ? std::conj(Twiddles[k * stride]) : Twiddles[k * stride];
        const TComplex u = x[start + k], v = Times(x[start + k + half], w);
        x[start + k] = u + v;
        x[start + k + half] = u - v;
      }
  }
  return true;
}

bool TPlainFft::Transform(const double* in, double* out) const {
  if (!Ready || Stopped()) return false;
  if (N > 1) return Chirp.empty() ? HalfLengthTransform(in, out) : ChirpTransform(in, out);
  out[0] = in[0];
  out[1] = 0;
  return true;
}

// With z_m = x_2m + j x_2m+1 and Z its transform of h = n / 2 values:
// X_k = E_k + e^(-j 2 pi k / n) O_k, E_k = (Z_k + conj Z_(h - k)) / 2 and
// O_k = (Z_k - conj Z_(h - k)) / 2j, indices of Z modulo h.
bool TPlainFft::HalfLengthTransform(const double* in, double* out) const {
  const size_t h = Work.size();
  std::vector<TComplex>& z = Work;
  for (size_t m = 0; m < h; ++m) z[m] = {in[2 * m], in[2 * m + 1]};
  if (!Radix2(z, false)) return false;
  for (size_t k = 0; k <= h; ++k) {
    const TComplex a = z[k % h], b = std::conj(z[(h - k) % h]);
    const TComplex even = (a + b) * 0.5, odd = Times(a - b, TComplex(0, -0.5));
    const TComplex x = even + Times(k < h ? Twiddles[k] : TComplex(-1, 0), odd);
    out[2 * k] = x.real();
    out[2 * k + 1] = x.imag();
  }
  return true;
}

// X_k = c_k sum_m (x_m c_m) conj(c_(k - m)) with c_m = e^(-j pi m^2 / N):
// the sum is a circular convolution of length M >= 2N - 1.
bool TPlainFft::ChirpTransform(const double* in, double* out) const {
  const size_t n = static_cast<size_t>(N);
  std::vector<TComplex>& x = Work;
  std::fill(x.begin(), x.end(), TComplex());
  for (size_t m = 0; m < n; ++m) x[m] = in[m] * Chirp[m];
  if (!Radix2(x, false)) return false;
  for (size_t k = 0; k < x.size(); ++k) x[k] = Times(x[k], Kernel[k]);
  if (!Radix2(x, true)) return false;
  const double scale = 1.0 / static_cast<double>(x.size());
  for (size_t k = 0; k <= n / 2; ++k) {
    const TComplex bin = Times(x[k], Chirp[k]) * scale;
    out[2 * k] = bin.real();
    out[2 * k + 1] = bin.imag();
  }
  return true;
}
