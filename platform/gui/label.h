#pragma once
// TLabel: text on its parent's surface. Paint fills the label with Color
// (unless Transparent) and draws Caption with DrawText by Alignment, Layout
// and WordWrap; "&" marks an accelerator unless ShowAccelChar is off; a
// disabled label draws its text etched (white offset by one pixel, then
// grey). AutoSize (on by default) fits the label to its text whenever the
// caption or font changes. A label that names a field (FocusControl) looks
// disabled while that field is disabled, so the two always look alike.

#include "alignment.h"
#include "graphiccontrol.h"

namespace gui {

class TWinControl;

namespace detail {
// The labels that name `control` repaint with its new enabled state.
void RepaintLabelsOf(const TWinControl* control);
// A control that goes leaves its labels without a focus control.
void ForgetFocusControl(const TWinControl* control);
}  // namespace detail

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  ~TLabel() override;

  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* control);
  // Enabled, and its focus control too: whether the text is drawn live.
  bool ShowsEnabled() const;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout layout);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool wordWrap);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool show);

 protected:
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;
  // The DrawText call of Paint (and of AutoSize with DT_CALCRECT).
  void DoDrawText(TRect& r, unsigned flags);
  void AdjustBounds();

 private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FTransparent = false;
  bool FAutoSize = true;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
  friend void detail::ForgetFocusControl(const TWinControl* control);
};

}  // namespace gui
