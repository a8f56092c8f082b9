#pragma once
// Frame geometry of a form, kept pure: where a press on a window falls
// (client area, caption, sizing border), and how a drag on the sizing border
// changes the window's bounds.

#include "geometry.h"

namespace gui {

// Hit-test answers (WM_NCHITTEST).
constexpr int HTERROR = -2;
constexpr int HTTRANSPARENT = -1;
constexpr int HTNOWHERE = 0;
constexpr int HTCLIENT = 1;
constexpr int HTCAPTION = 2;
constexpr int HTLEFT = 10;
constexpr int HTRIGHT = 11;
constexpr int HTTOP = 12;
constexpr int HTTOPLEFT = 13;
constexpr int HTTOPRIGHT = 14;
constexpr int HTBOTTOM = 15;
constexpr int HTBOTTOMLEFT = 16;
constexpr int HTBOTTOMRIGHT = 17;
constexpr int HTBORDER = 18;

// How far along an edge from a corner a press still takes the corner.
constexpr int CornerGrip = 16;

// The answer for a point (x, y) relative to the window's outer top-left
// corner, for a window of the given outer size whose frame is `border`
// pixels wide on every side: HTNOWHERE outside, the sizing edges and corners
// within a sizeable frame, HTBORDER within a fixed frame, else HTCLIENT.
int FrameHitTest(int x, int y, int width, int height, int border, bool sizeable);

// The own-frame rule of the windows: a client answer within the drag band
// (0 < x < width - rightKeep and 0 < y < bandHeight, all strict) becomes
// HTCAPTION; every other answer stays.
int CaptionBandHitTest(int defaultAnswer, int x, int y, int width, int rightKeep, int bandHeight);

// The bounds after dragging the sizing edge `hit` (an HT sizing answer) by
// (dx, dy) from `start`, keeping at least minWidth x minHeight; the
// opposite edges stay where they are.
TRect ResizeBounds(const TRect& start, int hit, int dx, int dy, int minWidth, int minHeight);

// Whether a hit-test answer is one of the sizing edges or corners.
bool IsSizingHit(int hit);

}  // namespace gui
