#pragma once
// Checks shared by the readers of the session and asynchronous-data files:
// every value read from a file is taken only where it fits.

#include <bit>
#include <cstdint>
#include <string_view>

#include "conditionlimits.h"
#include "records.h"
#include "tableindex.h"
#include "xmlinifile.h"

namespace datafile {

// Samples per channel and capture: the transforms need a power of two, and
// the raw file's block layout hangs on it. No device captures more than
// the largest memory, and a damaged length must not size the buffers.
inline bool IsSampleCount(int32_t value) {
  return conditionlimits::PossibleLength(value) && std::has_single_bit(static_cast<uint32_t>(value));
}

inline bool IsRunIndex(int32_t value) { return value >= 0 && value < RunCount; }

// The document holds the key (with any value, an empty one too).
inline bool HasKey(const XmlIniFile& document, std::u16string_view section, std::u16string_view key) {
  return document.ReadInteger(section, key, 0) == document.ReadInteger(section, key, 1);
}

// The stored sampling-rate index is the only record of the rate the samples
// were captured at: an index outside the device's list of `count` rates
// can't be replaced by a default without relabelling them, so such a file is
// refused (RateNotListedError). A document without the key takes the
// reader's default.
inline bool RateListed(const XmlIniFile& document, std::u16string_view section, int32_t count) {
  if (!HasKey(document, section, u"SamplingRate")) return true;
  const int32_t index = document.ReadInteger(section, u"SamplingRate", 0);
  return index >= 0 && index < count;
}

// The document states the rate its samples were captured at in Hz (one a
// device can have), so its records carry their own rate whatever the
// position in this device's list.
inline bool RateStoredInHertz(const XmlIniFile& document, std::u16string_view section) {
  return conditionlimits::PossibleSamplingFrequency(document.ReadFloat(section, u"SamplingFrequency", 0.0));
}

}  // namespace datafile
