#include "kalvenor2.h"

namespace sartel::kalvenor2 {

TItemTables TKalvenor2::Items() const { return {ClocksHz, GainsMv, AdcFullScale}; }

std::int32_t TKalvenor2::RamSize() const { return (Config[0] & 1) ? LargeMemory : SmallMemory; }

std::uint8_t TKalvenor2::ConfigByte(std::int32_t position) const {
  return position >= 0 && position < static_cast<std::int32_t>(ConfigBytes) ? Config[static_cast<std::size_t>(position)]
                                                                            : 0;
}

}  // namespace sartel::kalvenor2
