#pragma once
// Frame3D: the raised or sunken frame of panels, `width` pixels thick, drawn
// inside r with the top-left edge in `topColor` and the bottom-right edge in
// `bottomColor`; r shrinks by the width on every side.

#include "canvas.h"

namespace gui {

void Frame3D(TCanvas& canvas, TRect& r, TColor topColor, TColor bottomColor, int width);

}  // namespace gui
