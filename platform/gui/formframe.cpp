#include "formframe.h"

#include <algorithm>

namespace gui {

int FrameHitTest(int x, int y, int width, int height, int border, bool sizeable) {
  if (x < 0 || y < 0 || x >= width || y >= height) return HTNOWHERE;
  if (border <= 0) return HTCLIENT;
  const bool inFrame = x < border || y < border || x >= width - border || y >= height - border;
  if (!inFrame) return HTCLIENT;
  if (!sizeable) return HTBORDER;
  const bool left = x < CornerGrip;
  const bool right = x >= width - CornerGrip;
  const bool top = y < CornerGrip;
  const bool bottom = y >= height - CornerGrip;
  const bool onLeft = x < border;
  const bool onRight = x >= width - border;
  const bool onTop = y < border;
  const bool onBottom = y >= height - border;
  if ((onTop && left) || (onLeft && top)) return HTTOPLEFT;
  if ((onTop && right) || (onRight && top)) return HTTOPRIGHT;
  if ((onBottom && left) || (onLeft && bottom)) return HTBOTTOMLEFT;
  if ((onBottom && right) || (onRight && bottom)) return HTBOTTOMRIGHT;
  if (onLeft) return HTLEFT;
  if (onRight) return HTRIGHT;
  if (onTop) return HTTOP;
  return HTBOTTOM;
}

int CaptionBandHitTest(int defaultAnswer, int x, int y, int width, int rightKeep, int bandHeight) {
  if (defaultAnswer == HTCLIENT && x > 0 && x < width - rightKeep && y > 0 && y < bandHeight) return HTCAPTION;
  return defaultAnswer;
}

bool IsSizingHit(int hit) { return hit >= HTLEFT && hit <= HTBOTTOMRIGHT; }

TRect ResizeBounds(const TRect& start, int hit, int dx, int dy, int minWidth, int minHeight) {
  TRect r = start;
  const bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
  const bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
  const bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
  const bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
  if (left) r.Left = std::min(start.Left + dx, start.Right - minWidth);
  if (right) r.Right = std::max(start.Right + dx, start.Left + minWidth);
  if (top) r.Top = std::min(start.Top + dy, start.Bottom - minHeight);
  if (bottom) r.Bottom = std::max(start.Bottom + dy, start.Top + minHeight);
  return r;
}

}  // namespace gui
