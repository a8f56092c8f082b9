#pragma once
// The texts of the oscilloscope's read-out: the quantity a channel is shown
// in, levels at and between the cursors, cursor times and distances, and the
// RMS, average or peak-to-peak measurement over the record. Pure functions of
// the numbers the window gathers from the core, the plot and the driver's
// item lists.

#include <cstdint>
#include <string>

#include "channelstats.h"
#include "records.h"

// The quantity of a channel's levels: 0 voltage with AmplDispModeOscmV set
// or without a known sensor (SensorKnown); else the sensor's own quantity
// (type + 1).
uint8_t DisplayQuantity(const SensorInfo& sensor, uint8_t oscmV);

// Counts in millivolts: counts x (range / full scale); 0 without a full scale.
double CountsToMillivolts(double counts, int32_t inputRange, int32_t fullScale);

// A level in ADC counts as "number unit" in the channel's quantity, converted
// at frequency 0 (no amplitude mode applied).
std::u16string LevelText(double counts, int32_t inputRange, int32_t fullScale, const SensorInfo& sensor,
                         uint8_t quantity);

// The time of sample p at fs samples per second, counted from the record's
// first sample.
std::u16string CursorTimeText(int32_t p, double fs);

// The distance of two cursors d samples apart: a time ('t') or a frequency
// (any other type; "∞ Hz" when d is 0).
std::u16string DistanceText(int32_t d, double fs, char type);

// 'R' the RMS, 'A' the mean, 'P' |max - min| (any other letter the RMS).
double MeasuredCounts(char measType, const TChannelStats& stats);
// "RMS", "AVG" or "P-P".
std::u16string MeasTypeText(char measType);
// prefix + number + spaced unit, e.g. "A: 0,250 mV".
std::u16string MeasurementText(const std::u16string& prefix, char measType, const TChannelStats& stats,
                               int32_t inputRange, int32_t fullScale, const SensorInfo& sensor, uint8_t quantity);
