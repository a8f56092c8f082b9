#pragma once
// The screen: its size, the work area that windows are centred in, the
// cursor position, and the resolution controls are laid out for.

#include "geometry.h"

namespace gui {

// 96: every size of the windows' descriptions is meant at this resolution.
constexpr int ScreenPixelsPerInch = 96;

TSize ScreenSize();
// The part of the primary screen not taken by panels and docks.
TRect ScreenWorkArea();
// The mouse cursor in screen coordinates (GetCursorPos).
TPoint CursorPos();

}  // namespace gui
