#pragma once
// What a record's conditions can be: the values the known device models
// report (their full scales, input ranges, sampling rates and memories) and
// the span a vibration sensor's figures lie in. A stored value outside them
// was never measured, and no reader of a file takes it: the readers take
// their stated fallback instead (conditionkeys.h, datafilevalues.h,
// sensorfiles.cpp). The driver library's tests hold every model to these
// facts, so a new model with other values is added here with them.

#include <algorithm>
#include <array>
#include <cstdint>

#include "records.h"

namespace conditionlimits {

// Samples per channel in the largest memory of any model: no capture, and
// so no stored record or raw-file block, is longer.
inline constexpr int32_t LargestDeviceMemory = 0x80000;

// The full scale (ADC counts at the end of the input range) and the input
// ranges in mV of each model, in the order of its list: the FTDI model, and
// the converter front end the FX2 and network models share (also that of
// demo mode).
struct TModelScale {
  int32_t FullScale;
  std::array<int32_t, 3> RangesMv;
};
inline constexpr std::array<TModelScale, 2> ModelScales{{{2048, {1000, 500, 250}}, {0x8000, {2500, 1000, 500}}}};
// Sampling rates in Hz: every model's list is a part of this one.
inline constexpr std::array<int32_t, 13> SamplingRatesHz{200000, 100000, 50000, 20000, 10000, 5000, 2000,
                                                          1000,   500,    200,   100,   50,    20};

// mV per unit of a sensor's quantity (per g, mm/s or µm), and the gain in
// front of an input: from the most sensitive to the least sensitive sensor
// and amplifier there is, with room on both sides.
inline constexpr double LowestSensitivity = 1e-3, HighestSensitivity = 1e5;
inline constexpr double LowestInputGain = 1e-3, HighestInputGain = 1e3;

template <typename T, size_t N>
constexpr bool Listed(const std::array<T, N>& list, double value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

constexpr bool PossibleFullScale(int32_t value) {
  return std::any_of(ModelScales.begin(), ModelScales.end(),
                     [value](const TModelScale& m) { return m.FullScale == value; });
}
constexpr bool PossibleInputRange(int32_t value) {
  return std::any_of(ModelScales.begin(), ModelScales.end(),
                     [value](const TModelScale& m) { return Listed(m.RangesMv, value); });
}
constexpr bool PossibleSamplingFrequency(double hz) { return Listed(SamplingRatesHz, hz); }

// Samples of one channel of a record or a raw-file block.
constexpr bool PossibleLength(int32_t samples) { return samples > 0 && samples <= LargestDeviceMemory; }

constexpr bool PossibleSensitivity(double mvPerUnit) {
  return mvPerUnit >= LowestSensitivity && mvPerUnit <= HighestSensitivity;
}
constexpr bool PossibleInputGain(double gain) { return gain >= LowestInputGain && gain <= HighestInputGain; }
constexpr bool PossibleSensorType(int32_t type) { return type >= stAcceleration && type <= stDisplacement; }

// A sensor's figures as a file holds them: a known type and input gain, and
// a plausible sensitivity or none at all (0: a sensor without a record, as
// the set-up asks for one).
constexpr bool PossibleSensorOrNone(int32_t type, double sensitivity, double gain) {
  return PossibleSensorType(type) && PossibleInputGain(gain) && (sensitivity == 0 || PossibleSensitivity(sensitivity));
}
// The same with a sensitivity: a whole sensor record.
constexpr bool PossibleSensorRecord(int32_t type, double sensitivity, double gain) {
  return sensitivity != 0 && PossibleSensorOrNone(type, sensitivity, gain);
}

}  // namespace conditionlimits
