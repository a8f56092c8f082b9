#pragma once
// The rules of the sensor editor without its window: the name's key filter,
// the field texts of a sensor record and the record the fields describe.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "numberfield.h"
#include "records.h"

// Sensor names are file names of at most 20 characters.
constexpr int SensorNameLength = 20;
// The value fields take at most 10 characters.
constexpr int SensorValueLength = 10;

// The name's key filter: letters, digits, Backspace, "_", "-" and "+"
// pass; every other ASCII key (blank, ".", "\", other punctuation, control
// characters) is refused (set to 0). Beyond ASCII, letters of other
// alphabets pass (from U+00C0 on, surrogates excepted), so the name stays
// a valid file name. True when the key passes.
bool SensorNameKey(char16_t& key);

// The six value fields in the order of the window.
enum TSensorValue : uint8_t { svSensitivity, svRangeLow, svRangeHigh, svInputGain, svTempGain, svTempOffset };
constexpr size_t SensorValueCount = 6;

// The editor's fields: texts, and the values the number fields were given.
struct TSensorFields {
  std::u16string Name;
  int Type = 0;  // the checked type button, -1 none
  std::array<TFieldNumber, SensorValueCount> Values;
  bool Temperature = false;
};

// The fields of a record as the editor shows them, each number field
// keeping the record's value; a type other than 0, 1, 2 checks no button.
TSensorFields SensorFieldsOf(const SensorInfo& sensor);

// What blocks OK: the first empty required field (name, sensitivity, input
// gain, in this order), then the first value text that is no number.
enum TSensorFieldCheck : uint8_t { sfcComplete, sfcName, sfcValue };
struct TSensorBuild {
  TSensorFieldCheck Check = sfcComplete;
  TSensorValue Field = svSensitivity;  // the value field of sfcValue
  SensorInfo Sensor;                   // the record when complete
};
// An empty optional value field reads 0; a field that kept its given value
// reads that value; no type checked reads type 0.
TSensorBuild BuildSensor(const TSensorFields& fields);
