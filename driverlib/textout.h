#pragma once
// Narrow texts that come from a device (descriptions, identity, serial
// number, version) are widened one byte to one UTF-16 unit. The device
// decides their length, so every copy is bounded: at most MaxTextUnits - 1
// units and a terminator, which fits every field the program passes. The
// identity and the description are bounded alike, so a long identity still
// equals the description it was listed under.

#include <cstddef>
#include <string>
#include <string_view>

namespace sartel {

inline constexpr std::size_t MaxTextUnits = 100;

// The zero-terminated text at data, looking at no more than size bytes.
std::string_view BoundedText(const unsigned char* data, std::size_t size);

// Widens text into out, bounded to MaxTextUnits - 1 units, and terminates it.
void WriteWidened(std::string_view text, char16_t* out);

}  // namespace sartel
