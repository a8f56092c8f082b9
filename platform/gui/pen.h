#pragma once
// TPen: colour, width and style of lines and outlines. Width 0 and 1 draw one
// device pixel; dotted and dashed styles need a width of 0 or 1 and draw
// solid when wider, as the platform the windows were drawn for does.

#include "color.h"

namespace gui {

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;

  friend bool operator==(const TPen&, const TPen&) = default;
};

}  // namespace gui
