#include "labelex.h"

#include "canvas.h"
#include "ownerdraw.h"

namespace {

unsigned AlignmentFormat(gui::TAlignment alignment) {
  switch (alignment) {
    case gui::taRightJustify: return gui::DT_RIGHT;
    case gui::taCenter: return gui::DT_CENTER;
    default: return gui::DT_LEFT;
  }
}

unsigned DrawTextFormat(gui::TAlignment alignment, bool showAccelChar) {
  return AlignmentFormat(alignment) | (showAccelChar ? 0u : gui::DT_NOPREFIX);
}

}  // namespace

TLabelEx::TLabelEx(gui::TComponent* owner) : gui::TLabel(owner) {}

void TLabelEx::SetCaptionW(const std::u16string& caption) {
  FCaptionW = caption;
  Invalidate();
}

void TLabelEx::MouseEnter() {
  if (OnMouseOver) OnMouseOver(this);
}

void TLabelEx::MouseLeave() {
  if (OnMouseOut) OnMouseOut(this);
}

void TLabelEx::Paint() {
  gui::TCanvas& canvas = Canvas();
  const gui::TRect all = gui::Rect(0, 0, Width(), Height());
  // Transparent governs only the text background: the rectangle is always
  // covered with Color.
  canvas.Brush() = {Color(), gui::bsSolid};
  canvas.FillRect(all);
  const std::u16string text = ShownCaption(FCaptionW, Caption());
  if (text.empty()) return;
  canvas.Font().Assign(Font());
  canvas.SetBkColor(Color());
  const unsigned format = DrawTextFormat(Alignment(), ShowAccelChar());
  gui::TRect r = all;
  if (ShowsEnabled()) {
    canvas.SetBkMode(Transparent() ? gui::bkTransparent : gui::bkOpaque);
    canvas.DrawText(text, r, format);
    return;
  }
  // Both passes without a text background: an opaque grey pass would wipe
  // out the white one beneath it, and the rectangle already has Color.
  canvas.SetBkMode(gui::bkTransparent);
  gui::TRect highlight = all.Offset(1, 1);
  canvas.Font().SetColor(gui::clWhite);
  canvas.DrawText(text, highlight, format);
  canvas.Font().SetColor(gui::clGray);
  canvas.DrawText(text, r, format);
}
