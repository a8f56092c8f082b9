#include "sensorlist.h"

#include <algorithm>

#include "formatting.h"
#include "textconv.h"
#include "zelto.h"

int CompareSensorNames(std::u16string_view a, std::u16string_view b) {
  const std::u16string upperA = rtl::ToUpperUtf16(a), upperB = rtl::ToUpperUtf16(b);
  for (size_t i = 0;; ++i) {
    // The end of a name compares as its terminator 0.
    const int ua = i < upperA.size() ? upperA[i] : 0;
    const int ub = i < upperB.size() ? upperB[i] : 0;
    if (ua != ub || ua == 0) return ua - ub;
  }
}

namespace {

bool NameLess(std::u16string_view a, std::u16string_view b) { return CompareSensorNames(a, b) < 0; }

std::vector<std::u16string> SensorFileNames(const TZelto& core) {
  std::vector<std::u16string> names;
  std::u16string name;
  // The enumeration ends only when it says so; the count is not trusted to
  // bound it, because files may come and go meanwhile.
  for (bool first = true; core.FindSensorFile(&name, first) != 0; first = false) names.push_back(name);
  return names;
}

}  // namespace

std::vector<TSensorEntry> LoadSensorEntries(const TZelto& core) {
  std::vector<TSensorEntry> entries;
  if (core.FindSensorFile(nullptr, false) == 0) return entries;
  for (std::u16string& name : SensorFileNames(core)) {
    TSensorEntry entry{std::move(name), {}};
    if (core.LoadSensor(entry.FileName, entry.Sensor)) entries.push_back(std::move(entry));
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const TSensorEntry& a, const TSensorEntry& b) { return NameLess(a.FileName, b.FileName); });
  return entries;
}

std::vector<std::u16string> SortedSensorNames(const TZelto& core) {
  std::vector<std::u16string> names = SensorFileNames(core);
  std::stable_sort(names.begin(), names.end(), NameLess);
  return names;
}

SensorInfo NoSensor() {
  SensorInfo none;
  none.InputGain = 0;
  return none;
}

// A sensor whose figures are not known (a file that could not be read, an
// older job's sensor this PC lacks) has none to print: a 0 or a type would
// read as a value.
std::u16string SensorTypeText(const SensorInfo& sensor, const TSensorTexts& texts) {
  return SensorKnown(sensor) ? texts.Types[sensor.Type] : std::u16string(UnknownSensorText);
}

std::u16string SensitivityText(const SensorInfo& sensor) {
  if (!SensorKnown(sensor)) return std::u16string(UnknownSensorText);
  return FormatNumber(sensor.Sensitivity) + SensitivityUnitText(sensor.Type);
}

std::u16string FrequencyRangeText(const SensorInfo& sensor) {
  if (!SensorKnown(sensor)) return std::u16string(UnknownSensorText);
  return FormatFrequency(sensor.RangeLow, 1) + u" - " + FormatFrequency(sensor.RangeHigh, 1);
}

std::u16string TemperatureText(const SensorInfo& sensor, const TSensorTexts& texts) {
  if (!SensorKnown(sensor)) return std::u16string(UnknownSensorText);
  return sensor.Temperature ? texts.Yes : texts.No;
}
