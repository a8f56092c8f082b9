#include "sensorfields.h"

#include <optional>

#include "numberfield.h"

namespace {

constexpr char16_t Backspace = 8;
constexpr char16_t FirstOtherLetter = 0x00C0;

bool IsAsciiLetterOrDigit(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

double& ValueOf(SensorInfo& s, TSensorValue v) {
  switch (v) {
    case svSensitivity: return s.Sensitivity;
    case svRangeLow: return s.RangeLow;
    case svRangeHigh: return s.RangeHigh;
    case svInputGain: return s.InputGain;
    case svTempGain: return s.TemperatureGain;
    case svTempOffset:
    default: return s.TemperatureOffset;
  }
}

}  // namespace

bool SensorNameKey(char16_t& key) {
  const bool passes = IsAsciiLetterOrDigit(key) || key == Backspace || key == u'_' || key == u'-' || key == u'+' ||
                      (key >= FirstOtherLetter && !IsSurrogate(key));
  if (!passes) key = 0;
  return passes;
}

TSensorFields SensorFieldsOf(const SensorInfo& sensor) {
  TSensorFields fields;
  fields.Name = sensor.Name;
  const auto type = static_cast<int8_t>(sensor.Type);
  fields.Type = type >= 0 && type <= 2 ? type : -1;
  SensorInfo copy = sensor;
  for (size_t i = 0; i < SensorValueCount; ++i)
    fields.Values[i] = FieldNumberOf(ValueOf(copy, static_cast<TSensorValue>(i)));
  fields.Temperature = sensor.Temperature != 0;
  return fields;
}

TSensorBuild BuildSensor(const TSensorFields& fields) {
  TSensorBuild build;
  if (fields.Name.empty()) {
    build.Check = sfcName;
    return build;
  }
  for (TSensorValue required : {svSensitivity, svInputGain}) {
    if (fields.Values[required].empty()) {
      build.Check = sfcValue;
      build.Field = required;
      return build;
    }
  }
  SensorInfo& s = build.Sensor;
  s.Name = fields.Name.substr(0, SensorNameLength);
  s.Type = static_cast<uint8_t>(fields.Type >= 0 && fields.Type <= 2 ? fields.Type : 0);
  for (size_t i = 0; i < SensorValueCount; ++i) {
    const auto field = static_cast<TSensorValue>(i);
    const TFieldNumber& number = fields.Values[i];
    const std::optional<double> value = number.empty() ? std::optional<double>(0.0) : FieldNumberValue(number);
    if (!value) {
      build.Check = sfcValue;
      build.Field = field;
      return build;
    }
    ValueOf(s, field) = *value;
  }
  s.Temperature = fields.Temperature ? 1 : 0;
  return build;
}
