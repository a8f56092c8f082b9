#pragma once
// The item tables a model offers (sampling rates, input ranges, ADC full
// scale) and the selector queries over them: 0x100 asks for a count, 0x200 + i
// for entry i. An entry outside the table answers 0.

#include <array>
#include <cstdint>
#include <span>

namespace sartel {

inline constexpr std::int32_t SelectCount = 0x100;
inline constexpr std::int32_t SelectEntry = 0x200;
// The configuration query for whether the model captures its whole memory.
inline constexpr std::int32_t SelectWholeMemory = 0x400;

struct TItemTables {
  std::span<const std::int32_t> ClocksHz;
  std::span<const std::int32_t> GainsMv;
  std::int32_t ConfigItems = 0;
  // Each capture fills the whole memory, whatever buffer length was set.
  bool WholeMemory = false;
};

// One column of a model's table of rows as an item table, so the values a
// model offers are read off the same rows that hold their codes.
template <typename Row, std::size_t N>
constexpr std::array<std::int32_t, N> ItemColumn(const std::array<Row, N>& rows, std::int32_t Row::*column) {
  std::array<std::int32_t, N> items{};
  for (std::size_t i = 0; i < N; ++i) items[i] = rows[i].*column;
  return items;
}

// The tables as the driver state holds them: the clock table ended by -1,
// the gain table ended by 0.
struct TItemState {
  static constexpr std::size_t ClockSlots = 24;
  static constexpr std::size_t GainSlots = 10;

  std::array<std::int32_t, ClockSlots> Clocks{};
  std::array<std::int32_t, GainSlots> Gains{};
  std::int32_t ConfigItems = 0;
  bool WholeMemory = false;

  // Empty tables until a model loads its own.
  TItemState() { Clocks.fill(-1); }

  void Load(const TItemTables& tables);
  std::int32_t ClockItems(std::int32_t selector) const;
  std::int32_t GainItems(std::int32_t selector) const;
  std::int32_t ConfigItemsFor(std::int32_t selector) const;
};

}  // namespace sartel
