#pragma once
// The records of a balancing job: one capture and one evaluated result per
// run, the sensor on a channel and the rotor. Plain data; the units that fill
// them give the fields their meaning.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Runs are indexed 0 initial run, 1 trial mass in plane A, 2 trial mass in
// plane B (two planes only), 3 the computed correction (no capture of its
// own), 4..19 check and trim runs.
constexpr int RunCount = 20;
constexpr int RunInitial = 0;
constexpr int RunTrialA = 1;
constexpr int RunTrialB = 2;
constexpr int RunCorrection = 3;
constexpr int RunFirstTrim = 4;
constexpr int LastRun = RunCount - 1;

// Readings averaged per run (the averaging slots of a result).
constexpr int MaxAvgSize = 10;

// One reading or the averaged vectors of a run: amplitudes in millivolts
// (peak), phases in radians.
struct TVector4 {
  double AmplA = 0, PhA = 0, AmplB = 0, PhB = 0;
};

// Correction per plane: mass as a multiple of the control mass, angle in
// radians.
struct TCorrection {
  double MassA = 0, AngleA = 0, MassB = 0, AngleB = 0;
};

struct MeasurementResult {
  double Freq = 0;  // rotation frequency in Hz
  std::array<TVector4, MaxAvgSize> Slots{};
  TVector4 Meas;       // vector mean of the filled slots
  TCorrection Result;  // correction computed at this run
  uint8_t Valid = 0;   // the record holds an evaluated run
  // The correction of this run could not be computed (a trial run equal to
  // the initial run, a singular system, ...). Kept apart from Valid, which
  // says only that the run itself was measured.
  uint8_t NotComputable = 0;
};

// What an evaluation leaves in a run's record when it counted a reading: a
// speed or a vector, and at run 3 a correction (or its NotComputable flag).
// A record read back from a file is valid exactly then; one that was never
// measured holds zeros and must not pass for a run measured at 0.
inline bool HoldsReading(const MeasurementResult& r, int32_t run) {
  if (run == RunCorrection) {
    const TCorrection& c = r.Result;
    return r.NotComputable || c.MassA != 0 || c.AngleA != 0 || c.MassB != 0 || c.AngleB != 0;
  }
  const TVector4& m = r.Meas;
  return r.Freq != 0 || m.AmplA != 0 || m.PhA != 0 || m.AmplB != 0 || m.PhB != 0;
}

enum TSensorType : uint8_t { stAcceleration = 0, stVelocity = 1, stDisplacement = 2 };

struct SensorInfo {
  std::u16string Name;     // also the sensor file's name; at most 21 characters
  double Sensitivity = 0;  // mV per unit of the sensor's quantity; 0: no sensor assigned
  uint8_t Type = stAcceleration;
  double RangeLow = 0, RangeHigh = 0;
  double InputGain = 1.0;
  uint8_t Temperature = 0;  // the sensor has a temperature output
  double TemperatureGain = 0, TemperatureOffset = 0;
};

// What a record was captured under: everything that turns its counts into
// a unit, and its length. A record is shown, judged and stored with these,
// whatever the device, the set-up or the sensor database says later.
// Length 0: no record (a run never captured); FullScale 0: captured or read
// without a driver to give the scale.
struct TRecordConditions {
  int32_t FullScale = 0;           // ADC counts at the end of the input range
  int32_t RangeA = 0, RangeB = 0;  // input range of each channel in mV
  double SampleRate = 0;           // Hz
  int32_t Length = 0;              // samples per channel
  SensorInfo SensorA, SensorB;
  bool Holds() const { return Length > 0; }
  bool Known() const { return FullScale > 0; }
  int32_t Range(uint8_t channel) const { return channel == 0 ? RangeA : RangeB; }
  const SensorInfo& Sensor(uint8_t channel) const { return channel == 0 ? SensorA : SensorB; }
  // The one scale from counts to millivolts of a channel; 0 when unknown.
  double MillivoltsPerCount(uint8_t channel) const {
    return FullScale > 0 ? static_cast<double>(Range(channel)) / FullScale : 0.0;
  }
};

struct CaptureRecord {
  std::vector<int32_t> DataA;  // channel A in ADC counts; empty when absent
  std::vector<int32_t> DataB;  // channel B, two-plane jobs only
  int32_t T = 0;               // whole revolutions inside the window
  int32_t Start = 0;           // first sample of the revolution-synchronous window
  int32_t End = 0;             // end of the window (exclusive)
  TRecordConditions Conditions;  // what the samples were captured under
};

// What a spectrum, or the signal it is computed from, belongs to: the
// record (a run's index, or LiveRecord for the free-running buffers) of
// which job (TZelto::Job), the samples (converted, or transformed) and
// their sampling frequency in Hz. Length 0: no record, nothing to draw or
// read.
struct TSignalOrigin {
  static constexpr int32_t LiveRecord = RunCount;
  int32_t Record = 0;
  int32_t Length = 0;
  double SampleRate = 0;
  uint32_t Job = 0;
  bool Holds() const { return Length > 0; }
  friend bool operator==(const TSignalOrigin&, const TSignalOrigin&) = default;
};

// Rotor types: 0 no ISO tolerance, 1 type A on two planes, 2 type B,
// 3 type C, 4 type A on one plane. Lengths in mm, mass in kg, f in
// revolutions per second.
struct RotorDefinition {
  uint8_t Type = 0;
  double a = 0, b = 0, l = 0;
  uint8_t MassCentreLocation = 0;  // not 0: s is given
  double s = 0;
  double dA = 0, dB = 0;
  double m = 0;
  double f = 0;
  int32_t ClassIndex = 8;  // ISO 1940 grade index 0..10
};
