#pragma once
// Weights of the spectrum window functions, selected by `WindowType`.

#include <cstdint>
#include <vector>

enum TWindowType : uint8_t {
  wtRectangular = 0,
  wtBlackman = 1,
  wtFlatTop = 2,
  wtGaussian = 3,
  wtHamming = 4,
  wtHann = 5,
  wtHarris = 6,
  wtTriangle = 7,
};

// Weight of sample i of a window n samples long. Unknown types, and windows
// of fewer than two samples (whose cosine terms would divide by n - 1 = 0),
// are rectangular.
double WindowValue(uint8_t windowType, int32_t n, double i);

// WindowValue(windowType, n, i) for i = 0 ... n - 1, kept per thread: a
// thread transforms one length with one window again and again (both
// channels, every capture), so the weights are computed once, not per
// sample and transform. Valid until the thread asks for another window.
const std::vector<double>& WindowTable(uint8_t windowType, int32_t n);
