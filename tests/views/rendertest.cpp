#include "rendertest.h"

namespace viewstest {

std::string PicturePath(const std::string& name) { return std::string(VIEWS_TEST_PICTURE_DIR) + "/" + name; }

int CountColour(const gui::TBitmap& bitmap, const gui::TRect& r, gui::TColor colour) {
  int count = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) count += bitmap.Pixel(x, y) == colour;
  return count;
}

bool ColumnHas(const gui::TBitmap& bitmap, int x, int top, int bottom, gui::TColor colour) {
  for (int y = top; y < bottom; ++y)
    if (bitmap.Pixel(x, y) == colour) return true;
  return false;
}

}  // namespace viewstest
