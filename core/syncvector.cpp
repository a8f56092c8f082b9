#include "syncvector.h"

#include <cmath>
#include <numbers>

namespace {

// The phasor is rotated by one step per sample and set afresh from its own
// cosine and sine at every anchor, so the rounding of the rotation never
// grows beyond a few hundred steps while most samples cost a multiply.
constexpr int32_t kAnchorInterval = 256;

}  // namespace

std::complex<double> SyncBin(const int32_t* x, int32_t n, int32_t revolutions) {
  if (n < 1 || !x) return {};
  const double w = -2 * std::numbers::pi * revolutions / n;
  const std::complex<double> step(std::cos(w), std::sin(w));
  double re = 0, im = 0;
  std::complex<double> phasor;
  for (int32_t m = 0; m < n; ++m) {
    if (m % kAnchorInterval == 0) phasor = {std::cos(m * w), std::sin(m * w)};
    re += x[m] * phasor.real();
    im += x[m] * phasor.imag();
    phasor *= step;
  }
  return {re / n, im / n};
}

TPolar BinToPolar(std::complex<double> bin, double rangeMv, double fullScale) {
  if ((bin.real() == 0 && bin.imag() == 0) || fullScale == 0) return {};
  return {rangeMv * 2 * std::abs(bin) / fullScale, std::atan2(bin.imag(), bin.real())};
}

TPolar PolarMean(const TPolar* values, int32_t count) {
  if (count < 1) return {};
  std::complex<double> sum;
  for (int32_t k = 0; k < count; ++k) sum += std::polar(values[k].Ampl, values[k].Phase);
  sum /= static_cast<double>(count);
  if (sum.real() == 0 && sum.imag() == 0) return {};
  return {std::abs(sum), std::arg(sum)};
}
