#include "itemtables.h"

#include <algorithm>

namespace sartel {

namespace {

template <std::size_t N>
void Fill(std::array<std::int32_t, N>& slots, std::span<const std::int32_t> values, std::int32_t end) {
  slots.fill(end);
  // One slot always keeps the end marker.
  const std::size_t used = std::min(values.size(), N - 1);
  std::copy_n(values.begin(), used, slots.begin());
}

template <std::size_t N>
std::int32_t CountBefore(const std::array<std::int32_t, N>& slots, std::int32_t end) {
  return static_cast<std::int32_t>(std::find(slots.begin(), slots.end(), end) - slots.begin());
}

template <std::size_t N>
std::int32_t Query(const std::array<std::int32_t, N>& slots, std::int32_t end, std::int32_t selector) {
  const std::int32_t count = CountBefore(slots, end);
  if (selector & SelectCount) return count;
  if (!(selector & SelectEntry)) return 0;
  const std::int32_t index = selector - SelectEntry;
  return index >= 0 && index < count ? slots[static_cast<std::size_t>(index)] : 0;
}

}  // namespace

void TItemState::Load(const TItemTables& tables) {
  Fill(Clocks, tables.ClocksHz, -1);
  Fill(Gains, tables.GainsMv, 0);
  ConfigItems = tables.ConfigItems;
  WholeMemory = tables.WholeMemory;
}

std::int32_t TItemState::ClockItems(std::int32_t selector) const { return Query(Clocks, -1, selector); }

std::int32_t TItemState::GainItems(std::int32_t selector) const { return Query(Gains, 0, selector); }

std::int32_t TItemState::ConfigItemsFor(std::int32_t selector) const {
  if (selector == SelectWholeMemory) return WholeMemory ? 1 : 0;
  return (selector & SelectEntry) ? ConfigItems : 0;
}

}  // namespace sartel
