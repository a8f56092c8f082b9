#include "checksum.h"

#include <array>

namespace {

// Reflected polynomial 0x04C11DB7, one byte at a time through a table.
constexpr std::array<uint32_t, 256> Table = [] {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < table.size(); ++i) {
    uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}();

}  // namespace

uint32_t Crc32(uint32_t crc, const void* bytes, size_t count) {
  const auto* next = static_cast<const uint8_t*>(bytes);
  crc = ~crc;
  for (size_t i = 0; i < count; ++i) crc = Table[(crc ^ next[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}
