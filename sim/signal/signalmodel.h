#pragma once
// The rotor every simulated device measures: two channels (bearing A and
// bearing B) of a rotor turning at a settable speed. Each channel carries a
// 1x vector that is the sum of the rotor's own unbalance and the masses the
// user places in planes A and B, through fixed influence coefficients, so a
// balancing job that places the right corrections drives the 1x vibration
// towards zero. On top come the 2x and 3x harmonics, noise, and a
// once-per-revolution reference pulse at rotor angle 0.
//
// Angles are degrees in the direction of rotation from the reference mark;
// a channel reads Re(V * exp(i * rotor angle)) plus harmonics and noise, in
// millivolts at the device input.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

using TVector = std::complex<double>;

class TSignalModel {
 public:
  static constexpr int Planes = 2;
  static constexpr int Channels = 2;
  // The speed at which the influence coefficients hold; the 1x response
  // grows with the square of the speed.
  static constexpr double NominalRpm = 3000.0;

  TSignalModel();

  // Up to 100000 rpm.
  void SetSpeed(double rpm) { Rpm = rpm > 0 ? (rpm < 100000 ? rpm : 100000) : 0; }
  double Speed() const { return Rpm; }
  double RevolutionHz() const { return Rpm / 60.0; }

  // The total mass placed in plane (0 A, 1 B), grams at an angle.
  void SetMass(int plane, double grams, double angleDeg);
  // Millivolts RMS of the noise on each channel.
  void SetNoise(double mvRms) { Noise = mvRms > 0 ? mvRms : 0; }
  void SetSeed(std::uint32_t seed) { Seed = seed; }

  // The 1x vector of channel (0 A, 1 B) in millivolts (peak).
  TVector Vector(int channel) const;
  // The unbalance the rotor has of its own in plane, as grams at an angle.
  TVector OwnUnbalance(int plane) const { return Unbalance[plane]; }
  // Millivolts per gram from plane to channel at the nominal speed.
  TVector Influence(int channel, int plane) const { return Coefficients[channel][plane]; }

  // n samples of both channels, in millivolts, sampled at fs from time
  // start (seconds since the rotor's angle was 0). Noise depends on the
  // seed and the first sample's number, so equal calls give equal samples.
  void Generate(double start, double fs, std::size_t n, double* channelA, double* channelB) const;
  // Indexes of the samples at or just after each reference pulse.
  std::vector<std::size_t> ReferenceIndexes(double start, double fs, std::size_t n) const;

 private:
  double Rpm = NominalRpm;
  double Noise = 0.0;
  std::uint32_t Seed = 1;
  TVector Masses[Planes];
  TVector Unbalance[Planes];
  TVector Coefficients[Channels][Planes];
};

// The window of whole revolutions a simulated device reports for a
// balancing capture: samples Start to End span Turns revolutions.
struct TRevolutionWindow {
  std::size_t Start = 0;
  std::size_t End = 0;
  std::size_t Turns = 0;
};

// The one rule of the simulated devices, from the reference pulses of a
// capture (ReferenceIndexes) up to sample `last`. A capture triggered by a
// pulse starts at sample 0, any other at its first pulse. Pulses within half
// a revolution of the start are the starting pulse itself, however its index
// rounded; each later one ends one more revolution, up to maxTurns. Without
// a whole revolution the window is all 0.
inline constexpr std::size_t AnyTurns = static_cast<std::size_t>(-1);
TRevolutionWindow RevolutionWindow(const std::vector<std::size_t>& pulses, double samplesPerTurn, bool triggered,
                                   std::size_t last, std::size_t maxTurns);

// Millivolts to ADC counts of a converter with fullScale counts per side over
// an input range of rangeMv, rounded and clipped to the converter.
std::int32_t ToCounts(double mv, double rangeMv, std::int32_t fullScale);

}  // namespace sim
