#pragma once
// TBrush: how areas are filled. bsClear fills nothing.

#include "color.h"

namespace gui {

enum TBrushStyle : uint8_t { bsSolid, bsClear };

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;

  friend bool operator==(const TBrush&, const TBrush&) = default;
};

}  // namespace gui
