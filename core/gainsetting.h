#pragma once
// The set-up's input range of a channel as a data file stores it: its
// position in the list of the device that wrote the file ("GainA",
// "GainB") and, in files that keep the conditions, its value in mV
// ("InputRangeA", "InputRangeB"). Another device model lists other ranges,
// or the same ones at other positions, so the value is what holds.

#include <cstdint>
#include <string_view>

#include "xmlinifile.h"

class TZelto;

namespace datafile {

// This device's gain index for the channel's stored range: the entry of the
// same mV; else the smallest larger one, so the signal does not clip, or the
// largest when none is larger, noted (cnRangeReplaced) when `noted`. A file
// without the value in mV, or a core without a device's list, takes the
// stored position within the list, and `fallback` outside it.
int32_t ReadGainIndex(const XmlIniFile& d, std::u16string_view section, uint8_t channel, const TZelto& core,
                      int32_t fallback, bool noted);

}  // namespace datafile
