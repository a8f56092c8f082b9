#include "signalwindows.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double CosineSum(double a, double c0, double c1, double c2, double c3) {
  return c0 - c1 * std::cos(a) + c2 * std::cos(2 * a) - c3 * std::cos(3 * a);
}

// Distance from the middle: for even n the two middle samples both count
// as distance 0, so the bell stays symmetric.
double GaussianWeight(int32_t n, double i) {
  const int32_t h = (n - 1) / 2;
  const int32_t m = n / 2;
  const double d = i <= h ? (m - 1) - i : i - m;
  const double alpha = 3.0;
  const double nn = static_cast<double>(n);
  return std::exp(-0.5 * alpha * alpha * d * d / (nn * nn));
}

double TriangleWeight(int32_t n, double i) {
  const double ramp = 2 * i / (n - 1);
  return i <= (n - 1) / 2 ? ramp : 2 - ramp;
}

}  // namespace

double WindowValue(uint8_t windowType, int32_t n, double i) {
  if (n < 2) return 1.0;
  const double a = 2 * std::numbers::pi * i / (n - 1);
  switch (windowType) {
    case wtBlackman: return CosineSum(a, 0.42, 0.5, 0.08, 0);
    case wtFlatTop: return CosineSum(a, 0.2810639, 0.5208972, 0.1980399, 0);
    case wtGaussian: return GaussianWeight(n, i);
    case wtHamming: return CosineSum(a, 0.54, 0.46, 0, 0);
    case wtHann: return CosineSum(a, 0.5, 0.5, 0, 0);
    case wtHarris: return CosineSum(a, 0.36, 0.49, 0.14, 0.01);
    case wtTriangle: return TriangleWeight(n, i);
    default: return 1.0;
  }
}

TWindowGains WindowGains(std::span<const double> weights) {
  double sum = 0, squares = 0;
  for (const double w : weights) {
    sum += w;
    squares += w * w;
  }
  if (weights.empty() || sum <= 0 || squares <= 0) return {};
  const double n = static_cast<double>(weights.size());
  return {sum / n, squares / n};
}

double WindowWithoutMean(const double* samples, std::span<const double> window, double* out) {
  const size_t n = window.size();
  if (n == 0) return 0;
  double sum = 0;
  for (size_t m = 0; m < n; ++m) sum += samples[m];
  const double mean = sum / static_cast<double>(n);
  for (size_t m = 0; m < n; ++m) out[m] = window[m] * (samples[m] - mean);
  return mean;
}

std::complex<double> MeanBin(double mean, const TWindowGains& gains) { return mean * gains.Coherent; }

namespace {

struct TTable {
  uint8_t Type = 0;
  bool Whole = false;  // false while being made, or when a stop cut it short
  std::vector<double> Weights;
  TWindowGains Gains;
};

// Weights between two questions whether the caller was stopped: a million
// weights take tens of milliseconds, a fraction of that is well within a
// frame.
constexpr int32_t kWeightsPerStopCheck = 1 << 14;

TTable& ThreadTable() {
  thread_local TTable table;
  return table;
}

bool Holds(const TTable& table, uint8_t windowType, int32_t n) {
  return table.Whole && table.Type == windowType && table.Weights.size() == static_cast<size_t>(std::max(n, 0));
}

// The weights are appended, not written over a zeroed table: the first
// touch of fresh memory, megabytes at a million weights, then falls between
// the stop checks too.
bool Fill(TTable& table, uint8_t windowType, int32_t n, const std::function<bool()>& stopped) {
  table.Whole = false;
  table.Type = windowType;
  table.Weights.clear();
  if (stopped && stopped()) return false;
  table.Weights.reserve(static_cast<size_t>(std::max(n, 0)));
  for (int32_t i = 0; i < n; ++i) {
    if (i > 0 && i % kWeightsPerStopCheck == 0 && stopped && stopped()) return false;
    table.Weights.push_back(WindowValue(windowType, n, i));
  }
  table.Gains = WindowGains(table.Weights);
  table.Whole = true;
  return true;
}

const TTable& Table(uint8_t windowType, int32_t n) {
  TTable& table = ThreadTable();
  if (!Holds(table, windowType, n)) Fill(table, windowType, n, {});
  return table;
}

}  // namespace

bool PrepareWindowTable(uint8_t windowType, int32_t n, const std::function<bool()>& stopped) {
  TTable& table = ThreadTable();
  return Holds(table, windowType, n) || Fill(table, windowType, n, stopped);
}

const std::vector<double>& WindowTable(uint8_t windowType, int32_t n) { return Table(windowType, n).Weights; }

const TWindowGains& WindowTableGains(uint8_t windowType, int32_t n) { return Table(windowType, n).Gains; }
