#include "colorshades.h"

#include <algorithm>

namespace rtl {

void CalcColors3D(TColor color, TColor& light, TColor& dark) {
  light = 0;
  dark = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t channel = (color >> shift) & 0xFFu;
    light |= std::min<uint32_t>(255u, channel * 3u / 2u) << shift;
    dark |= (channel * 2u / 3u) << shift;
  }
}

}  // namespace rtl
