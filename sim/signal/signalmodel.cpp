#include "signalmodel.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace sim {

namespace {

TVector Polar(double magnitude, double angleDeg) { return std::polar(magnitude, angleDeg * std::numbers::pi / 180.0); }

// Harmonic content relative to the 1x amplitude of the same channel.
constexpr double Second = 0.25;
constexpr double Third = 0.08;

}  // namespace

TSignalModel::TSignalModel() {
  Unbalance[0] = Polar(40.0, 30.0);
  Unbalance[1] = Polar(25.0, 210.0);
  Coefficients[0][0] = Polar(3.0, -20.0);
  Coefficients[0][1] = Polar(1.2, -65.0);
  Coefficients[1][0] = Polar(1.0, -50.0);
  Coefficients[1][1] = Polar(2.6, -35.0);
}

void TSignalModel::SetMass(int plane, double grams, double angleDeg) {
  if (plane < 0 || plane >= Planes) return;
  Masses[plane] = Polar(std::max(grams, 0.0), angleDeg);
}

TVector TSignalModel::Vector(int channel) const {
  if (channel < 0 || channel >= Channels) return {};
  const double scale = std::pow(Rpm / NominalRpm, 2);
  TVector sum;
  for (int plane = 0; plane < Planes; ++plane)
    sum += Coefficients[channel][plane] * (Unbalance[plane] + Masses[plane]);
  return sum * scale;
}

void TSignalModel::Generate(double start, double fs, std::size_t n, double* channelA, double* channelB) const {
  const double omega = 2.0 * std::numbers::pi * RevolutionHz();
  const TVector v[Channels] = {Vector(0), Vector(1)};
  double* out[Channels] = {channelA, channelB};
  std::mt19937 random(Seed ^ static_cast<std::uint32_t>(std::llround(start * fs)));
  std::normal_distribution<double> noise(0.0, Noise > 0 ? Noise : 1.0);
  for (std::size_t i = 0; i < n; ++i) {
    const double angle = omega * (start + static_cast<double>(i) / fs);
    for (int c = 0; c < Channels; ++c) {
      const double a = std::abs(v[c]);
      const double phase = std::arg(v[c]);
      double value = a * std::cos(angle + phase) + Second * a * std::cos(2 * angle + 2 * phase + 0.7) +
                     Third * a * std::cos(3 * angle + 3 * phase - 0.4);
      if (Noise > 0) value += noise(random);
      if (out[c]) out[c][i] = value;
    }
  }
}

std::vector<std::size_t> TSignalModel::ReferenceIndexes(double start, double fs, std::size_t n) const {
  std::vector<std::size_t> indexes;
  const double f = RevolutionHz();
  if (f <= 0 || fs <= 0 || n == 0) return indexes;
  const double end = start + static_cast<double>(n - 1) / fs;
  for (double turn = std::ceil(start * f); turn / f <= end; turn += 1.0) {
    const double at = std::ceil((turn / f - start) * fs - 1e-9);
    if (at >= 0 && at < static_cast<double>(n)) indexes.push_back(static_cast<std::size_t>(at));
  }
  return indexes;
}

TRevolutionWindow RevolutionWindow(const std::vector<std::size_t>& pulses, double samplesPerTurn, bool triggered,
                                   std::size_t last, std::size_t maxTurns) {
  if (!triggered && pulses.empty()) return {};
  TRevolutionWindow window;
  window.Start = triggered ? 0 : pulses.front();
  const double half = samplesPerTurn / 2;
  for (std::size_t pulse : pulses) {
    if (pulse > last || window.Turns >= maxTurns) break;
    if (static_cast<double>(pulse) < static_cast<double>(window.Start) + half) continue;
    window.End = pulse;
    ++window.Turns;
  }
  return window.Turns ? window : TRevolutionWindow{};
}

std::int32_t ToCounts(double mv, double rangeMv, std::int32_t fullScale) {
  if (rangeMv <= 0) return 0;
  const double counts = std::round(mv / rangeMv * fullScale);
  return static_cast<std::int32_t>(std::clamp(counts, -static_cast<double>(fullScale), fullScale - 1.0));
}

}  // namespace sim
