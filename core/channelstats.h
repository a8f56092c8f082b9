#pragma once
// Statistics of one channel of a capture, with the overload test.

#include <cstdint>
#include <optional>
#include <vector>

#include "records.h"

struct TChannelStats {
  double Mean = 0, Rms = 0, Min = 0, Max = 0;
  bool Overload = false;
};

// Fraction of the ADC full scale above which a sample counts as overload.
inline constexpr double kOverloadLevel = 0.92;

// Mean, RMS, minimum and maximum of n raw samples in ADC counts (minimum and
// maximum start from +fullScale and -fullScale), and whether any |x| is
// strictly above 0.92 x fullScale. n < 1 gives all zeros.
TChannelStats CalcChannelStats(const int32_t* x, int32_t n, double fullScale);

// The samples [Start, End) of a record that its statistics cover.
struct TSampleSpan {
  int32_t Start = 0;
  int32_t End = 0;
};

// A balancing run's statistics cover its window of whole revolutions, so a
// part of a revolution does not bias them; the free-running capture's (run
// null) cover the whole buffer. Empty when the run's window does not lie
// inside the buffer.
TSampleSpan StatisticsSpan(const CaptureRecord* run, int32_t buffLength);

// CalcChannelStats over the span of a channel's samples; none when the span
// is empty or the channel lacks its samples (missing or too short).
std::optional<TChannelStats> SpanStats(const std::vector<int32_t>& samples, TSampleSpan span, double fullScale);
