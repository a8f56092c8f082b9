#include "buttonlayout.h"

using gui::TPoint;

TEdges ButtonEdges(TButtonShape shape, bool drawBorder, int w, int h) {
  // With a border the edges move one pixel inward, clear of the outline.
  const int i = drawBorder ? 1 : 0;
  if (shape == bsRect) {
    return {{{i, h - 1 - i}, {i, i}, {w - i, i}},
            {{w - 1 - i, 1 + i}, {w - 1 - i, h - 1 - i}, {i, h - 1 - i}}};
  }
  return {{{i, h - 3 - i}, {i, 2 + i}, {2 + i, i}, {w - 3 - i, i}, {w - 1 - i, 2 + i}},
          {{w - 1 - i, 2 + i}, {w - 1 - i, h - 3 - i}, {w - 3 - i, h - 1 - i}, {2 + i, h - 1 - i}, {i, h - 3 - i}}};
}

gui::TRect ButtonFocusRect(TButtonShape shape, int w, int h) {
  const int inset = shape == bsRect ? 2 : 3;
  return {inset, inset, w - inset, h - inset};
}

std::array<std::vector<TPoint>, 4> ButtonFocusMarks(TButtonShape shape, int w, int h) {
  if (shape == bsRect) {
    return {{{{2, 4}, {2, 2}, {5, 2}},
             {{w - 5, 2}, {w - 3, 2}, {w - 3, 5}},
             {{w - 3, h - 5}, {w - 3, h - 3}, {w - 6, h - 3}},
             {{4, h - 3}, {2, h - 3}, {2, h - 6}}}};
  }
  return {{{{2, 5}, {2, 4}, {4, 2}, {6, 2}},
           {{w - 6, 2}, {w - 5, 2}, {w - 3, 4}, {w - 3, 6}},
           {{w - 3, h - 6}, {w - 3, h - 5}, {w - 5, h - 3}, {w - 7, h - 3}},
           {{5, h - 3}, {4, h - 3}, {2, h - 5}, {2, h - 7}}}};
}

gui::TColor ButtonBorderColor(bool enabled, bool hover, bool flat, gui::TColor borderColor, gui::TColor borderOver,
                              gui::TColor darkShade) {
  if (enabled) return hover ? borderOver : borderColor;
  return flat ? borderColor : darkShade;
}

TButtonContent ButtonContentLayout(int w, int h, int gap, int textPaddingTop, int captionWidth, int ascent,
                                   int pictureWidth, int pictureHeight) {
  TButtonContent c;
  c.Picture = {w / 2 - (gap + captionWidth + pictureWidth) / 2, h / 2 - pictureHeight / 2};
  c.Caption = {w / 2 + (pictureWidth + gap) / 2, h / 2 + ascent / 2 - 1 + textPaddingTop};
  return c;
}
