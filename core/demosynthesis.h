#pragma once
// Demo signal synthesis: plausible captures without hardware, a rotation of
// 49.75 Hz whose 1x vector changes from run to run as if trial masses and
// corrections had been applied, with two harmonics and a little randomness.

#include <cstdint>

// The synthesised rotation frequency in Hz.
inline constexpr double kDemoRotation = 49.75;

// Pseudo-random source of the synthesis. Seeded anew for every synthesis;
// tests seed it themselves.
class TDemoRandom {
 public:
  explicit TDemoRandom(uint32_t seed = 0) : State(seed) {}
  void Seed(uint32_t seed) { State = seed; }
  // 0 ... n - 1; 0 when n < 1.
  int32_t RandomInt(int32_t n);

 private:
  uint32_t State;
};

struct TDemoWindow {
  int32_t T = 0, Start = 0, End = 0;
};

// Whole revolutions in the buffer and the window that holds them exactly:
// T = floor(length / (fs / 49.75)), End = trunc(T fs / 49.75). Fewer than
// one revolution (or fs <= 0) gives all zeros.
TDemoWindow DemoCaptureWindow(int32_t buffLength, double fs);

// Base 1x vector of a run: factors of 400 mV and phases in degrees.
struct TDemoRunVector {
  double FactorA = 0, PhaseA = 0, FactorB = 0, PhaseB = 0;
};
TDemoRunVector DemoRunVector(int32_t run);

// Amplitudes in ADC counts, phases in radians, sampling frequency in Hz.
struct TDemoSignal {
  double AmpA = 0, PhaseA = 0, AmpB = 0, PhaseB = 0, Fs = 0;
};

// ADC count of factor x 400 mV on an input range in millivolts; 0 for a
// range of 0.
double DemoAmplitude(double factor, double fullScale, double rangeMv);

// Writes n samples into a and b (each when not null): the 1x sine, a 100 Hz
// (A) or 333.3 Hz (B) component and the 20th and 50th harmonics with random
// divisors drawn per sample. fs <= 0 writes nothing.
void SynthesizeSamples(const TDemoSignal& s, int32_t* a, int32_t* b, int32_t n, TDemoRandom& rnd);

// The balancing capture's signal of a run: the run's base vector scaled to
// counts and by the input gains, each of the four values multiplied by a
// random factor 1 + 0.002 (rnd(10) - 5).
TDemoSignal DemoRunSignal(int32_t run, double fullScale, double rangeA, double rangeB, double gainA,
                          double gainB, double fs, TDemoRandom& rnd);

// The free-running capture's signal: 0.7 and 0.5 of 400 mV at one random
// phase shared by both channels.
TDemoSignal DemoLiveSignal(double fullScale, double rangeA, double rangeB, double gainA, double gainB,
                           double fs, TDemoRandom& rnd);
