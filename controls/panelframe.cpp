#include "panelframe.h"

#include "canvas.h"

using gui::TPoint;

namespace {

std::vector<TPoint> SharpFrame(TBorderOpen open, int w, int h) {
  switch (open) {
    case boLeft: return {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {-1, h - 1}};
    case boTop: return {{w - 1, 0}, {w - 1, h - 1}, {0, h - 1}, {0, -1}};
    case boRight: return {{w - 1, h - 1}, {0, h - 1}, {0, 0}, {w, 0}};
    case boBottom: return {{0, h - 1}, {0, 0}, {w - 1, 0}, {w - 1, h}};
    default: return {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}, {0, 0}};
  }
}

std::vector<TPoint> RoundedFrame(TBorderOpen open, int w, int h) {
  switch (open) {
    case boLeft:
      return {{0, 0},         {w - 4, 0},     {w - 3, 1},     {w - 2, 1},     {w - 2, 2},     {w - 1, 3},
              {w - 1, h - 4}, {w - 2, h - 3}, {w - 2, h - 2}, {w - 3, h - 2}, {w - 4, h - 1}, {-1, h - 1}};
    case boTop:
      return {{w - 1, 0},     {w - 1, h - 4}, {w - 2, h - 3}, {w - 2, h - 2}, {w - 3, h - 2}, {w - 4, h - 1},
              {3, h - 1},     {2, h - 2},     {1, h - 2},     {1, h - 3},     {0, h - 4},     {0, -1}};
    case boRight:
      return {{w - 1, h - 1}, {3, h - 1}, {2, h - 2}, {1, h - 2}, {1, h - 3}, {0, h - 4},
              {0, 3},         {1, 2},     {1, 1},     {2, 1},     {3, 0},     {w, 0}};
    case boBottom:
      return {{0, h - 1}, {0, 3},     {1, 2},     {1, 1},     {2, 1},     {3, 0},
              {w - 4, 0}, {w - 3, 1}, {w - 2, 1}, {w - 2, 2}, {w - 1, 3}, {w - 1, h}};
    default:
      return {{3, 0},         {w - 4, 0},     {w - 3, 1},     {w - 2, 1},     {w - 2, 2},     {w - 1, 3},
              {w - 1, h - 4}, {w - 2, h - 3}, {w - 2, h - 2}, {w - 3, h - 2}, {w - 4, h - 1}, {3, h - 1},
              {2, h - 2},     {1, h - 2},     {1, h - 3},     {0, h - 4},     {0, 3},         {1, 2},
              {1, 1},         {2, 1},         {3, 0}};
  }
}

}  // namespace

std::vector<TPoint> PanelFrame(TPanelBorderStyle style, TBorderOpen open, int w, int h) {
  switch (style) {
    case pbsSharp: return SharpFrame(open, w, h);
    case pbsRounded: return RoundedFrame(open, w, h);
    default: return {};
  }
}

TEdges PanelFlatFrame(int w, int h) {
  return {{{0, h}, {0, 0}, {w, 0}}, {{w - 1, 1}, {w - 1, h - 1}, {0, h - 1}}};
}

gui::TRect PanelBodyRect(TBorderOpen open, int w, int h, int headerHeight) {
  if (headerHeight > 0) return {1, headerHeight, w - 1, h - 1};
  gui::TRect r{1, 1, w - 1, h - 1};
  switch (open) {
    case boLeft: r.Left = 0; break;
    case boTop: r.Top = 0; break;
    case boRight: r.Right = w; break;
    case boBottom: r.Bottom = h; break;
    default: break;
  }
  return r;
}

gui::TRect PanelHeaderRect(int w, int headerHeight) {
  if (headerHeight <= 0) return {};
  return {1, 1, w - 1, headerHeight};
}

std::vector<TPoint> PanelHeaderSeparator(int w, int headerHeight) {
  return {{1, headerHeight - 1}, {w, headerHeight - 1}};
}

std::vector<TPanelBevel> PanelInnerEdges(TBorderOpen open, int w, int h, int headerHeight) {
  const std::vector<TPoint> bodyBottomRight{{w - 2, 3}, {w - 2, h - 4}, {w - 4, h - 2}, {3, h - 2}, {1, h - 4}};
  if (headerHeight > 0) {
    if (open != boNone) return {};
    const int hh = headerHeight;
    return {{{{{1, hh}, {1, 3}, {3, 1}, {w - 4, 1}, {w - 2, 3}}, {{w - 2, 3}, {w - 2, hh}, {1, hh}}}, true},
            {{{{1, h - 4}, {1, hh + 1}, {w - 2, hh + 1}},
              {{w - 2, hh + 1}, {w - 2, h - 4}, {w - 4, h - 2}, {3, h - 2}, {1, h - 4}}},
             false}};
  }
  switch (open) {
    case boNone:
      return {{{{{1, h - 4}, {1, 3}, {3, 1}, {w - 4, 1}, {w - 2, 3}}, bodyBottomRight}, false}};
    case boTop:
      return {{{{{1, h - 4}, {1, 0}, {1, 1}}, {{w - 2, 0}, {w - 2, h - 4}, {w - 4, h - 2}, {3, h - 2}, {1, h - 4}}},
               false}};
    default: return {};
  }
}

TPanelCaptionPlace PanelCaptionPlace(gui::TAlignment alignment, TAlignmentV alignmentV, int w, int h,
                                     int textHeight, int captionTop, int captionPadding) {
  TPanelCaptionPlace place;
  switch (alignmentV) {
    case tavMiddle: place.Anchor.y = h / 2 - textHeight / 2; break;
    case tavBottom: place.Anchor.y = h - textHeight - captionTop; break;
    default: place.Anchor.y = captionTop; break;
  }
  switch (alignment) {
    case gui::taLeftJustify:
      place.Anchor.x = captionPadding;
      place.TextAlign = gui::TA_LEFT;
      break;
    case gui::taRightJustify:
      place.Anchor.x = w - captionPadding;
      place.TextAlign = gui::TA_RIGHT;
      break;
    default:
      place.Anchor.x = w / 2;
      place.TextAlign = gui::TA_CENTER;
      break;
  }
  return place;
}
