#include "panelex.h"

#include "colorshades.h"
#include "ownerdraw.h"

using gui::TCanvas;
using gui::TColor;

TPanelEx::TPanelEx(gui::TComponent* owner) : gui::TPanel(owner) {}

void TPanelEx::SetBitmap(const gui::TBitmap* bitmap) {
  if (bitmap) {
    FBitmap.Assign(*bitmap);
  } else {
    FBitmap.Clear();
  }
  Invalidate();
}

void TPanelEx::SetFaceColor(TColor color) {
  FFaceColor = color;
  Invalidate();
}

void TPanelEx::SetHeaderColor(TColor color) {
  FHeaderColor = color;
  Invalidate();
}

void TPanelEx::SetHeaderHeight(int height) {
  FHeaderHeight = height;
  Invalidate();
}

void TPanelEx::SetBorderColor(TColor color) {
  FBorderColor = color;
  Invalidate();
}

void TPanelEx::SetBorderStyle(TPanelBorderStyle style) {
  FBorderStyle = style;
  Invalidate();
}

void TPanelEx::SetBorderOpen(TBorderOpen open) {
  FBorderOpen = open;
  Invalidate();
}

void TPanelEx::SetCaptionW(const std::u16string& caption) {
  FCaptionW = caption;
  Invalidate();
}

void TPanelEx::SetCaptionTop(int top) {
  FCaptionTop = top;
  Invalidate();
}

void TPanelEx::SetCaptionPadding(int padding) {
  FCaptionPadding = padding;
  Invalidate();
}

void TPanelEx::SetAlignmentV(TAlignmentV alignment) {
  FAlignmentV = alignment;
  Invalidate();
}

std::vector<gui::TPoint> TPanelEx::GetFrame() const {
  return PanelFrame(FBorderStyle, FBorderOpen, Width(), Height());
}

void TPanelEx::Paint() {
  TCanvas& canvas = Canvas();
  canvas.SetBkMode(gui::bkTransparent);
  PaintBody(canvas);
  PaintFrame(canvas);
  if (!FBitmap.Empty()) {
    const int pw = FBitmap.Width(), ph = FBitmap.Height();
    canvas.CopyRect(gui::Bounds(Width() / 2 - pw / 2, Height() / 2 - ph / 2, pw, ph), FBitmap.Canvas(),
                    gui::Rect(0, 0, pw, ph));
  }
  PaintCaption(canvas);
}

void TPanelEx::PaintBody(TCanvas& canvas) {
  const int w = Width(), h = Height();
  if (FHeaderHeight > 0) {
    canvas.Brush() = {FHeaderColor, gui::bsSolid};
    canvas.FillRect(PanelHeaderRect(w, FHeaderHeight));
    if (BevelOuter() == gui::bvSpace) DrawPolyline(canvas, PanelHeaderSeparator(w, FHeaderHeight), FBorderColor);
  }
  canvas.Brush() = {FFaceColor, gui::bsSolid};
  canvas.FillRect(PanelBodyRect(FBorderOpen, w, h, FHeaderHeight));
}

void TPanelEx::PaintFrame(TCanvas& canvas) {
  const int w = Width(), h = Height();
  const gui::TBevelCut bevel = BevelOuter();
  TColor faceLight = 0, faceDark = 0;
  rtl::CalcColors3D(FFaceColor, faceLight, faceDark);
  if (FBorderStyle == pbsNone) {
    const bool raised = bevel == gui::bvRaised;
    DrawEdges(canvas, PanelFlatFrame(w, h), raised ? faceLight : faceDark, raised ? faceDark : faceLight);
    return;
  }
  const std::vector<gui::TPoint> outline = GetFrame();
  if (bevel == gui::bvNone) {
    DrawPolyline(canvas, outline, FFaceColor);
    return;
  }
  DrawPolyline(canvas, outline, FBorderColor);
  if (bevel == gui::bvSpace) return;
  TColor headerLight = 0, headerDark = 0;
  rtl::CalcColors3D(FHeaderColor, headerLight, headerDark);
  const bool raised = bevel == gui::bvRaised;
  for (const TPanelBevel& edge : PanelInnerEdges(FBorderOpen, w, h, FHeaderHeight)) {
    const TColor light = edge.Header ? headerLight : faceLight;
    const TColor dark = edge.Header ? headerDark : faceDark;
    DrawEdges(canvas, edge.Edges, raised ? light : dark, raised ? dark : light);
  }
}

void TPanelEx::PaintCaption(TCanvas& canvas) {
  const std::u16string caption = ShownCaption(FCaptionW, Caption());
  if (caption.empty()) return;
  canvas.Font().Assign(Font());
  const int textHeight = canvas.TextExtent(caption).cy;
  const TPanelCaptionPlace place = PanelCaptionPlace(Alignment(), FAlignmentV, Width(), Height(), textHeight,
                                                     FCaptionTop, FCaptionPadding);
  canvas.SetTextAlign(place.TextAlign | gui::TA_TOP);
  const gui::TPoint p = place.Anchor;
  if (Enabled()) {
    canvas.TextOut(p.x, p.y, caption);
    return;
  }
  // Only a centred caption gets the white highlight of the etched look.
  if (Alignment() == gui::taCenter) {
    canvas.Font().SetColor(gui::clWhite);
    canvas.TextOut(p.x + 1, p.y + 1, caption);
  }
  canvas.Font().SetColor(gui::clGray);
  canvas.TextOut(p.x, p.y, caption);
}
