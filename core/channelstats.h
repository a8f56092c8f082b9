#pragma once
// Statistics of one channel of a capture, with the overload test.

#include <cstdint>

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
