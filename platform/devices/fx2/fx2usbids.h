#pragma once
// The USB vendor and product IDs of the FX2 devices, from the environment
// variable SARTEL_FX2_IDS: a list of vid:pid pairs in hexadecimal, separated
// by commas, semicolons or spaces ("04b4:1002,04b4:1003").

#include <cstdint>
#include <string_view>
#include <vector>

namespace fx2port {

struct TUsbId {
  uint16_t vendor = 0;
  uint16_t product = 0;
  bool operator==(const TUsbId&) const = default;
};

inline constexpr const char* UsbIdsVariable = "SARTEL_FX2_IDS";

// Entries that are not two hexadecimal numbers of up to four digits are
// skipped.
std::vector<TUsbId> ParseUsbIds(std::string_view text);

std::vector<TUsbId> UsbIdsFromEnvironment();

} // namespace fx2port
