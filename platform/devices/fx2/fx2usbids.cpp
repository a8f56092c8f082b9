#include "fx2usbids.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace fx2port {
namespace {

bool ParseHex16(std::string_view text, uint16_t& value) {
  if (text.empty() || text.size() > 4)
    return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  return error == std::errc() && end == text.data() + text.size();
}

bool ParseEntry(std::string_view entry, TUsbId& id) {
  const std::size_t colon = entry.find(':');
  if (colon == std::string_view::npos)
    return false;
  return ParseHex16(entry.substr(0, colon), id.vendor) && ParseHex16(entry.substr(colon + 1), id.product);
}

} // namespace

std::vector<TUsbId> ParseUsbIds(std::string_view text) {
  constexpr std::string_view separators = ",; \t";
  std::vector<TUsbId> ids;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = std::min(text.find_first_of(separators, pos), text.size());
    TUsbId id;
    if (end > pos && ParseEntry(text.substr(pos, end - pos), id))
      ids.push_back(id);
    pos = end + 1;
  }
  return ids;
}

std::vector<TUsbId> UsbIdsFromEnvironment() {
  const char* text = std::getenv(UsbIdsVariable);
  return text ? ParseUsbIds(text) : std::vector<TUsbId>{};
}

} // namespace fx2port
