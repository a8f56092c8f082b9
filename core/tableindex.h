#pragma once
// The one rule for an index read from a file into a table (a list of modes,
// a device's sampling rates): a value inside the table is taken, anything
// else takes the default rather than reaching past the table.

#include <cstdint>

// `highest` is the table's last index; a table without entries has -1.
template <typename T>
constexpr T TableIndex(int32_t value, int32_t highest, T fallback) {
  return value >= 0 && value <= highest ? static_cast<T>(value) : fallback;
}
