#pragma once
// Geometry of one axis of a grid (columns across or rows down), kept pure:
// the fixed cells stay at the start, the others scroll so that `First` is
// the first scrolled cell shown; a grid line of `Line` pixels follows every
// cell.

#include <vector>

namespace gui {

struct TGridAxis {
  std::vector<int> Sizes;  // one per cell
  int Fixed = 0;
  int First = 0;  // first scrolled cell shown (>= Fixed)
  int Line = 1;
};

struct TGridSpan {
  int Index;
  int Start;  // first pixel of the cell
  int Size;
};

// The cells that show within `extent` pixels, in screen order.
std::vector<TGridSpan> VisibleSpans(const TGridAxis& axis, int extent);
// The cell under a pixel (grid lines belong to the cell before them), -1
// when none.
int CellAtPixel(const TGridAxis& axis, int extent, int pixel);
// How many scrolled cells fit wholly after the fixed ones when the scrolled
// part starts at `first`.
int FullyVisibleCount(const TGridAxis& axis, int extent, int first);
// The greatest First that still fills the extent (the end of the scrolled
// range).
int MaxFirst(const TGridAxis& axis, int extent);

}  // namespace gui
