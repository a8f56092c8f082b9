#pragma once
// Comparing the runs of a job. A run's averaged vectors are millivolts of
// the sensor it was measured with (its record's conditions), and the sensor
// of a channel may change between runs: one breaks and another is at hand.
// Whatever compares or combines runs (the influence coefficients and every
// correction, the unbalance in per cent, the reduction, the plane diagrams'
// scale) first brings a channel's runs into one unit here, each run with its
// own sensor; millivolts of two sensors are never mixed.
//
// The unit of a channel is set by its reference, the first run given (the
// initial run):
// - every run measured at the reference's scale (the same sensitivity,
//   input gain and quantity; a sensor without a known sensitivity only with
//   its own name): their millivolts as stored. A job with one sensor per
//   channel is compared exactly as measured.
// - otherwise, when every run's sensor has a known scale: each run's vector
//   in the reference sensor's quantity, in the unit it is shown in (m/s²,
//   mm/s or µm; the display's own conversion, formatting.h), from its own
//   sensitivity and input gain, and integrated or differentiated at its own
//   rotation frequency where its sensor measures another quantity.
// - otherwise (a sensor without a sensitivity, as an older file names one
//   that this PC lacks, among different sensors): no unit. Such runs are not
//   compared, and no correction, per cent, reduction or scale is given
//   rather than one that mixes two scales.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "records.h"
#include "syncvector.h"

// One channel of one run: its averaged 1x vector (peak mV, radians), its
// rotation frequency in Hz and the sensor it was measured with.
struct TChannelReading {
  TPolar Vector;
  double Freq = 0;
  SensorInfo Sensor;
};

// The vectors of the readings in one unit, in the order given; empty when
// they have none.
std::optional<std::vector<TPolar>> InOneUnit(std::span<const TChannelReading> readings);

// The averaged vectors of several runs, in the order asked, each channel in
// its one unit; a channel whose runs have none is flagged and holds zeros.
struct TComparedRuns {
  std::vector<TVector4> Meas;
  bool ChannelA = false, ChannelB = false;
  bool Comparable(uint8_t channel) const { return channel == 0 ? ChannelA : ChannelB; }
};

// A run's amplitude on a channel and the initial run's, in one unit.
struct TComparedAmplitudes {
  double Run = 0, Initial = 0;
};
