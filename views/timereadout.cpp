#include "timereadout.h"

#include <cmath>

#include "formatting.h"

uint8_t DisplayQuantity(const SensorInfo& sensor, uint8_t oscmV) {
  if (oscmV != 0 || !SensorKnown(sensor)) return 0;
  return static_cast<uint8_t>(sensor.Type + 1);
}

double CountsToMillivolts(double counts, int32_t inputRange, int32_t fullScale) {
  if (fullScale == 0) return 0;
  return counts * (static_cast<double>(inputRange) / fullScale);
}

std::u16string LevelText(double counts, int32_t inputRange, int32_t fullScale, const SensorInfo& sensor,
                         uint8_t quantity) {
  const double mv = CountsToMillivolts(counts, inputRange, fullScale);
  return FormatNumber(ConvertAmplitude(sensor, mv, 0.0, quantity)) + AmplitudeUnitText(quantity, 0);
}

std::u16string CursorTimeText(int32_t p, double fs) { return FormatTime(fs > 0 ? p / fs : 0.0); }

std::u16string DistanceText(int32_t d, double fs, char type) {
  if (type == 't') return CursorTimeText(d, fs);
  if (d == 0) return u"\u221E Hz";
  return FormatFrequency(fs / d, 1);
}

double MeasuredCounts(char measType, const TChannelStats& stats) {
  switch (measType) {
    case 'A': return stats.Mean;
    case 'P': return std::fabs(stats.Max - stats.Min);
    default: return stats.Rms;
  }
}

std::u16string MeasTypeText(char measType) {
  switch (measType) {
    case 'A': return u"AVG";
    case 'P': return u"P-P";
    default: return u"RMS";
  }
}

std::u16string MeasurementText(const std::u16string& prefix, char measType, const TChannelStats& stats,
                               int32_t inputRange, int32_t fullScale, const SensorInfo& sensor, uint8_t quantity) {
  const double mv = CountsToMillivolts(MeasuredCounts(measType, stats), inputRange, fullScale);
  return prefix + FormatNumber(ConvertAmplitude(sensor, mv, 0.0, quantity)) + AmplitudeUnitText(quantity, 0);
}
