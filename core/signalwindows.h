#pragma once
// Weights of the spectrum window functions, selected by `WindowType`.

#include <complex>
#include <cstdint>
#include <functional>
#include <span>
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

// What a window does to the amplitudes it passes, relative to the
// rectangular window: a sine's line is scaled by the coherent gain (the mean
// weight), the power of a band of bins, noise or a line spread over its
// neighbours, by the power gain (the mean squared weight). Dividing by them
// gives a sine the same amplitude and RMS through every window.
struct TWindowGains {
  double Coherent = 1.0;
  double Power = 1.0;
};

// The gains of a table of weights; an empty table (or one that sums to
// nothing) has the rectangular window's gains of 1.
TWindowGains WindowGains(std::span<const double> weights);

// WindowValue(windowType, n, i) for i = 0 ... n - 1, kept per thread: a
// thread transforms one length with one window again and again (both
// channels, every capture), so the weights are computed once, not per
// sample and transform. Valid until the thread asks for another window.
const std::vector<double>& WindowTable(uint8_t windowType, int32_t n);

// The gains of WindowTable(windowType, n), computed once with the table.
const TWindowGains& WindowTableGains(uint8_t windowType, int32_t n);

// Makes WindowTable(windowType, n) ready on this thread, asking `stopped`
// now and then on the way: false when it was stopped first, and the table
// is then made again at the next call. A spectrum thread calls it before
// transforming, so a window command that stops it never waits for the
// weights of a long record.
bool PrepareWindowTable(uint8_t windowType, int32_t n, const std::function<bool()>& stopped);

// A record is windowed without its mean: windowed, the mean would spread
// over the bins next to bin 0 (the window's own spectrum scaled by it) and
// every band starting there would count it as power. Writes
// window[m] x (samples[m] - mean) for m = 0 ... window.size() - 1 into out
// and returns the mean.
double WindowWithoutMean(const double* samples, std::span<const double> window, double* out);

// Bin 0 of a record windowed without its mean: its mean as the window
// passes it (the coherent gain), so the read-out, which divides by that
// gain, shows the record's mean at 0 Hz.
std::complex<double> MeanBin(double mean, const TWindowGains& gains);
