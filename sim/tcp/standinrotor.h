#pragma once
// A small rotor signal with the interface of the shared signal model: the
// 1x vector of each channel is the rotor's own unbalance plus the placed
// masses through fixed influence coefficients, growing with the square of
// the speed, with a 2x harmonic, optional noise and a reference pulse at
// rotor angle 0.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

class TStandInRotor {
 public:
  static constexpr int Planes = 2;
  static constexpr int Channels = 2;
  static constexpr double NominalRpm = 3000.0;

  TStandInRotor();

  void SetSpeed(double rpm) { Rpm = rpm > 0 ? (rpm < 100000 ? rpm : 100000) : 0; }
  double Speed() const { return Rpm; }
  double RevolutionHz() const { return Rpm / 60.0; }
  void SetMass(int plane, double grams, double angleDeg);
  void SetNoise(double mvRms) { Noise = mvRms > 0 ? mvRms : 0; }
  void SetSeed(std::uint32_t seed) { Seed = seed; }

  std::complex<double> Vector(int channel) const;
  void Generate(double start, double fs, std::size_t n, double* channelA, double* channelB) const;
  std::vector<std::size_t> ReferenceIndexes(double start, double fs, std::size_t n) const;

 private:
  double Rpm = NominalRpm;
  double Noise = 0.0;
  std::uint32_t Seed = 1;
  std::complex<double> Masses[Planes];
  std::complex<double> Unbalance[Planes];
  std::complex<double> Coefficients[Channels][Planes];
};

}  // namespace sim
