#pragma once
// TRadioButton: the platform's radio button. Radio buttons with the same
// parent exclude each other. Checking one (by the user or by SetChecked)
// fires Click, hence OnClick; unchecking does not.

#include "wincontrol.h"

namespace gui {

class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* owner);

  bool Checked() const;
  void SetChecked(bool checked);
  // Shows a UTF-16 text instead of the 8-bit Caption.
  void SetCaptionW(const std::u16string& caption);

 protected:
  void TextChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void UpdateFocusPolicy() override;
};

}  // namespace gui
