#include "panel.h"

#include "frame3d.h"

namespace gui {

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelOuter(TBevelCut bevel) {
  FBevelOuter = bevel;
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut bevel) {
  FBevelInner = bevel;
  Invalidate();
}

void TPanel::SetBevelWidth(int width) {
  FBevelWidth = width;
  Invalidate();
}

void TPanel::SetAlignment(TAlignment alignment) {
  FAlignment = alignment;
  Invalidate();
}

namespace {

void BevelColors(TBevelCut bevel, TColor& top, TColor& bottom) {
  top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
  bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

}  // namespace

void TPanel::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  TColor top = 0, bottom = 0;
  if (FBevelOuter != bvNone) {
    BevelColors(FBevelOuter, top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  if (FBevelInner != bvNone) {
    BevelColors(FBevelInner, top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  c.Brush().Color = Color();
  c.Brush().Style = bsSolid;
  c.FillRect(r);
  if (Caption().empty()) return;
  c.Font().Assign(Font());
  if (!Enabled()) c.Font().SetColor(clGrayText);
  c.SetBkMode(bkTransparent);
  const int fontHeight = c.TextHeight(u"W");
  r.Top = (r.Bottom + r.Top - fontHeight) / 2;
  r.Bottom = r.Top + fontHeight;
  const unsigned align = FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  c.DrawText(Caption(), r, DT_VCENTER | DT_SINGLELINE | align);
}

}  // namespace gui
