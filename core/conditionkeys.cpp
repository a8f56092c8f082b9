#include "conditionkeys.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string>

#include "conditionlimits.h"
#include "datafilevalues.h"
#include "zelto.h"

namespace datafile {

namespace {

constexpr size_t MaxSensorName = 21;

std::u16string Key(std::u16string_view prefix, std::u16string_view field) {
  return std::u16string(prefix) + u"." + std::u16string(field);
}

// Two records of one sensor: the file's decimals may round the last digit.
bool Near(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b)); }

// What a section stores of a sensor's figures. A sensitivity of 0 (or none)
// is a channel without a sensor, or an older file's sensor by its name only:
// only the name says anything. Figures no sensor can have (a type,
// sensitivity or input gain outside every sensor's) are a damaged record:
// the reader takes this PC's sensor of that name, or none, and says so.
enum class TStoredFigures { None, Possible, Impossible };

TStoredFigures StoredFigures(const XmlIniFile& d, std::u16string_view section, std::u16string_view prefix) {
  const double sensitivity = d.ReadFloat(section, Key(prefix, u"Sensitivity"), 0.0);
  if (sensitivity == 0) return TStoredFigures::None;
  const bool possible = conditionlimits::PossibleSensorRecord(
      d.ReadInteger(section, Key(prefix, u"Type"), stAcceleration), sensitivity,
      d.ReadFloat(section, Key(prefix, u"InputGain"), 1.0));
  return possible ? TStoredFigures::Possible : TStoredFigures::Impossible;
}

// The channel a sensor's keys belong to, by the last letter of their prefix
// (SensorA, VibSensorB): what a note names when the sensor has no name.
std::u16string ChannelOf(std::u16string_view prefix) { return std::u16string(prefix.substr(prefix.size() - 1)); }

}  // namespace

bool SameSensor(const SensorInfo& a, const SensorInfo& b) {
  return a.Type == b.Type && Near(a.Sensitivity, b.Sensitivity) && Near(a.RangeLow, b.RangeLow) &&
         Near(a.RangeHigh, b.RangeHigh) && Near(a.InputGain, b.InputGain) && a.Temperature == b.Temperature &&
         Near(a.TemperatureGain, b.TemperatureGain) && Near(a.TemperatureOffset, b.TemperatureOffset);
}

void WriteSensorKeys(XmlIniFile& d, std::u16string_view section, std::u16string_view prefix,
                     const SensorInfo& sensor) {
  d.WriteString(section, Key(prefix, u"Name"), sensor.Name);
  d.WriteInteger(section, Key(prefix, u"Type"), sensor.Type);
  d.WriteFloat(section, Key(prefix, u"Sensitivity"), sensor.Sensitivity);
  d.WriteFloat(section, Key(prefix, u"RangeLow"), sensor.RangeLow);
  d.WriteFloat(section, Key(prefix, u"RangeHigh"), sensor.RangeHigh);
  d.WriteFloat(section, Key(prefix, u"InputGain"), sensor.InputGain);
  d.WriteInteger(section, Key(prefix, u"Temperature"), sensor.Temperature ? 1 : 0);
  d.WriteFloat(section, Key(prefix, u"TemperatureGain"), sensor.TemperatureGain);
  d.WriteFloat(section, Key(prefix, u"TemperatureOffset"), sensor.TemperatureOffset);
}

void WriteScaleKeys(XmlIniFile& d, std::u16string_view section, const TRecordConditions& c) {
  d.WriteInteger(section, u"FullScale", c.FullScale);
  d.WriteInteger(section, u"InputRangeA", c.RangeA);
  d.WriteInteger(section, u"InputRangeB", c.RangeB);
  d.WriteFloat(section, u"SamplingFrequency", c.SampleRate);
}

void WriteConditionKeys(XmlIniFile& d, std::u16string_view section, const TRecordConditions& c, bool withLength) {
  WriteScaleKeys(d, section, c);
  if (withLength) d.WriteInteger(section, u"Length", c.Length);
  WriteSensorKeys(d, section, u"SensorA", c.SensorA);
  WriteSensorKeys(d, section, u"SensorB", c.SensorB);
}

bool HoldsScaleKeys(const XmlIniFile& d, std::u16string_view section) {
  for (std::u16string_view key : {u"FullScale", u"InputRangeA", u"InputRangeB", u"SamplingFrequency"})
    if (!HasKey(d, section, key)) return false;
  return true;
}

bool ReadScaleKeys(const XmlIniFile& d, std::u16string_view section, TRecordConditions& into) {
  if (!HoldsScaleKeys(d, section)) return false;
  const int32_t fullScale = d.ReadInteger(section, u"FullScale", 0);
  const int32_t rangeA = d.ReadInteger(section, u"InputRangeA", 0);
  const int32_t rangeB = d.ReadInteger(section, u"InputRangeB", 0);
  const double rate = d.ReadFloat(section, u"SamplingFrequency", 0.0);
  // Values no device model has were never measured: the reader assumes
  // this device's, as for a file without them, and says so.
  using namespace conditionlimits;
  if (!PossibleFullScale(fullScale) || !PossibleInputRange(rangeA) || !PossibleInputRange(rangeB) ||
      !PossibleSamplingFrequency(rate))
    return false;
  into.FullScale = fullScale;
  into.RangeA = rangeA;
  into.RangeB = rangeB;
  into.SampleRate = rate;
  return true;
}

bool HoldsSensorRecord(const XmlIniFile& d, std::u16string_view section, std::u16string_view prefix) {
  return StoredFigures(d, section, prefix) == TStoredFigures::Possible;
}

SensorInfo ReadStoredSensor(const XmlIniFile& d, std::u16string_view section, std::u16string_view prefix,
                            const TZelto& core, bool noteAssumed) {
  SensorInfo stored;
  stored.Name = d.ReadString(section, Key(prefix, u"Name"), u"", MaxSensorName);
  const TStoredFigures figures = StoredFigures(d, section, prefix);
  if (stored.Name.empty() && figures != TStoredFigures::Possible) {
    // Without a name there is no other sensor to take: the channel has
    // none, as one that never had a sensor, which needs no word.
    if (figures == TStoredFigures::Impossible) core.NoteCondition(cnSensorImpossible, ChannelOf(prefix));
    return {};
  }
  SensorInfo local;
  const bool here = !stored.Name.empty() && core.LoadSensor(stored.Name, local);
  if (figures != TStoredFigures::Possible) {
    // A name only is noted where the caller asks; a damaged record always.
    if (noteAssumed || figures == TStoredFigures::Impossible)
      core.NoteCondition(here ? cnSensorAssumed : cnSensorUnknown, stored.Name);
    if (here) return local;
    // Without its record the channel's counts can't be given a unit; the
    // name stays, so the user sees which sensor it was.
    return stored;
  }
  stored.Type = static_cast<uint8_t>(d.ReadInteger(section, Key(prefix, u"Type"), 0));
  stored.Sensitivity = d.ReadFloat(section, Key(prefix, u"Sensitivity"), 0.0);
  stored.RangeLow = d.ReadFloat(section, Key(prefix, u"RangeLow"), 0.0);
  stored.RangeHigh = d.ReadFloat(section, Key(prefix, u"RangeHigh"), 0.0);
  stored.InputGain = d.ReadFloat(section, Key(prefix, u"InputGain"), 1.0);
  stored.Temperature = d.ReadInteger(section, Key(prefix, u"Temperature"), 0) != 0;
  stored.TemperatureGain = d.ReadFloat(section, Key(prefix, u"TemperatureGain"), 0.0);
  stored.TemperatureOffset = d.ReadFloat(section, Key(prefix, u"TemperatureOffset"), 0.0);
  // A record without a name was never in a database (set up by hand).
  if (stored.Name.empty()) return stored;
  // A file that is there but unreadable is told with its reason already.
  const bool unreadable = !here && core.FileFailure.Error != ENOENT && core.FileFailure.Error != 0;
  if (!here && !unreadable) core.NoteCondition(cnSensorMissing, stored.Name);
  if (here && !SameSensor(stored, local)) core.NoteCondition(cnSensorDiffers, stored.Name);
  return stored;
}

}  // namespace datafile
