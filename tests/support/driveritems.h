#pragma once
// The driver's item tables bound to test functions, so the sampling-rate and
// input-range lists work without the device library.

#include <cstdint>
#include <vector>

#include "zelto.h"

namespace testsupport {

// Sampling rates, input ranges and full scale of the test device.
inline const std::vector<int32_t> Clocks{200000, 100000, 50000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100, 50, 20};
inline const std::vector<int32_t> Gains{2500, 1000, 500};
constexpr int32_t FullScale = 32768;

inline int32_t Item(const std::vector<int32_t>& table, int32_t selector) {
  const int32_t i = selector - SARTEL_SELECT_ENTRY;
  if (selector == 0x100) return static_cast<int32_t>(table.size());
  return i >= 0 && i < static_cast<int32_t>(table.size()) ? table[static_cast<size_t>(i)] : 0;
}
inline int32_t ClockItems(int32_t selector) { return Item(Clocks, selector); }
inline int32_t GainItems(int32_t selector) { return Item(Gains, selector); }
inline int32_t ConfigItems(int32_t selector) { return selector == SARTEL_SELECT_ENTRY ? FullScale : 0; }

// Stands for the loaded library: the item queries need a module.
inline int DriverModuleStandIn = 0;

inline void BindDriverItems(TZelto& core) {
  core.DriverModule = &DriverModuleStandIn;
  core.DriverApi.GetClockItems = &ClockItems;
  core.DriverApi.GetGainItems = &GainItems;
  core.DriverApi.GetConfigItems = &ConfigItems;
}

}  // namespace testsupport
