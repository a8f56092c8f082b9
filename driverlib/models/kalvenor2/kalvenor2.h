#pragma once
// TKalvenor2: the device behind the FX2 USB controller, and the model that
// stands for demo mode. So far it knows its item tables and configuration
// bytes; without a device (demo mode) it does no I/O and answers status 0.
// The FX2 transport gives it its device operations.

#include "devicemodel.h"

#include <array>
#include <cstdint>

namespace sartel::kalvenor2 {

inline constexpr std::int32_t ClocksHz[] = {200000, 100000, 50000, 20000, 10000, 5000, 2000,
                                            1000,   500,    200,   100,   50,    20};
inline constexpr std::int32_t GainsMv[] = {2500, 1000, 500};
inline constexpr std::int32_t AdcFullScale = 0x8000;
inline constexpr std::int32_t SmallMemory = 0x4000;
inline constexpr std::int32_t LargeMemory = 0x8000;

class TKalvenor2 : public TDeviceModel {
 public:
  static constexpr std::size_t ConfigBytes = 16;

  TItemTables Items() const override;
  // Without a device there is nothing to read: the memory is the small one.
  bool Configure() override { return true; }
  std::int32_t RamSize() const override;
  std::uint8_t ConfigByte(std::int32_t position) const override;

 private:
  std::array<std::uint8_t, ConfigBytes> Config{};
};

}  // namespace sartel::kalvenor2
