#include "plotpainter.h"

#include "plotgeometry.h"

namespace plotpainter {

int FontHeight(bool print, int dpiY) { return print ? -gui::MulDiv(11, dpiY, 72) : -11; }

void SelectFont(gui::TCanvas& c, bool print, int dpiY, bool bold, gui::TColor colour) {
  gui::TFont& f = c.Font();
  f.SetName("Microsoft Sans Serif");
  f.SetHeight(FontHeight(print, dpiY));
  f.SetStyle(bold ? gui::fsBold : 0);
  f.SetColor(colour);
}

void Fill(gui::TCanvas& c, const gui::TRect& r, gui::TColor colour) {
  c.Brush() = {colour, gui::bsSolid};
  c.FillRect(r);
}

void SelectPen(gui::TCanvas& c, gui::TColor colour, int width, gui::TPenStyle style) {
  c.Pen() = {colour, width, style};
}

void Line(gui::TCanvas& c, int x1, int y1, int x2, int y2) {
  c.MoveTo(x1, y1);
  c.LineTo(x2, y2);
}

void Triangle(gui::TCanvas& c, gui::TPoint a, gui::TPoint b, gui::TPoint p, gui::TColor colour, int penWidth) {
  SelectPen(c, colour, penWidth);
  c.Brush() = {colour, gui::bsSolid};
  c.Polygon({a, b, p});
}

void CentredText(gui::TCanvas& c, const std::u16string& text, gui::TRect r) {
  c.DrawText(text, r, gui::DT_CENTER | gui::DT_VCENTER | gui::DT_SINGLELINE | gui::DT_NOPREFIX);
}

void DrawUnitBox(gui::TCanvas& c, const gui::TRect& band, const std::u16string& unit, bool thousands, gui::TColor fill,
                 int textHeight) {
  const gui::TRect box = gui::Rect(band.Left, band.Top, band.Right, UnitBoxBottom(band.Top, textHeight, false));
  Fill(c, box, fill);
  CentredText(c, unit, box);
  if (!thousands) return;
  const gui::TRect second =
      gui::Rect(band.Left, band.Top + textHeight, band.Right, UnitBoxBottom(band.Top, textHeight, true));
  Fill(c, second, fill);
  CentredText(c, u"x10 \u00B3", second);
}

void DrawChannelCorner(gui::TCanvas& c, const gui::TRect& r, bool left, const TCornerLook& look) {
  Fill(c, r, look.Fill);
  const bool channelA = look.ShowA == look.ShowB ? left : look.ShowA != 0;
  SelectFont(c, false, 96, true, channelA ? look.ColorA : look.ColorB);
  CentredText(c, channelA ? u"A" : u"B", r);
}

void DrawFrontCorner(gui::TCanvas& c, const gui::TRect& r, bool left, const TCornerLook& look) {
  Fill(c, r, look.Fill);
  if (!left || !look.ShowA || !look.ShowB) return;
  const int q = r.Width() / 4;
  const gui::TColor front = look.AFront ? look.ColorA : look.ColorB;
  const gui::TColor back = look.AFront ? look.ColorB : look.ColorA;
  SelectPen(c, back, 0);
  c.Brush() = {back, gui::bsSolid};
  c.Rectangle(r.Left + q, r.Top + 5, r.Right - q - 1, r.Bottom - 6);
  Triangle(c, {r.Left + q, r.Bottom - 6}, {r.Left + q, r.Top + 5}, {r.Right - q - 1, r.Top + 5}, front, 0);
}

void DrawCorners(gui::TCanvas& c, const TCornerAreas& corners, const TCornerLook& look) {
  if (corners.Top && corners.Left) DrawChannelCorner(c, corners.TopLeft, true, look);
  if (corners.Top && corners.Right) DrawChannelCorner(c, corners.TopRight, false, look);
  if (corners.Bottom && corners.Left) DrawFrontCorner(c, corners.BottomLeft, true, look);
  if (corners.Bottom && corners.Right) DrawFrontCorner(c, corners.BottomRight, false, look);
}

}  // namespace plotpainter
