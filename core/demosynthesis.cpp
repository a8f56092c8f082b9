#include "demosynthesis.h"

#include "captureclock.h"
#include "zelto.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <limits>
#include <numbers>

namespace {

constexpr double kBaseMv = 400.0;

double DegToRad(double degrees) { return degrees * std::numbers::pi / 180.0; }

double RandomFactor(TDemoRandom& rnd) { return 1 + 0.002 * (rnd.RandomInt(10) - 5); }

// A synthesised value as a sample: truncated toward zero and held in the
// sample range, so an extreme input gain from a sensor file clips instead of
// overflowing the conversion; not-a-number (an infinite gain) gives 0.
int32_t Sample(double x) {
  if (std::isnan(x)) return 0;
  constexpr double lowest = std::numeric_limits<int32_t>::min();
  constexpr double highest = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(x, lowest, highest));
}

}  // namespace

int32_t TDemoRandom::RandomInt(int32_t n) {
  if (n < 1) return 0;
  // 32-bit linear congruential step; the high bits carry the randomness.
  State = State * 1664525u + 1013904223u;
  return static_cast<int32_t>((State >> 8) % static_cast<uint32_t>(n));
}

TDemoWindow DemoCaptureWindow(int32_t buffLength, double fs) {
  TDemoWindow w;
  if (fs <= 0 || buffLength < 1) return w;
  const double samplesPerRev = fs / kDemoRotation;
  w.T = static_cast<int32_t>(std::floor(buffLength / samplesPerRev));
  if (w.T < 1) return {};
  w.End = static_cast<int32_t>(samplesPerRev * w.T);
  return w;
}

TDemoRunVector DemoRunVector(int32_t run) {
  static constexpr std::array<TDemoRunVector, 7> rows{{
      {0.7, 60, 0.5, 130},
      {0.5, -90, 0.6, 200},
      {0.3, 30, 0.2, -135},
      {0.06, 50, 0.05, 145},
      {0.15, 70, 0.1, 135},
      {0.12, 90, 0.08, 125},
      {0.1, 60, 0.06, 135},
  }};
  return run >= 0 && run < static_cast<int32_t>(rows.size()) ? rows[run] : rows[3];
}

double DemoAmplitude(double factor, double fullScale, double rangeMv) {
  return rangeMv == 0 ? 0 : factor * kBaseMv * fullScale / rangeMv;
}

void SynthesizeSamples(const TDemoSignal& s, int32_t* a, int32_t* b, int32_t n, TDemoRandom& rnd) {
  if (s.Fs <= 0) return;
  const double w1 = 2 * std::numbers::pi / (s.Fs / kDemoRotation);
  const double w2 = 2 * std::numbers::pi / (0.01 * s.Fs);
  const double w3 = 2 * std::numbers::pi / (0.003000300030003 * s.Fs);
  for (int32_t i = 0; i < n; ++i) {
    if (a) {
      const double d20 = rnd.RandomInt(10) + 10;
      const double d50 = rnd.RandomInt(5) + 5;
      const double x = s.AmpA * std::sin(i * w1 + s.PhaseA) + 0.5 * s.AmpA * std::sin(i * w2) +
                       s.AmpA / d20 * std::sin(20 * i * w1) + s.AmpA / d50 * std::sin(50 * i * w1);
      a[i] = Sample(x);
    }
    if (b) {
      const double d20 = rnd.RandomInt(5) + 5;
      const double d50 = rnd.RandomInt(10) + 10;
      const double y = s.AmpB * std::sin(i * w1 + s.PhaseB) + s.AmpB / 3 * std::sin(i * w3) +
                       s.AmpB / d20 * std::sin(20 * i * w1) + s.AmpB / d50 * std::sin(50 * i * w1);
      b[i] = Sample(y);
    }
  }
}

TDemoSignal DemoRunSignal(int32_t run, double fullScale, double rangeA, double rangeB, double gainA,
                          double gainB, double fs, TDemoRandom& rnd) {
  const TDemoRunVector v = DemoRunVector(run);
  TDemoSignal s;
  s.Fs = fs;
  s.AmpA = DemoAmplitude(v.FactorA, fullScale, rangeA) * gainA * RandomFactor(rnd);
  s.AmpB = DemoAmplitude(v.FactorB, fullScale, rangeB) * gainB * RandomFactor(rnd);
  s.PhaseA = DegToRad(v.PhaseA * RandomFactor(rnd));
  s.PhaseB = DegToRad(v.PhaseB * RandomFactor(rnd));
  return s;
}

TDemoSignal DemoLiveSignal(double fullScale, double rangeA, double rangeB, double gainA, double gainB,
                           double fs, TDemoRandom& rnd) {
  TDemoSignal s;
  s.Fs = fs;
  s.AmpA = DemoAmplitude(0.7, fullScale, rangeA) * gainA;
  s.AmpB = DemoAmplitude(0.5, fullScale, rangeB) * gainB;
  s.PhaseA = DegToRad(rnd.RandomInt(360));
  s.PhaseB = s.PhaseA;
  return s;
}

// --- the core's synthesis ---------------------------------------------------

bool TZelto::SimulateCapture(uint8_t mode) {
  TCaptureClock& clock = CaptureClock();
  TDemoRandom rnd(clock.GetTickCount());
  const double fullScale = DriverFullScale();
  const double fs = DriverSamplingFrequency();
  const double rangeA = DriverInputRange(GainA), rangeB = DriverInputRange(GainB);
  const double gainA = VibSensorA.InputGain, gainB = VibSensorB.InputGain;
  const auto room = [this](std::vector<int32_t>& v) {
    return std::min<int64_t>(static_cast<int64_t>(v.size()), std::max(BuffLength, 0));
  };
  IncomingConditions = DeviceConditions();
  if (mode == 1) {
    const TDemoSignal s = DemoLiveSignal(fullScale, rangeA, rangeB, gainA, gainB, fs, rnd);
    // One length for both channels, so the random draws stay paired.
    const int64_t n = std::min(room(LiveDataA), LiveDataB.empty() ? room(LiveDataA) : room(LiveDataB));
    SynthesizeSamples(s, LiveDataA.empty() ? nullptr : LiveDataA.data(), LiveDataB.empty() ? nullptr : LiveDataB.data(),
                      static_cast<int32_t>(n), rnd);
    {
      rtl::TCriticalSectionGuard guard(ResultsLock);
      LiveConditions = std::exchange(IncomingConditions, {});
    }
    clock.Sleep(100);
    return true;
  }
  if (BalancingStep < 0 || BalancingStep >= static_cast<int32_t>(Captures.size())) return true;
  const TDemoWindow w = DemoCaptureWindow(BuffLength, fs);
  // No whole revolution fits: an empty window over the run's samples would
  // replace its last reading by one that never happened.
  if (w.T < 1) return false;
  // Synthesised into Incoming and taken over as a device's read-out is, so
  // the run gets samples only from a capture that counts; buffers the start
  // did not prepare are not written, as a device's read-out is not.
  std::vector<int32_t>& a = Incoming.DataA;
  std::vector<int32_t>& b = Incoming.DataB;
  const bool twoChannels = Type == 1;
  const auto tooShort = [this](const std::vector<int32_t>& v) { return v.size() < static_cast<size_t>(BuffLength); };
  if (BuffLength <= 0 || tooShort(a) || (twoChannels && tooShort(b))) return true;
  const TDemoSignal s = DemoRunSignal(BalancingStep, fullScale, rangeA, rangeB, gainA, gainB, fs, rnd);
  SynthesizeSamples(s, a.data(), twoChannels ? b.data() : nullptr, BuffLength, rnd);
  Incoming.T = w.T;
  Incoming.Start = w.Start;
  Incoming.End = w.End;
  IncomingRead = true;
  TakeCapture(0);
  clock.Sleep(100);
  return true;
}
