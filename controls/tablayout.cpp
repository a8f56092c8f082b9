#include "tablayout.h"

#include <algorithm>
#include <numeric>

using gui::TPoint;

bool IsTabSeparator(std::u16string_view text) { return !text.empty() && text.front() == u'-'; }

int TabWidth(int textWidth, int padding, bool separator) {
  if (separator) return 0;
  return std::max(TabMinWidth, textWidth + 2 * padding);
}

namespace {

void PlaceTabs(TTabLayout& layout, const std::vector<int>& widths, int w) {
  int x = layout.ScrollOffset + (layout.Fits ? 0 : TabScrollLeftRoom);
  layout.Boxes.resize(widths.size());
  for (size_t i = 0; i < widths.size(); ++i) {
    TTabBox& box = layout.Boxes[i];
    box.Left = x;
    box.Width = widths[i];
    box.Visible = box.Width > 0 && box.Right() > 0 && box.Left < w - 1;
    x += box.Width;
  }
}

}  // namespace

TTabLayout LayoutTabs(const std::vector<int>& widths, int w, int scrollOffset, bool bringActiveIntoView,
                      int active) {
  TTabLayout layout;
  const long long sum = std::accumulate(widths.begin(), widths.end(), 0LL);
  layout.Fits = sum < w;
  layout.ScrollOffset = layout.Fits ? 0 : scrollOffset;
  PlaceTabs(layout, widths, w);
  if (!bringActiveIntoView || layout.Fits || active < 0 || active >= static_cast<int>(widths.size())) {
    return layout;
  }
  const TTabBox& tab = layout.Boxes[static_cast<size_t>(active)];
  int shift = 0;
  if (tab.Left < TabScrollLeftRoom) {
    shift = TabScrollLeftRoom - tab.Left;
  } else if (tab.Right() > w - TabButtonsRoom) {
    shift = (w - TabButtonsRoom) - tab.Right();
  }
  if (shift != 0) {
    layout.ScrollOffset += shift;
    PlaceTabs(layout, widths, w);
  }
  return layout;
}

TTabZone TabPressZone(int x, int w, bool fits) {
  if (!fits && x >= w - TabListButtonWidth) return TTabZone::List;
  if (!fits && x >= w - TabButtonsRoom) return TTabZone::ScrollRight;
  if (fits || x > TabScrollLeftRoom) return TTabZone::Tabs;
  return TTabZone::ScrollLeft;
}

TTabZone TabHoverZone(int x, int w, bool fits) {
  if (fits) return TTabZone::Tabs;
  if (x >= w - TabListButtonWidth) return TTabZone::List;
  if (x >= w - TabButtonsRoom) return TTabZone::ScrollRight;
  if (x < TabScrollLeftRoom) return TTabZone::ScrollLeft;
  return TTabZone::Tabs;
}

bool TabMenuZone(int x, int w, bool fits) { return !fits && x >= TabScrollLeftRoom + 1 && x < w - TabButtonsRoom; }

int TabAt(const std::vector<TTabBox>& boxes, int x) {
  for (size_t i = 0; i < boxes.size(); ++i) {
    const TTabBox& box = boxes[i];
    if (box.Width > 0 && box.Left < x && x < box.Right()) return static_cast<int>(i);
  }
  return -1;
}

int ScrollRightOffset(const std::vector<TTabBox>& boxes, int w, int scrollOffset) {
  for (const TTabBox& box : boxes) {
    if (box.Visible && box.Right() > w - TabButtonsRoom + 1) {
      return scrollOffset + (w - TabButtonsRoom) - box.Right() + 1;
    }
  }
  return scrollOffset;
}

int ScrollLeftOffset(const std::vector<TTabBox>& boxes, int scrollOffset) {
  for (const TTabBox& box : boxes) {
    if (box.Visible && box.Left < TabScrollLeftRoom) return scrollOffset + TabScrollLeftRoom - box.Left;
  }
  return scrollOffset;
}

int ResizeOffset(const std::vector<TTabBox>& boxes, int w, bool fits, int scrollOffset) {
  if (fits || boxes.empty()) return scrollOffset;
  const int end = boxes.back().Right();
  if (end < w - TabButtonsRoom) return scrollOffset + (w - TabButtonsRoom) - end;
  return scrollOffset;
}

std::vector<TPoint> StripOutline(bool fits, int w, int h) {
  if (fits) {
    return {{w - 1, h - 1}, {w - 1, h - 2}, {w - 2, h - 3}, {w - 2, h - 4},
            {w - 3, h - 4}, {w - 4, h - 5}, {0, h - 5},     {0, h}};
  }
  return {{w, h - 5}, {0, h - 5}, {0, h}};
}

gui::TRect TabBandRect(int w, int h) { return {1, h - 4, w - 1, h}; }

TEdges StripBevel(bool fits, int w, int h) {
  // Along the inside of the outline: the left end and the top of the band,
  // then the right end (the rounded end, or the list button's right side).
  if (fits) return {{{1, h}, {1, h - 4}, {w - 3, h - 4}}, {{w - 3, h - 3}, {w - 2, h - 2}, {w - 2, h}}};
  return {{{1, h}, {1, h - 4}, {w - 1, h - 4}}, {{w - 2, h - 3}, {w - 2, h}}};
}

gui::TRect TabFaceRect(int x, int width, int h, bool active) {
  if (active) return {x + 1, 1, x + width - 1, h - 3};
  return {x + 1, 3, x + width - 1, h - 5};
}

std::vector<TPoint> TabOutline(int x, int width, int h, bool active) {
  const int d = active ? 0 : 2;  // inactive tabs stand lower
  const int r = x + width;
  return {{x, h - 5},         {x, 3 + d},     {x + 1, 2 + d}, {x + 1, 1 + d}, {x + 2, 1 + d}, {x + 3, d},
          {r - 4, d},         {r - 3, 1 + d}, {r - 2, 1 + d}, {r - 2, 2 + d}, {r - 1, 3 + d}, {r - 1, h - 4}};
}

TEdges TabBevel(int x, int width, int h) {
  const int r = x + width;
  return {{{x + 1, h - 4}, {x + 1, 3}, {x + 2, 2}, {x + 3, 1}, {r - 3, 1}}, {{r - 3, 2}, {r - 2, 3}, {r - 2, h - 3}}};
}

gui::TRect TabFocusRect(int x, int width, int h) { return {x + 3, 3, x + width - 3, h - 5}; }

int TabTextTop(bool active) { return active ? 3 : 4; }

TTabButtonShape ScrollLeftButtonShape(int h) {
  return {{0, 0, 14, h - 5},
          {{0, 0}, {14, 0}, {14, h - 5}, {0, h - 5}, {0, 0}},
          {{8, 12}, {8, 6}, {5, 9}, {7, 11}, {7, 8}, {5, 10}}};
}

TTabButtonShape ScrollRightButtonShape(int w, int h) {
  return {{w - 29, 0, w - 15, h - 5},
          {{w - 15, h - 5}, {w - 29, h - 5}, {w - 29, 0}, {w - 15, 0}, {w - 15, h - 5}},
          {{w - 23, 6}, {w - 23, 12}, {w - 20, 9}, {w - 22, 7}, {w - 22, 10}, {w - 20, 8}}};
}

TTabButtonShape ListButtonShape(int w, int h, bool hovered) {
  TTabButtonShape s{{w - 15, 0, w, h - 5}, {}, {{w - 5, 8}, {w - 11, 8}, {w - 8, 11}, {w - 6, 9}, {w - 9, 9}, {w - 7, 11}}};
  if (hovered) {
    s.Frame = {{w - 15, h - 5}, {w - 15, 0}, {w - 1, 0}, {w - 1, h - 5}, {w - 15, h - 5}};
  } else {
    s.Frame = {{w - 1, h - 5}, {w - 15, h - 5}, {w - 15, 0}, {w - 1, 0}, {w - 1, h}};
  }
  return s;
}
