#pragma once

#include <cstdint>

namespace rtl {

// A colour as the windows store it: 0x00BBGGRR.
using TColor = uint32_t;

// The lighter and darker shade of a colour for 3-D edges and window frames,
// per red, green and blue channel c: light = min(255, trunc(c * 1.5)),
// dark = trunc(c * 2 / 3). The high byte of both results is zero.
void CalcColors3D(TColor color, TColor& light, TColor& dark);

}  // namespace rtl
