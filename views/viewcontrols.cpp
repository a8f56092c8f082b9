#include "viewcontrols.h"

#include "form.h"
#include "panel.h"
#include "wincontrol.h"

namespace {

template <typename T>
T* Place(T* control, gui::TWinControl* parent, const char* name) {
  control->SetParent(parent);
  control->SetName(name);
  return control;
}

// The read-out's text: black, 13 pixels high.
void SetReadoutFont(gui::TFont& font) {
  font.SetName("Microsoft Sans Serif");
  font.SetHeight(-13);
  font.SetColor(gui::clBlack);
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
  SetReadoutFont(b->Font());
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
  SetReadoutFont(p->Font());
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

void BuildSignalToolBar(TSignalViewControls& c, gui::TForm* form, gui::TPanel* panel,
                        std::initializer_list<TToolButtonSpec> left, const TToolButtonSpec& other) {
  c.peButtons = CreateViewPanel(form, panel, "peButtons", 770, 35, ToolBarFace, ToolBarBorder);
  gui::TWinControl* bar = c.peButtons;
  const auto place = [&](const TToolButtonSpec& spec, int x) {
    *spec.Button = CreateToolButton(form, bar, spec.Name, x, spec.Glyph);
    if (spec.Tag != 0) (*spec.Button)->SetTag(spec.Tag);
  };
  int x = 4;
  for (const TToolButtonSpec& spec : left) {
    place(spec, x);
    x += 28;
  }
  const int startStop = 770 - 4 - 70;
  const std::initializer_list<TToolButtonSpec> right = {{"bAsyncFile", vgAsyncFile, &c.bAsyncFile},
                                                        {"bPrint", vgPrint, &c.bPrint},
                                                        {"bSetup", vgSetup, &c.bSetup},
                                                        {"bBalancing", vgBalancing, &c.bBalancing},
                                                        other};
  int k = 6;
  for (const TToolButtonSpec& spec : right) place(spec, startStop - 28 * k--);
  c.bStartStop = CreateToolButton(form, bar, "bStartStop", startStop, vgStart);
  c.bStartStop->SetWidth(70);
  c.bStartStop->Font().SetStyle(gui::fsBold);
  c.bStartStop->SetGap(4);
}

void BuildReadoutPanel(TSignalViewControls& c, gui::TForm* form, gui::TPanel* panel) {
  c.peInfo = CreateViewPanel(form, panel, "peInfo", 770, 48, ToolBarFace, ToolBarBorder);
}

gui::TPaintBox* CreatePlotBox(gui::TForm* form, gui::TPanel* panel, const char* name) {
  return Place(new gui::TPaintBox(form), panel, name);
}

gui::TScrollBar* CreateViewScrollBar(gui::TForm* form, gui::TPanel* panel, const char* name, bool vertical) {
  auto* bar = Place(new gui::TScrollBar(form), panel, name);
  if (vertical) {
    bar->SetKind(gui::sbVertical);
    bar->SetWidth(16);
  } else {
    bar->SetHeight(16);
  }
  bar->SetTabStop(false);
  return bar;
}

int LayoutSignalPanels(TSignalViewControls& c, gui::TPanel* panel) {
  const int h = panel->Height();
  c.peInfo->SetBounds(5, h - c.peInfo->Height() - 5, c.peInfo->Width(), c.peInfo->Height());
  c.peStatus->SetBounds(5, c.peInfo->Top() - c.peStatus->Height() - 4, c.peStatus->Width(), c.peStatus->Height());
  c.peButtons->SetBounds(5, c.peStatus->Top() - c.peButtons->Height() - 4, c.peButtons->Width(), c.peButtons->Height());
  return c.peButtons->Top();
}
