#include "viewimages.h"

#include <string_view>
#include <tuple>
#include <utility>

namespace {

gui::TBitmap Blank(int w, int h, gui::TColor background) {
  gui::TBitmap b(w, h);
  gui::TCanvas& c = b.Canvas();
  c.Brush() = {background, gui::bsSolid};
  c.FillRect(gui::Rect(0, 0, w, h));
  b.SetTransparent(true);
  b.SetTransparentColor(background);
  return b;
}

void Line(gui::TCanvas& c, int x1, int y1, int x2, int y2) {
  c.MoveTo(x1, y1);
  c.LineTo(x2, y2);
}

void Letters(gui::TCanvas& c, std::u16string_view text, int height, gui::TColor color, gui::TRect r) {
  c.SetBkMode(gui::bkTransparent);
  c.Font().SetName("Small Fonts");
  c.Font().SetHeight(height);
  c.Font().SetStyle(gui::fsBold);
  c.Font().SetColor(color);
  c.DrawText(text, r, gui::DT_CENTER | gui::DT_VCENTER | gui::DT_SINGLELINE | gui::DT_NOPREFIX);
}

// A magnifier with + or - and the axis it zooms.
void Magnifier(gui::TCanvas& c, gui::TColor color, bool in, std::u16string_view axis) {
  c.Pen() = {color, 1, gui::psSolid};
  c.Brush().Style = gui::bsClear;
  c.Ellipse(1, 1, 10, 10);
  Line(c, 8, 8, 12, 12);
  Line(c, 9, 8, 13, 12);
  Line(c, 3, 5, 8, 5);
  if (in) Line(c, 5, 3, 5, 8);
  if (!axis.empty()) Letters(c, axis, -7, color, gui::Rect(9, 8, 16, 16));
}

// A cursor line with its letter.
void CursorLine(gui::TCanvas& c, gui::TColor color, std::u16string_view letter) {
  c.Pen() = {color, 1, gui::psSolid};
  Line(c, 4, 1, 4, 15);
  Line(c, 2, 13, 7, 13);
  Letters(c, letter, -9, color, gui::Rect(6, 1, 16, 11));
}

void Shape(gui::TCanvas& c, TViewGlyph glyph, gui::TColor color) {
  c.Pen() = {color, 1, gui::psSolid};
  c.Brush() = {color, gui::bsSolid};
  switch (glyph) {
    case vgZoomInX: Magnifier(c, color, true, u"X"); break;
    case vgZoomOutX: Magnifier(c, color, false, u"X"); break;
    case vgZoomInY: Magnifier(c, color, true, u"Y"); break;
    case vgZoomOutY: Magnifier(c, color, false, u"Y"); break;
    case vgZoomXY:
      Magnifier(c, color, true, u"");
      Line(c, 14, 1, 14, 15);
      Line(c, 1, 14, 15, 14);
      break;
    case vgZoomPrev:
      c.Polygon({{1, 7}, {6, 2}, {6, 12}});
      c.Brush().Style = gui::bsClear;
      c.Rectangle(6, 6, 15, 9);
      break;
    case vgZoomAll:
      c.Brush().Style = gui::bsClear;
      c.Rectangle(4, 4, 12, 12);
      for (const auto& [x, y, dx, dy] : {std::tuple{1, 1, 1, 1}, {14, 1, -1, 1}, {1, 14, 1, -1}, {14, 14, -1, -1}}) {
        Line(c, x, y, x + 3 * dx, y);
        Line(c, x, y, x, y + 3 * dy);
      }
      break;
    case vgGotoX: CursorLine(c, color, u"X"); break;
    case vgGotoY: CursorLine(c, color, u"Y"); break;
    case vgGotoT: CursorLine(c, color, u"T"); break;
    case vgGotoTAndZoom:
      Magnifier(c, color, true, u"");
      Letters(c, u"T", -9, color, gui::Rect(9, 6, 16, 16));
      break;
    case vgLogLin: Letters(c, u"dB", -10, color, gui::Rect(0, 0, 16, 16)); break;
    case vgChannelsAB: Letters(c, u"A+B", -8, color, gui::Rect(0, 0, 16, 16)); break;
    case vgChannelsA: Letters(c, u"A", -11, color, gui::Rect(0, 0, 16, 16)); break;
    case vgChannelsB: Letters(c, u"B", -11, color, gui::Rect(0, 0, 16, 16)); break;
    case vgAsyncFile:
      c.Brush().Style = gui::bsClear;
      c.Polygon({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}});
      Line(c, 10, 1, 10, 4);
      Line(c, 10, 4, 13, 4);
      Line(c, 5, 8, 11, 8);
      Line(c, 5, 11, 11, 11);
      break;
    case vgPrint:
      c.Brush().Style = gui::bsClear;
      c.Rectangle(4, 1, 12, 6);
      c.Rectangle(1, 6, 15, 12);
      c.Rectangle(4, 10, 12, 15);
      break;
    case vgSetup:
      c.Brush().Style = gui::bsClear;
      c.Ellipse(4, 4, 12, 12);
      Line(c, 8, 1, 8, 4);
      Line(c, 8, 12, 8, 15);
      Line(c, 1, 8, 4, 8);
      Line(c, 12, 8, 15, 8);
      break;
    case vgBalancing:
      c.Brush().Style = gui::bsClear;
      c.Ellipse(1, 1, 15, 15);
      c.Brush() = {color, gui::bsSolid};
      c.Ellipse(9, 3, 13, 7);
      Line(c, 8, 8, 8, 9);
      break;
    case vgSpectrum:
      for (const auto& [x, h] : {std::pair{2, 4}, {5, 11}, {8, 6}, {11, 9}, {14, 3}})
        c.FillRect(gui::Rect(x - 1, 15 - h, x + 1, 15));
      break;
    case vgOscilloscope:
      c.Brush().Style = gui::bsClear;
      c.Polyline({{0, 8}, {2, 4}, {4, 2}, {6, 4}, {8, 8}, {10, 12}, {12, 14}, {14, 12}, {16, 8}});
      break;
    case vgStart: c.Polygon({{4, 2}, {13, 8}, {4, 14}}); break;
    case vgStop: c.FillRect(gui::Rect(3, 3, 13, 13)); break;
  }
}

}  // namespace

gui::TBitmap ViewGlyph(TViewGlyph glyph, gui::TColor background, gui::TColor color) {
  gui::TBitmap b = Blank(ViewGlyphSize, ViewGlyphSize, background);
  Shape(b.Canvas(), glyph, color);
  return b;
}

TViewGlyph ChannelsGlyph(uint8_t channelsShown) {
  switch (channelsShown) {
    case 1: return vgChannelsA;
    case 2: return vgChannelsB;
    default: return vgChannelsAB;
  }
}

gui::TBitmap StripGlyph(TStripGlyph glyph, gui::TColor color, gui::TColor background) {
  gui::TBitmap b = Blank(9, 9, background);
  gui::TCanvas& c = b.Canvas();
  c.Pen() = {color, 1, gui::psSolid};
  c.Brush().Style = gui::bsClear;
  switch (glyph) {
    case sgClose:
      for (int i = 1; i < 8; ++i) {
        c.SetPixel(i, i, color);
        c.SetPixel(8 - i, i, color);
      }
      break;
    case sgMinimize: c.Rectangle(1, 6, 8, 8); break;
    case sgMaximize:
      c.Rectangle(0, 0, 9, 9);
      Line(c, 0, 1, 9, 1);
      break;
    case sgRestore:
      c.Rectangle(2, 0, 9, 6);
      c.Rectangle(0, 3, 7, 9);
      break;
  }
  return b;
}
