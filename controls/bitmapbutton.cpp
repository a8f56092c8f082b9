#include "bitmapbutton.h"

#include "colorshades.h"
#include "ownerdraw.h"

using gui::TCanvas;
using gui::TColor;

TBitmapButton::TBitmapButton(gui::TComponent* owner) : gui::TCustomControl(owner) {
  SetBounds(Left(), Top(), 75, 25);
  SetControlStyle(ControlStyle() | gui::csOpaque);
  FFont.OnChange = [this] { Invalidate(); };
}

void TBitmapButton::SetStyle(TBtnStyle style) {
  FStyle = style;
  Invalidate();
}

void TBitmapButton::SetShape(TButtonShape shape) {
  FShape = shape;
  Invalidate();
}

void TBitmapButton::SetFocusStyle(TFocusStyle style) {
  FFocusStyle = style;
  Invalidate();
}

void TBitmapButton::SetDrawBorder(bool drawBorder) {
  FDrawBorder = drawBorder;
  Invalidate();
}

void TBitmapButton::SetFlat(bool flat) {
  FFlat = flat;
  Invalidate();
}

void TBitmapButton::SetBitmap(const gui::TBitmap* bitmap) {
  if (bitmap) {
    FBitmap.Assign(*bitmap);
  } else {
    FBitmap.Clear();
  }
  Invalidate();
}

void TBitmapButton::SetDisBitmap(const gui::TBitmap* bitmap) {
  if (bitmap) {
    FDisBitmap.Assign(*bitmap);
  } else {
    FDisBitmap.Clear();
  }
  Invalidate();
}

void TBitmapButton::SetTransparent(bool transparent) { FTransparent = transparent; }

void TBitmapButton::SetCaptionW(const std::u16string& caption) {
  FCaptionW = caption;
  Invalidate();
}

void TBitmapButton::SetFont(const gui::TFont* font) {
  if (font) FFont.Assign(*font);
}

void TBitmapButton::SetGap(int gap) {
  FGap = gap;
  Invalidate();
}

void TBitmapButton::SetTextPaddingTop(int padding) {
  FTextPaddingTop = padding;
  Invalidate();
}

void TBitmapButton::SetBackColor(TColor color) {
  FBackColor = color;
  Invalidate();
}

void TBitmapButton::SetButtonColor(TColor color) {
  FButtonColor = color;
  Invalidate();
}

void TBitmapButton::SetBorderColor(TColor color) {
  FBorderColor = color;
  Invalidate();
}

void TBitmapButton::SetBorderOver(TColor color) {
  FBorderOver = color;
  Invalidate();
}

// Clicks reach OnClick only while the button is enabled, also those made
// with the Enter key.
void TBitmapButton::Click() {
  if (Enabled()) gui::TCustomControl::Click();
}

void TBitmapButton::KeyDown(gui::TVirtualKey& key, gui::TShiftState) {
  if (key == gui::VK_RETURN) Click();
}

void TBitmapButton::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (!FState.Press(button == gui::mbLeft, Enabled(), FStyle)) return;
  if (TabStop()) SetFocus();
  Invalidate();
  gui::TCustomControl::MouseDown(button, shift, x, y);
}

void TBitmapButton::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  const bool endsPress = FState.Release();
  Invalidate();
  if (endsPress) gui::TCustomControl::MouseUp(button, shift, x, y);
}

void TBitmapButton::MouseEnter() {
  if (!FState.Enter(Enabled())) return;
  Invalidate();
  if (OnMouseEnter) OnMouseEnter(this);
}

void TBitmapButton::MouseLeave() {
  FState.Leave();
  Invalidate();
  if (OnMouseLeave) OnMouseLeave(this);
}

void TBitmapButton::FocusReceived() {
  FState.FocusIn();
  Invalidate();
  gui::TCustomControl::FocusReceived();
}

void TBitmapButton::FocusLost() {
  FState.FocusOut();
  Invalidate();
  gui::TCustomControl::FocusLost();
}

void TBitmapButton::Paint() {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  // Composed off screen and copied in one piece, so the button never
  // flickers through its layers.
  gui::TBitmap image(w, h);
  TCanvas& canvas = image.Canvas();
  canvas.SetBkMode(gui::bkTransparent);
  if (ParentColor() && Parent()) FBackColor = Parent()->Color();
  // The shades are taken from the colour word as it is: a system colour is
  // not resolved first.
  TColor light = 0, dark = 0;
  rtl::CalcColors3D(FButtonColor, light, dark);

  canvas.Brush() = {FBackColor, gui::bsSolid};
  canvas.FillRect(gui::Rect(0, 0, w, h));
  DrawFace(canvas, light, dark);
  DrawCaptionAndPicture(canvas, light, dark);
  DrawFocusMark(canvas);
  Canvas().Draw(0, 0, image);
}

void TBitmapButton::DrawFace(TCanvas& canvas, TColor light, TColor dark) {
  const int w = Width(), h = Height();
  const TColor border = ButtonBorderColor(Enabled(), FState.Hover(), FFlat, FBorderColor, FBorderOver, dark);
  // Without a border the outline takes the face colour and disappears.
  canvas.Pen() = {FDrawBorder ? border : FButtonColor, 1, gui::psSolid};
  canvas.Brush() = {FButtonColor, gui::bsSolid};
  if (FShape == bsRect) {
    canvas.Rectangle(0, 0, w, h);
  } else {
    canvas.RoundRect(0, 0, w, h, 8, 8);
  }
  if (FFlat || !Enabled()) return;
  const bool pressed = FState.Pressed();
  DrawEdges(canvas, ButtonEdges(FShape, FDrawBorder, w, h), pressed ? dark : light, pressed ? light : dark);
}

void TBitmapButton::DrawCaptionAndPicture(TCanvas& canvas, TColor light, TColor dark) {
  const std::u16string caption = ShownCaption(FCaptionW, Caption());
  int captionWidth = 0, ascent = 0;
  if (!caption.empty()) {
    // The baseline follows the ascent of the canvas's own (default) font,
    // whatever font the caption uses.
    canvas.Font().Assign(gui::TFont());
    ascent = canvas.GetTextMetrics().Ascent;
    canvas.Font().Assign(FFont);
    captionWidth = canvas.TextExtent(caption).cx;
  }
  const TButtonContent at = ButtonContentLayout(Width(), Height(), FGap, FTextPaddingTop, captionWidth, ascent,
                                                FBitmap.Width(), FBitmap.Height());
  const bool pressed = FState.Pressed();
  if (!caption.empty()) {
    canvas.SetTextAlign(gui::TA_CENTER | gui::TA_BASELINE);
    const gui::TPoint p = at.Caption;
    if (!Enabled()) {
      canvas.Font().SetColor(light);
      canvas.TextOut(p.x + 1, p.y + 1, caption);
      canvas.Font().SetColor(dark);
      canvas.TextOut(p.x, p.y, caption);
    } else {
      const int shift = pressed ? 1 : 0;
      canvas.TextOut(p.x + shift, p.y + shift, caption);
    }
  }
  if (FBitmap.Empty()) return;
  gui::TBitmap& picture = Enabled() ? FBitmap : FDisBitmap;
  if (picture.Empty()) return;
  picture.SetTransparent(FTransparent);
  const int shift = pressed ? 1 : 0;
  const int pw = picture.Width(), ph = picture.Height();
  canvas.CopyRect(gui::Bounds(at.Picture.x + shift, at.Picture.y + shift, pw, ph), picture.Canvas(),
                  gui::Rect(0, 0, pw, ph));
}

void TBitmapButton::DrawFocusMark(TCanvas& canvas) {
  if (!FState.Focused() || !TabStop()) return;
  const int w = Width(), h = Height();
  if (FFocusStyle == fsSystem) {
    canvas.DrawFocusRect(ButtonFocusRect(FShape, w, h));
    return;
  }
  for (const auto& mark : ButtonFocusMarks(FShape, w, h)) DrawPolyline(canvas, mark, FBorderColor);
}
