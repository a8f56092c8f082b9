#include "label.h"

#include <map>

#include "wincontrol.h"

namespace gui {

namespace {

unsigned AlignmentFlag(TAlignment a) {
  switch (a) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

}  // namespace

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
}

namespace {

// Which labels name which control. Kept here, so that a control carries
// nothing for the labels that may name it.
std::multimap<const TWinControl*, TLabel*>& LabelsByControl() {
  static std::multimap<const TWinControl*, TLabel*> labels;
  return labels;
}

void Unlink(const TWinControl* control, const TLabel* label) {
  auto [first, last] = LabelsByControl().equal_range(control);
  for (auto it = first; it != last; ++it) {
    if (it->second != label) continue;
    LabelsByControl().erase(it);
    return;
  }
}

}  // namespace

namespace detail {

void RepaintLabelsOf(const TWinControl* control) {
  auto [first, last] = LabelsByControl().equal_range(control);
  for (auto it = first; it != last; ++it) it->second->Invalidate();
}

void ForgetFocusControl(const TWinControl* control) {
  auto [first, last] = LabelsByControl().equal_range(control);
  for (auto it = first; it != last; ++it) it->second->FFocusControl = nullptr;
  LabelsByControl().erase(control);
}

}  // namespace detail

TLabel::~TLabel() { SetFocusControl(nullptr); }

void TLabel::SetFocusControl(TWinControl* control) {
  if (control == FFocusControl) return;
  if (FFocusControl) Unlink(FFocusControl, this);
  FFocusControl = control;
  if (control) LabelsByControl().emplace(control, this);
  Invalidate();
}

bool TLabel::ShowsEnabled() const { return Enabled() && (!FFocusControl || FFocusControl->Enabled()); }

void TLabel::SetAlignment(TAlignment alignment) {
  FAlignment = alignment;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout layout) {
  FLayout = layout;
  Invalidate();
}

void TLabel::SetWordWrap(bool wordWrap) {
  FWordWrap = wordWrap;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
  FTransparent = transparent;
  Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
  FAutoSize = autoSize;
  AdjustBounds();
}

void TLabel::SetShowAccelChar(bool show) {
  FShowAccelChar = show;
  AdjustBounds();
  Invalidate();
}

void TLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::DoDrawText(TRect& r, unsigned flags) {
  std::string text = Caption();
  // An empty caption still measures one blank, so that an auto-sized empty
  // label keeps the height of a line.
  if ((flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  TCanvas& c = Canvas();
  c.Font().Assign(Font());
  c.SetBkMode(bkTransparent);
  if (!ShowsEnabled() && !(flags & DT_CALCRECT)) {
    TRect shifted = r.Offset(1, 1);
    c.Font().SetColor(clBtnHighlight);
    c.DrawText(text, shifted, flags);
    c.Font().SetColor(clBtnShadow);
    c.DrawText(text, r, flags);
    return;
  }
  c.Font().SetColor(Font().Color());
  c.DrawText(text, r, flags);
}

void TLabel::Paint() {
  TCanvas& c = Canvas();
  if (!FTransparent) {
    c.Brush().Color = Color();
    c.Brush().Style = bsSolid;
    c.FillRect(ClientRect());
  }
  TRect r = ClientRect();
  const unsigned flags = AlignmentFlag(FAlignment) | (FWordWrap ? DT_WORDBREAK : 0u);
  if (FLayout != tlTop) {
    TRect calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    const int offset = FLayout == tlBottom ? r.Height() - calc.Height() : (r.Height() - calc.Height()) / 2;
    r = r.Offset(0, offset);
  }
  DoDrawText(r, flags);
}

void TLabel::AdjustBounds() {
  if (!FAutoSize) return;
  TRect r = ClientRect();
  if (!FWordWrap) r.Right = r.Left + 10000;
  DoDrawText(r, DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0u));
  int left = Left();
  if (FAlignment == taRightJustify && !FWordWrap) left = Left() + Width() - r.Width();
  SetBounds(left, Top(), FWordWrap ? Width() : r.Width(), r.Height());
}

}  // namespace gui
