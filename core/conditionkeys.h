#pragma once
// The keys that store a record's conditions (records.h, TRecordConditions)
// in a section of a session or asynchronous-data document, beside the older
// keys that hold only the positions in the device's lists and a sensor's
// name. An older reader ignores them; a file without them still opens, and
// the reader then assumes this device's scale and this PC's sensors and
// notes so (TZelto::ConditionNotes).
//
//   FullScale                 ADC counts at the end of the input range
//   InputRangeA, InputRangeB  input range of each channel in mV
//   SamplingFrequency         Hz
//   Length                    samples per channel of the record (runs only)
//   <sensor>.Name, .Type, .Sensitivity, .RangeLow, .RangeHigh, .InputGain,
//   .Temperature, .TemperatureGain, .TemperatureOffset
//                             a sensor's whole record; <sensor> is SensorA /
//                             SensorB in a run's section, VibSensorA /
//                             VibSensorB for the set-up's sensors

#include <optional>
#include <string_view>

#include "records.h"
#include "xmlinifile.h"

class TZelto;

namespace datafile {

void WriteSensorKeys(XmlIniFile& d, std::u16string_view section, std::u16string_view prefix,
                     const SensorInfo& sensor);
// The scale, ranges and rate (and, with `withLength`, the length) of
// `conditions`, and its sensors under SensorA / SensorB.
void WriteConditionKeys(XmlIniFile& d, std::u16string_view section, const TRecordConditions& conditions,
                        bool withLength);
// Only the scale, ranges and rate.
void WriteScaleKeys(XmlIniFile& d, std::u16string_view section, const TRecordConditions& conditions);

// Whether the section stores a scale, ranges and rate at all (files of this
// version), possible or not.
bool HoldsScaleKeys(const XmlIniFile& d, std::u16string_view section);

// The scale, ranges and rate stored in the section, when all are there and
// possible; the rest of the result stays as given in `into`.
bool ReadScaleKeys(const XmlIniFile& d, std::u16string_view section, TRecordConditions& into);

// The sensor a file names under `prefix` ("<prefix>.Name"): its stored
// record when the file holds one, else this PC's sensor of that name. What
// differs from this PC's database is noted in the core: a stored sensor it
// lacks or holds otherwise, a name only (assumed, or unknown here) when
// `noteAssumed`. A stored record no sensor can have is always noted: by its
// name as a name only, or, without a name, by the channel (the prefix's
// last letter), which then has no sensor. An empty name with no record (a
// sensitivity of 0) is no sensor, said by nothing.
SensorInfo ReadStoredSensor(const XmlIniFile& d, std::u16string_view section, std::u16string_view prefix,
                            const TZelto& core, bool noteAssumed);
// Two records of one sensor, whatever their names: the file's decimals may
// round the last digit.
bool SameSensor(const SensorInfo& a, const SensorInfo& b);

// The section holds a sensor's record (with a sensitivity), not only its
// name.
bool HoldsSensorRecord(const XmlIniFile& d, std::u16string_view section, std::u16string_view prefix);

}  // namespace datafile
