#include "gridlayout.h"

#include <algorithm>

namespace gui {

std::vector<TGridSpan> VisibleSpans(const TGridAxis& axis, int extent) {
  std::vector<TGridSpan> spans;
  const int count = static_cast<int>(axis.Sizes.size());
  int pos = 0;
  auto add = [&](int i) {
    if (pos >= extent) return false;
    spans.push_back({i, pos, axis.Sizes[static_cast<size_t>(i)]});
    pos += axis.Sizes[static_cast<size_t>(i)] + axis.Line;
    return true;
  };
  for (int i = 0; i < std::min(axis.Fixed, count); ++i)
    if (!add(i)) return spans;
  for (int i = std::max(axis.First, axis.Fixed); i < count; ++i)
    if (!add(i)) break;
  return spans;
}

int CellAtPixel(const TGridAxis& axis, int extent, int pixel) {
  if (pixel < 0 || pixel >= extent) return -1;
  for (const TGridSpan& s : VisibleSpans(axis, extent))
    if (pixel >= s.Start && pixel < s.Start + s.Size + axis.Line) return s.Index;
  return -1;
}

int FullyVisibleCount(const TGridAxis& axis, int extent, int first) {
  const int count = static_cast<int>(axis.Sizes.size());
  int pos = 0;
  for (int i = 0; i < std::min(axis.Fixed, count); ++i) pos += axis.Sizes[static_cast<size_t>(i)] + axis.Line;
  int n = 0;
  for (int i = std::max(first, axis.Fixed); i < count; ++i) {
    pos += axis.Sizes[static_cast<size_t>(i)];
    if (pos > extent) break;
    pos += axis.Line;
    ++n;
  }
  return n;
}

int MaxFirst(const TGridAxis& axis, int extent) {
  const int count = static_cast<int>(axis.Sizes.size());
  int first = count - 1;
  while (first > axis.Fixed && FullyVisibleCount(axis, extent, first - 1) == count - (first - 1)) --first;
  return std::max(axis.Fixed, first);
}

}  // namespace gui
