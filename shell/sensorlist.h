#pragma once
// The sensor database as the dialogs list it: every sensor file with its
// record, in the order of CompareSensorNames, and the texts a sensor shows
// in the lists (type, sensitivity, frequency range, temperature output).
//
// A sensor is known by its file name: the list keeps it beside the record,
// so that editing and deleting act on the file the row shows even when the
// name stored inside the file differs from it (a file renamed or copied by
// hand) or the file is damaged and its stored name empty.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "records.h"

class TZelto;

// Case-insensitive order of sensor names: the names are compared unit by
// unit in upper case; the result is the difference of the first differing
// units (a name that is a prefix of the other sorts first). So "_", which
// lies between "Z" and "a", sorts after every letter.
int CompareSensorNames(std::u16string_view a, std::u16string_view b);

struct TSensorEntry {
  std::u16string FileName;  // the sensor's name in the database
  SensorInfo Sensor;        // the file's record (defaults where it is damaged)
};

// Every sensor file of the core's sensor folder, loaded and sorted by name.
// A file that vanishes between listing and reading is left out.
std::vector<TSensorEntry> LoadSensorEntries(const TZelto& core);

// The names of the sensor files, sorted.
std::vector<std::u16string> SortedSensorNames(const TZelto& core);

// A record with every field zero: no sensor on the channel (also an input
// gain of 0, so the channel's input ranges read 0).
SensorInfo NoSensor();

// Language texts a sensor row uses.
struct TSensorTexts {
  std::array<std::u16string, 3> Types;  // "Acceleration", "Velocity", "Displacement"
  std::u16string Yes, No;
};

// What a sensor's figures read while the sensor is not known (SensorKnown:
// no sensitivity, or a type other than 0, 1, 2).
inline constexpr std::u16string_view UnknownSensorText = u"-";
// The type's text.
std::u16string SensorTypeText(const SensorInfo& sensor, const TSensorTexts& texts);
// "5,000 mV/(mm/s)": the sensitivity and the unit of the type.
std::u16string SensitivityText(const SensorInfo& sensor);
// "0,5 Hz - 12,5 kHz".
std::u16string FrequencyRangeText(const SensorInfo& sensor);
std::u16string TemperatureText(const SensorInfo& sensor, const TSensorTexts& texts);
