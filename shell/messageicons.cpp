#include "messageicons.h"

#include "canvas.h"

namespace {

constexpr gui::TColor IconBlue = 0xC06000;
constexpr gui::TColor IconYellow = 0x00D0FF;
constexpr gui::TColor IconRed = 0x2020D0;

void DrawDisc(gui::TCanvas& c, gui::TColor fill) {
  c.Pen() = {gui::clBlack, 1, gui::psSolid};
  c.Brush() = {fill, gui::bsSolid};
  c.Ellipse(8, 8, 52, 52);
}

void DrawSign(gui::TCanvas& c, const char16_t* sign, gui::TColor color, gui::TRect r) {
  c.Font().SetName("Arial");
  c.Font().SetHeight(-30);
  c.Font().SetStyle(gui::fsBold);
  c.Font().SetColor(color);
  c.SetBkMode(gui::bkTransparent);
  c.DrawText(sign, r, gui::DT_CENTER | gui::DT_VCENTER | gui::DT_SINGLELINE | gui::DT_NOPREFIX);
}

void DrawCross(gui::TCanvas& c) {
  c.Pen() = {gui::clWhite, 5, gui::psSolid};
  c.MoveTo(21, 21);
  c.LineTo(39, 39);
  c.MoveTo(39, 21);
  c.LineTo(21, 39);
}

}  // namespace

gui::TBitmap MessageIconPicture(TMessageIcon icon, gui::TColor background) {
  gui::TBitmap picture(MessageIconSize, MessageIconSize);
  gui::TCanvas& c = picture.Canvas();
  c.Brush() = {background, gui::bsSolid};
  c.FillRect(gui::Rect(0, 0, MessageIconSize, MessageIconSize));
  switch (icon) {
    case miInformation:
      DrawDisc(c, IconBlue);
      DrawSign(c, u"i", gui::clWhite, gui::Rect(8, 8, 52, 52));
      break;
    case miQuestion:
      DrawDisc(c, IconBlue);
      DrawSign(c, u"?", gui::clWhite, gui::Rect(8, 8, 52, 52));
      break;
    case miWarning:
      c.Pen() = {gui::clBlack, 1, gui::psSolid};
      c.Brush() = {IconYellow, gui::bsSolid};
      c.Polygon({{30, 8}, {53, 50}, {7, 50}});
      DrawSign(c, u"!", gui::clBlack, gui::Rect(8, 18, 52, 52));
      break;
    case miError:
      DrawDisc(c, IconRed);
      DrawCross(c);
      break;
  }
  return picture;
}
