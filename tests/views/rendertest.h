#pragma once
// Helpers of the drawing tests: pictures written beside the suite, colour
// counts in a rectangle of a bitmap.

#include <string>

#include "bitmap.h"
#include "color.h"
#include "geometry.h"

namespace viewstest {

std::string PicturePath(const std::string& name);
// Pixels of `colour` inside r (right and bottom exclusive).
int CountColour(const gui::TBitmap& bitmap, const gui::TRect& r, gui::TColor colour);
// Whether any pixel of column x between top and bottom has the colour.
bool ColumnHas(const gui::TBitmap& bitmap, int x, int top, int bottom, gui::TColor colour);

}  // namespace viewstest
