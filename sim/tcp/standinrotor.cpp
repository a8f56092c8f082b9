#include "standinrotor.h"

#include <cmath>
#include <numbers>

namespace sim {

namespace {

std::complex<double> Polar(double magnitude, double angleDeg) {
  return std::polar(magnitude, angleDeg * std::numbers::pi / 180.0);
}

// A repeatable uniform value in [-1, 1) for sample number k.
double Uniform(std::uint32_t seed, std::uint64_t k) {
  std::uint64_t x = (k + 1) * 0x9E3779B97F4A7C15ULL ^ seed;
  x ^= x >> 31;
  x *= 0xBF58476D1CE4E5B9ULL;
  x ^= x >> 29;
  return static_cast<double>(x >> 11) / static_cast<double>(1ULL << 52) - 1.0;
}

}  // namespace

TStandInRotor::TStandInRotor() {
  Unbalance[0] = Polar(40.0, 30.0);
  Unbalance[1] = Polar(25.0, 200.0);
  Coefficients[0][0] = Polar(6.0, 20.0);
  Coefficients[0][1] = Polar(2.0, 110.0);
  Coefficients[1][0] = Polar(1.5, 250.0);
  Coefficients[1][1] = Polar(5.0, 340.0);
}

void TStandInRotor::SetMass(int plane, double grams, double angleDeg) {
  if (plane >= 0 && plane < Planes) Masses[plane] = Polar(grams, angleDeg);
}

std::complex<double> TStandInRotor::Vector(int channel) const {
  if (channel < 0 || channel >= Channels) return {};
  const double scale = (Rpm / NominalRpm) * (Rpm / NominalRpm);
  std::complex<double> sum;
  for (int p = 0; p < Planes; ++p) sum += Coefficients[channel][p] * (Unbalance[p] + Masses[p]);
  return sum * scale;
}

void TStandInRotor::Generate(double start, double fs, std::size_t n, double* channelA, double* channelB) const {
  double* out[Channels] = {channelA, channelB};
  const double w = 2 * std::numbers::pi * RevolutionHz();
  for (int c = 0; c < Channels; ++c) {
    if (!out[c]) continue;
    const std::complex<double> v = Vector(c);
    const auto first = static_cast<std::uint64_t>(std::llround(start * fs));
    for (std::size_t i = 0; i < n; ++i) {
      const double angle = w * (start + static_cast<double>(i) / fs);
      const double oneX = std::real(v * std::polar(1.0, angle));
      const double twoX = 0.1 * std::abs(v) * std::cos(2 * angle + 1.0);
      const double noise = Noise * std::sqrt(3.0) * Uniform(Seed + static_cast<std::uint32_t>(c), first + i);
      out[c][i] = oneX + twoX + noise;
    }
  }
}

std::vector<std::size_t> TStandInRotor::ReferenceIndexes(double start, double fs, std::size_t n) const {
  std::vector<std::size_t> indexes;
  const double hz = RevolutionHz();
  if (hz <= 0 || fs <= 0) return indexes;
  for (double k = std::ceil(start * hz);; k += 1) {
    const double index = std::ceil((k / hz - start) * fs - 1e-9);
    if (index >= static_cast<double>(n)) break;
    indexes.push_back(static_cast<std::size_t>(std::max(index, 0.0)));
  }
  return indexes;
}

}  // namespace sim
