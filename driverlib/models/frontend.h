#pragma once
// The converter front end the FX2 and the network devices share: a 400 kHz
// sampling clock divided down to 13 rates, and three input ranges chosen by
// a gain code. Each row keeps a value with the code that selects it, so a
// rate and its divider, a range and its code cannot drift apart; both models
// program their devices and fill their item tables from these rows.

#include "itemtables.h"

#include <array>
#include <cstdint>

namespace sartel::frontend {

inline constexpr std::int32_t BaseClockHz = 400000;

// ClockHz = BaseClockHz / (Divider + 1).
struct TSamplingRow {
  std::int32_t ClockHz;
  std::uint16_t Divider;
};
inline constexpr std::array<TSamplingRow, 13> SamplingRows{{
    {200000, 1},
    {100000, 3},
    {50000, 7},
    {20000, 19},
    {10000, 39},
    {5000, 79},
    {2000, 199},
    {1000, 399},
    {500, 799},
    {200, 1999},
    {100, 3999},
    {50, 7999},
    {20, 19999},
}};

struct TGainRow {
  std::int32_t RangeMv;
  std::uint8_t Code;
};
inline constexpr std::array<TGainRow, 3> GainRows{{{2500, 0xFF}, {1000, 0x66}, {500, 0x33}}};

// Counts per side of the 16-bit converter.
inline constexpr std::int32_t AdcFullScale = 0x8000;

// The row of a sampling or gain index; nullptr outside the table.
constexpr const TSamplingRow* SamplingRow(std::int32_t index) {
  return index >= 0 && index < static_cast<std::int32_t>(SamplingRows.size())
             ? &SamplingRows[static_cast<std::size_t>(index)]
             : nullptr;
}
constexpr const TGainRow* GainRow(std::int32_t index) {
  return index >= 0 && index < static_cast<std::int32_t>(GainRows.size()) ? &GainRows[static_cast<std::size_t>(index)]
                                                                          : nullptr;
}

inline constexpr auto ClocksHz = ItemColumn(SamplingRows, &TSamplingRow::ClockHz);
inline constexpr auto GainsMv = ItemColumn(GainRows, &TGainRow::RangeMv);

// The item tables both models offer.
constexpr TItemTables ItemTables() { return {ClocksHz, GainsMv, AdcFullScale}; }

}  // namespace sartel::frontend
