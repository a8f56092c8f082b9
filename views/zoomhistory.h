#pragma once
// The history of earlier views of a plot window: a stack of at most ten
// entries; a push onto a full stack drops the oldest.

#include <array>
#include <cstddef>
#include <optional>

template <typename TView, size_t Capacity = 10>
class TZoomHistory {
 public:
  void Push(const TView& view) {
    if (FCount == Capacity) {
      for (size_t i = 1; i < Capacity; ++i) FEntries[i - 1] = FEntries[i];
      FCount = Capacity - 1;
    }
    FEntries[FCount++] = view;
  }
  // The most recent entry, removed; none when the history is empty.
  std::optional<TView> Pop() {
    if (FCount == 0) return std::nullopt;
    return FEntries[--FCount];
  }
  size_t Count() const { return FCount; }
  const TView& operator[](size_t i) const { return FEntries[i]; }

 private:
  std::array<TView, Capacity> FEntries{};
  size_t FCount = 0;
};
