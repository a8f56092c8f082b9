#include "geometry.h"

#include <algorithm>
#include <cstdint>

namespace gui {

TRect IntersectRect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.IsEmpty()) return {};
  return r;
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const int64_t num = product < 0 ? -product : product;
  const int64_t den = c < 0 ? -static_cast<int64_t>(c) : c;
  const int64_t q = (num + den / 2) / den;
  return static_cast<int>(negative ? -q : q);
}

}  // namespace gui
