#include "windowframe.h"

#include "bitmapbutton.h"
#include "canvas.h"
#include "formatting.h"
#include "formframe.h"
#include "frame3d.h"
#include "labelex.h"
#include "panel.h"

namespace {

// The strip close button: a small square with a cross, as the windows'
// pictures show it.
constexpr int CloseButtonSize = 15;

gui::TBitmap CloseGlyph(gui::TColor color) {
  gui::TBitmap glyph(7, 7);
  gui::TCanvas& c = glyph.Canvas();
  c.Brush() = {gui::clWhite, gui::bsSolid};
  c.FillRect(gui::Rect(0, 0, 7, 7));
  for (int i = 0; i < 7; ++i) {
    c.SetPixel(i, i, color);
    c.SetPixel(6 - i, i, color);
  }
  glyph.SetTransparent(true);
  glyph.SetTransparentColor(gui::clWhite);
  return glyph;
}

}  // namespace

int FrameBorderWidth(const TFrameStyle& style) { return style.Sizeable ? gui::OwnFrameSizing : gui::OwnFrameThin; }

int WindowFrameHitTest(int x, int y, int width, int height, const TFrameStyle& style) {
  const int answer = gui::FrameHitTest(x, y, width, height, FrameBorderWidth(style), style.Sizeable);
  return gui::CaptionBandHitTest(answer, x, y, width, style.RightKeep, style.BandHeight);
}

std::optional<TFrameColors> FrameColorsFor(int activationState) {
  switch (activationState) {
    case gui::WA_ACTIVE:
    case gui::WA_CLICKACTIVE: return TFrameColors{FrameActiveColor, CaptionActiveText};
    case gui::WA_INACTIVE: return TFrameColors{FrameInactiveColor, CaptionInactiveText};
    default: return std::nullopt;
  }
}

TPanelEdge PanelEdgeFor(const gui::TRect& panelBounds, gui::TColor panelColor) {
  TPanelEdge edge;
  edge.Bounds = panelBounds.Inflate(1, 1);
  CalcShades(panelColor, edge.Light, edge.Dark);
  return edge;
}

TWindowFrame::TWindowFrame(gui::TComponent* owner, const TFrameStyle& style) : gui::TForm(owner), FStyle(style) {
  SetOwnFrame(true);
  SetBorderStyle(style.Sizeable ? gui::bsSizeable : gui::bsDialog);
  SetKeyPreview(true);
  SetColor(FrameActiveColor);

  pWindow = new gui::TPanel(this);
  pWindow->SetParent(this);
  pWindow->SetBevelOuter(gui::bvNone);
  pWindow->SetColor(WorkPanelColor);
  pWindow->SetParentFont(false);

  leCaption = new TLabelEx(this);
  leCaption->SetParent(this);
  leCaption->SetAutoSize(false);
  leCaption->Font().SetStyle(gui::fsBold);
  leCaption->Font().SetColor(CaptionActiveText);
  leCaption->SetParentColor(false);
  leCaption->SetColor(FrameActiveColor);
  // A caption can name the device, whose "&" is its own.
  leCaption->SetShowAccelChar(false);
}

void TWindowFrame::LayoutFrame(int panelWidth, int panelHeight) {
  pWindow->SetBounds(PanelLeft, PanelTop, panelWidth, panelHeight);
  SetClientWidth(panelWidth + StripMarginX);
  SetClientHeight(panelHeight + StripMarginY);
  SetColor(FrameActiveColor);
  // The caption fills the strip up to the strip buttons.
  leCaption->SetBounds(6, 3, std::max(0, ClientWidth() - 6 - FStyle.RightKeep), 14);
  leCaption->SetColor(Color());
  if (FStyle.Sizeable) {
    pWindow->SetAnchors(gui::akLeft | gui::akTop | gui::akRight | gui::akBottom);
    leCaption->SetAnchors(gui::akLeft | gui::akTop | gui::akRight);
  }
}

void TWindowFrame::PlaceStripButton(TBitmapButton* button) {
  button->SetBounds(ClientWidth() - button->Width() - 6, 3, button->Width(), button->Height());
  if (FStyle.Sizeable) button->SetAnchors(gui::akTop | gui::akRight);
}

void TWindowFrame::PlaceCaptionButtons(TBitmapButton* close, TBitmapButton* maximize, TBitmapButton* minimize) {
  close->SetBounds(ClientWidth() - close->Width() - 6, 2, close->Width(), close->Height());
  maximize->SetBounds(close->Left() - 2 - maximize->Width(), 2, maximize->Width(), maximize->Height());
  minimize->SetBounds(maximize->Left() - minimize->Width(), 2, minimize->Width(), minimize->Height());
  for (TBitmapButton* b : {close, maximize, minimize}) b->SetAnchors(gui::akTop | gui::akRight);
}

TBitmapButton* TWindowFrame::CreateStripCloseButton() {
  auto* button = new TBitmapButton(this);
  button->SetParent(this);
  button->SetBounds(0, 0, CloseButtonSize, CloseButtonSize);
  button->SetShape(bsRect);
  button->SetFlat(true);
  button->SetButtonColor(WorkPanelColor);
  button->SetBorderColor(gui::clBlack);
  button->SetBorderOver(CaptionActiveText);
  button->SetParentColor(true);
  const gui::TBitmap glyph = CloseGlyph(gui::clBlack);
  button->SetBitmap(&glyph);
  button->OnClick = [this](gui::TComponent*) { Close(); };
  PlaceStripButton(button);
  return button;
}

void TWindowFrame::ApplyActivation(int state) {
  const std::optional<TFrameColors> colors = FrameColorsFor(state);
  if (!colors) return;
  leCaption->Font().SetColor(colors->CaptionText);
  leCaption->SetColor(colors->Window);
  SetColor(colors->Window);
}

bool TWindowFrame::FocusTakesEnter() const {
  // A focused button clicks itself on Enter.
  return dynamic_cast<TBitmapButton*>(ActiveControl()) != nullptr;
}

void TWindowFrame::DoShow() {
  ApplyActivation(gui::WA_ACTIVE);
  pWindow->SetColor(WorkPanelColor);
  gui::TForm::DoShow();
}

void TWindowFrame::Activation(int state) {
  gui::TForm::Activation(state);
  ApplyActivation(state);
}

int TWindowFrame::HitTest(int x, int y) {
  return gui::CaptionBandHitTest(gui::TForm::HitTest(x, y), x, y, Width(), FStyle.RightKeep, FStyle.BandHeight);
}

void TWindowFrame::Paint() {
  const TPanelEdge edge = PanelEdgeFor(pWindow->BoundsRect(), WorkPanelColor);
  gui::TRect r = edge.Bounds;
  gui::Frame3D(Canvas(), r, edge.Light, edge.Dark, 1);
  gui::TForm::Paint();
}

void TWindowFrame::KeyPress(char16_t& key) {
  if (key == 27 && EscapeAction) {
    key = 0;
    EscapeAction();
    return;
  }
  gui::TForm::KeyPress(key);
}

void TWindowFrame::KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) {
  // Enter is decided at key-down, where a focused button would click itself.
  if (key == gui::VK_RETURN && EnterAction && !FocusTakesEnter()) {
    key = 0;
    EnterAction();
    return;
  }
  gui::TForm::KeyDown(key, shift);
}
