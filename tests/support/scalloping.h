#pragma once
// The scalloping loss of a spectrum window, from its weights: how far below
// its amplitude a sine halfway between two bins reads, the bound of a
// window's amplitude error that the spectrum suites check against.

#include <complex>
#include <cstdint>
#include <numbers>

#include "signalwindows.h"

namespace testsupport {

// 1 - the window's response halfway between two bins over its response on
// a bin, for a window of n samples.
inline double ScallopingLoss(uint8_t windowType, int32_t n) {
  double onBin = 0;
  std::complex<double> halfway;
  for (int32_t m = 0; m < n; ++m) {
    const double w = WindowValue(windowType, n, m);
    onBin += w;
    halfway += w * std::polar(1.0, -std::numbers::pi * m / n);
  }
  return 1 - std::abs(halfway) / onBin;
}

}  // namespace testsupport
