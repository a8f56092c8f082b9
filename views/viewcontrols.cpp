#include "viewcontrols.h"

#include "form.h"
#include "wincontrol.h"

namespace {

template <typename T>
T* Place(T* control, gui::TWinControl* parent, const char* name) {
  control->SetParent(parent);
  control->SetName(name);
  return control;
}

}  // namespace

TBitmapButton* CreateToolButton(gui::TForm* owner, gui::TWinControl* parent, const char* name, int left,
                                TViewGlyph glyph) {
  auto* b = Place(new TBitmapButton(owner), parent, name);
  b->SetBounds(left, 4, 27, 27);
  b->SetButtonColor(ToolButtonFace);
  b->SetBackColor(ToolBarFace);
  b->SetBorderColor(gui::clGray);
  b->SetBorderOver(gui::clYellow);
  b->SetShowHint(true);
  SetToolGlyph(b, glyph);
  return b;
}

void SetToolGlyph(TBitmapButton* button, TViewGlyph glyph) {
  const gui::TBitmap picture = ViewGlyph(glyph, button->ButtonColor());
  const gui::TBitmap disabled = ViewGlyph(glyph, button->ButtonColor(), ViewDisabledGlyphColor);
  button->SetBitmap(&picture);
  button->SetDisBitmap(&disabled);
}

TBitmapButton* CreateReadoutButton(gui::TForm* owner, gui::TWinControl* parent, const char* name, int left, int top,
                                   int width, bool letter) {
  auto* b = Place(new TBitmapButton(owner), parent, name);
  b->SetBounds(left, top, width, 20);
  b->SetButtonColor(letter ? LetterButtonFace : ValueButtonFace);
  b->SetBackColor(ToolBarFace);
  b->SetBorderColor(gui::clGray);
  b->SetBorderOver(gui::clYellow);
  b->SetShape(bsRect);
  b->Font().SetName("Microsoft Sans Serif");
  b->Font().SetHeight(-13);
  b->Font().SetColor(gui::clBlack);
  b->SetShowHint(true);
  return b;
}

TPanelEx* CreateViewPanel(gui::TForm* owner, gui::TWinControl* parent, const char* name, int width, int height,
                          gui::TColor face, gui::TColor border) {
  auto* p = Place(new TPanelEx(owner), parent, name);
  p->SetBounds(5, 0, width, height);
  p->SetBorderStyle(pbsRounded);
  p->SetFaceColor(face);
  p->SetBorderColor(border);
  p->SetBevelOuter(gui::bvNone);
  return p;
}

TPanelEx* CreateReadoutPanel(gui::TForm* owner, gui::TWinControl* parent, const char* name, int left, int top,
                             int width) {
  auto* p = Place(new TPanelEx(owner), parent, name);
  p->SetBounds(left, top, width, 20);
  p->SetBorderStyle(pbsSharp);
  p->SetFaceColor(LetterButtonFace);
  p->SetBorderColor(gui::clGray);
  p->SetBevelOuter(gui::bvSpace);
  p->SetAlignmentV(tavMiddle);
  p->Font().SetName("Microsoft Sans Serif");
  p->Font().SetHeight(-13);
  p->Font().SetColor(gui::clBlack);
  p->SetParentFont(false);
  p->SetShowHint(true);
  return p;
}

TLabelEx* CreateReadoutLabel(gui::TForm* owner, gui::TWinControl* parent, const char* name, int left,
                             const char16_t* text) {
  auto* l = Place(new TLabelEx(owner), parent, name);
  l->SetAutoSize(false);
  l->SetBounds(left, 3, 12, 14);
  l->SetColor(LetterButtonFace);
  l->Font().SetStyle(gui::fsBold);
  l->SetParentFont(false);
  l->SetShowAccelChar(false);
  l->SetCaptionW(text);
  return l;
}

TBitmapButton* CreateCaptionButton(gui::TForm* owner, const char* name, TStripGlyph glyph) {
  auto* b = Place(new TBitmapButton(owner), owner, name);
  b->SetBounds(0, 0, 16, 15);
  b->SetShape(bsRect);
  b->SetFlat(true);
  b->SetButtonColor(0x9CDBDE);
  b->SetBorderColor(gui::clBlack);
  b->SetBorderOver(gui::clYellow);
  b->SetParentColor(true);
  b->SetShowHint(true);
  const gui::TBitmap picture = StripGlyph(glyph, gui::clBlack, 0x9CDBDE);
  b->SetBitmap(&picture);
  return b;
}

void BuildStatusLine(TViewStatusControls& s, gui::TForm* owner, gui::TWinControl* parent) {
  s.peStatus = CreateViewPanel(owner, parent, "peStatus", 770, 24, StatusFace, gui::clGray);
  const auto lamp = [&](const char* name, int left) {
    auto* image = Place(new gui::TImage(owner), s.peStatus, name);
    image->SetBounds(left, 5, 14, 14);
    image->SetTransparent(true);
    return image;
  };
  const auto label = [&](const char* name, int left, int width) {
    auto* l = Place(new TLabelEx(owner), s.peStatus, name);
    l->SetAutoSize(false);
    l->SetBounds(left, 5, width, 14);
    l->SetColor(StatusFace);
    l->SetParentFont(false);
    l->SetShowAccelChar(false);
    return l;
  };
  s.iStatusLed = lamp("iStatusLed", 6);
  s.leStatus = label("leStatus", 24, 300);
  s.iErrorLed = lamp("iErrorLed", 334);
  s.leError = label("leError", 352, 410);
}

void ApplyStatusLine(TViewStatusControls& s, const TViewStatusLine& line) {
  s.leStatus->SetCaptionW(line.StatusText);
  s.iStatusLed->SetPicture(line.StatusLamp);
  s.leError->SetCaptionW(line.ErrorText);
  s.leError->Font().SetColor(line.ErrorColor);
  s.iErrorLed->SetPicture(line.ErrorLamp);
}
