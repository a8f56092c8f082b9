#pragma once
// The synchronous 1x vector of a reading and the vector mean of readings.

#include <complex>
#include <cstdint>

// Single-bin DFT at exactly `revolutions` cycles over n samples:
// (1/n) sum x_m e^(-j 2 pi T m / n). The window holds whole revolutions, so
// the rotation frequency falls on this bin without leakage. n < 1 gives 0.
std::complex<double> SyncBin(const int32_t* x, int32_t n, int32_t revolutions);

struct TPolar {
  double Ampl = 0, Phase = 0;
};

// Peak amplitude in millivolts and phase in (-pi, pi] of a bin of ADC
// counts: range x 2 |bin| / fullScale. A zero bin, and a full scale of 0,
// give amplitude 0 and phase 0.
TPolar BinToPolar(std::complex<double> bin, double rangeMv, double fullScale);

// Vector mean of count polar values; a mean of exactly 0 is amplitude 0 and
// phase 0.
TPolar PolarMean(const TPolar* values, int32_t count);
