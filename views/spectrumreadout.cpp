#include "spectrumreadout.h"

#include <algorithm>
#include <cmath>

#include "formatting.h"

double BinFrequency(double bin, double sampleRate, int32_t length) {
  return length > 0 ? bin * sampleRate / length : 0;
}

int32_t FrequencyToBin(double f, const TBinScale& scale) {
  if (scale.Bins <= 0) return 0;
  if (f == 0) return 0;
  const int32_t last = scale.Bins - 1;
  const double spacing = scale.Frequency(1);
  if (!(f > 0) || !(spacing > 0) || !std::isfinite(f)) return last;
  // Only the bins next to the estimate can hold f; the tests are those of a
  // walk over every bin.
  const double estimate = std::floor(f / spacing);
  if (estimate > last) return last;
  const int64_t guess = static_cast<int64_t>(estimate);
  for (int64_t i = std::max<int64_t>(guess - 2, 0); i <= std::min<int64_t>(guess + 2, last); ++i) {
    const double fi = scale.Frequency(static_cast<double>(i));
    const double next = scale.Frequency(static_cast<double>(i + 1));
    if (f == fi) return static_cast<int32_t>(i);
    // Past the last bin its upper neighbour is no bin of the spectrum.
    if (fi < f && f < next) return static_cast<int32_t>(f - fi < next - f || i == last ? i : i + 1);
  }
  return last;
}

int32_t TransformLength(bool dftMode, bool asyncMode, int32_t start, int32_t end, int32_t buffLength) {
  return dftMode && !asyncMode ? end - start : buffLength;
}

int32_t CursorTBin(bool asyncMode, bool dftMode, int32_t revolutions, int32_t start, int32_t end, int32_t buffLength) {
  if (asyncMode) return 0;
  if (dftMode) return revolutions;
  if (end == start) return 0;
  return Round(static_cast<double>(buffLength) * revolutions / (end - start));
}

std::u16string CursorFrequencyText(int32_t bin, double fs, int32_t n, bool asyncMode) {
  // A transform without samples has no bin frequency (also a free-running
  // buffer of length 0).
  if (n == 0) return asyncMode ? FormatFrequency(0, 1) : u"0Hz";
  return FormatFrequency(BinFrequency(bin, fs, n), 1);
}

std::u16string AmplitudeText(std::complex<double> x, const TAmplitudeScale& scale, const SensorInfo& sensor) {
  // Bin 0 holds the record's mean itself, a signed real value; every other
  // bin holds half the peak of its sine.
  const double a = scale.Mean ? std::abs(x.real()) : 2 * std::abs(x);
  if (!scale.Linear) {
    if (a == 0 || scale.FullScale <= 0) return u"?dB";
    return FormatLevel(-20 * std::log10(a / scale.FullScale));
  }
  const double mv = scale.FullScale == 0 ? 0 : a * (static_cast<double>(scale.InputRange) / scale.FullScale);
  const std::u16string unit = AmplitudeUnitText(scale.Quantity, 0);
  if (!scale.Mean || x.real() >= 0) return FormatAmplitude(sensor, mv, scale.BinFrequency, scale.Quantity, 0) + unit;
  // The magnitude is converted as any amplitude is (capped alike), then
  // signed.
  return FormatNumber(-ConvertAmplitude(sensor, mv, scale.BinFrequency, scale.Quantity)) + unit;
}

std::u16string PhaseText(std::complex<double> x, const SensorInfo& sensor, uint8_t quantity) {
  if (std::abs(x) == 0) return u"?";
  return FormatPhase(sensor, std::arg(x), quantity);
}

std::array<std::u16string, BandCount>& BandNames() {
  static std::array<std::u16string, BandCount> names = {
      u"RMS: X - Y",          u"RMS: 2 Hz - 1 kHz",   u"RMS: 10 Hz - 1 kHz",
      u"RMS: 100 Hz - 1 kHz", u"RMS: 1 kHz - 10 kHz", u"RMS: 0 Hz - xxxkHz",
  };
  return names;
}

std::u16string HalfRateBandName(double fs) { return u"RMS: 0 Hz - " + FormatFrequency(fs * 0.5, 1); }

bool BandEnabled(int band, double fs) {
  if (band >= 1 && band <= 3) return fs > 1000;
  if (band == 4) return fs > 10000;
  return true;
}

TBinRange BandBins(int band, int32_t cursorX, int32_t cursorY, const TBinScale& scale) {
  const auto bin = [&](double f) { return FrequencyToBin(f, scale); };
  switch (band) {
    case 0: return {std::min(cursorX, cursorY), std::max(cursorX, cursorY)};
    case 1: return {bin(2.0), bin(1000.0)};
    case 2: return {bin(10.0), bin(1000.0)};
    case 3: return {bin(100.0), bin(1000.0)};
    case 4: return {bin(1000.0), bin(10000.0)};
    default: return {0, scale.Bins - 1};
  }
}

double BandRms(std::span<const std::complex<double>> spectrum, TBinRange bins, double mvPerCount,
               const TBinScale& scale, const SensorInfo& sensor, uint8_t quantity, double powerGain) {
  if (scale.Bins <= 0) return 0;
  const int64_t lo = std::max<int64_t>(bins.Lo, 1);
  const int64_t hi = std::min<int64_t>({bins.Hi, scale.Bins, static_cast<int64_t>(spectrum.size())});
  double sum = 0;
  for (int64_t i = lo; i < hi; ++i) {
    const double mv = mvPerCount * 2 * std::abs(spectrum[static_cast<size_t>(i)]);
    const double x = ConvertAmplitude(sensor, mv, scale.Frequency(static_cast<double>(i)), quantity);
    sum += x * x;
  }
  return std::sqrt(0.5 * sum / powerGain);
}
