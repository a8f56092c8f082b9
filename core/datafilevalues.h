#pragma once
// Checks shared by the readers of the session and asynchronous-data files:
// every value read from a file is taken only where it fits.

#include <bit>
#include <cstdint>
#include <string_view>

#include "rawsamplefile.h"
#include "records.h"
#include "xmlinifile.h"

namespace datafile {

// A value that indexes a table of highest + 1 entries; anything else takes
// the fallback rather than reaching past the table.
inline uint8_t TableIndex(int32_t value, int32_t highest, uint8_t fallback) {
  return value >= 0 && value <= highest ? static_cast<uint8_t>(value) : fallback;
}

// Samples per channel and capture: the transforms need a power of two, and
// the raw file's block layout hangs on it.
inline bool IsSampleCount(int32_t value) {
  return value > 0 && std::has_single_bit(static_cast<uint32_t>(value));
}

inline bool IsRunIndex(int32_t value) { return value >= 0 && value < RunCount; }

// The document holds the key (with any value, an empty one too).
inline bool HasKey(const XmlIniFile& document, std::u16string_view section, std::u16string_view key) {
  return document.ReadInteger(section, key, 0) == document.ReadInteger(section, key, 1);
}

// A sensor's type selects its unit; an unknown one reads as acceleration.
inline void CheckSensorType(SensorInfo& sensor) {
  sensor.Type = TableIndex(sensor.Type, stDisplacement, stAcceleration);
}

// The key that records the raw file's byte count, in the section given.
constexpr std::u16string_view ByteCountKey = u"DataBytes";

// The raw file has the size the document recorded for it. Files written
// before the count was recorded have none and are taken as they are.
inline bool RawSizeMatches(const XmlIniFile& document, std::u16string_view section,
                           const TRawSampleReader& raw) {
  if (!HasKey(document, section, ByteCountKey)) return true;
  const auto count = ParseByteCount(document.ReadString(section, ByteCountKey, u""));
  return count && *count == raw.Size();
}

}  // namespace datafile
