#pragma once
// The reference the transform suites compare the kept plans against: the
// radix-2 transform the spectra were once computed with, test signals and
// the distance of two spectra.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

// The radix-2 transform the spectra were computed with before: decimation
// in time on the separate arrays, twiddles each from its own sine and
// cosine, 1/n at the end.
inline void Radix2(std::vector<double>& re, std::vector<double>& im) {
  const size_t n = re.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j |= bit;
    if (i < j) {
      std::swap(re[i], re[j]);
      std::swap(im[i], im[j]);
    }
  }
  for (size_t span = 1; span < n; span *= 2)
    for (size_t block = 0; block < n; block += 2 * span)
      for (size_t k = 0; k < span; ++k) {
        const double a = -std::numbers::pi * double(k) / double(span);
        const double c = std::cos(a), s = std::sin(a);
        const size_t i = block + k, i1 = i + span;
        const double t1 = c * re[i1] - s * im[i1], t2 = c * im[i1] + s * re[i1];
        re[i1] = re[i] - t1;
        im[i1] = im[i] - t2;
        re[i] += t1;
        im[i] += t2;
      }
  for (size_t i = 0; i < n; ++i) {
    re[i] /= double(n);
    im[i] /= double(n);
  }
}

struct TSignal {
  std::vector<double> Re, Im;
};

// A windowed-looking real signal (im all zero) or a complex one.
inline TSignal Signal(int32_t n, bool complex, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> dist(-30000, 30000);
  TSignal s{std::vector<double>(n), std::vector<double>(n, 0.0)};
  for (int32_t i = 0; i < n; ++i) {
    s.Re[i] = dist(gen) + 20000 * std::sin(2 * std::numbers::pi * 37.25 * i / n);
    if (complex) s.Im[i] = dist(gen);
  }
  return s;
}

// Largest distance of two spectra, relative to the largest bin of `b`.
inline double RelativeDistance(const TSignal& a, const TSignal& b) {
  double largest = 0, distance = 0;
  for (size_t k = 0; k < a.Re.size(); ++k) {
    largest = std::max(largest, std::hypot(b.Re[k], b.Im[k]));
    distance = std::max(distance, std::hypot(a.Re[k] - b.Re[k], a.Im[k] - b.Im[k]));
  }
  return largest > 0 ? distance / largest : distance;
}
