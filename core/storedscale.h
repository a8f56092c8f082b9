#pragma once
// The scale of a run stored before the conditions were kept. Such a file
// names the device's settings only by their positions in its lists, but it
// keeps each run's 1x amplitude in mV beside the samples in counts: their
// ratio is the millivolts per count the run was measured with, which one
// known device model's full scale and input range give.

#include <cstdint>
#include <optional>

#include "records.h"

struct TFoundScale {
  int32_t FullScale = 0;
  int32_t RangeA = 0, RangeB = 0;  // mV
};

struct TScaleSearch {
  // The run has samples and a stored amplitude to compare them with.
  bool Compared = false;
  // The scale that gives the stored amplitudes; none when no model's does.
  std::optional<TFoundScale> Scale;
};

// Every channel of `record` with samples and a stored amplitude in `stored`
// must meet one input range of the same model, within a fifth (the stored
// amplitude is the average of the run's readings, the samples those of its
// last one; the ranges of all models lie further apart). A channel without
// them takes the model's range at its stored list position (`gain`).
TScaleSearch ScaleOfStoredAmplitudes(const CaptureRecord& record, const TVector4& stored, bool twoChannels,
                                     int32_t gainA, int32_t gainB);
