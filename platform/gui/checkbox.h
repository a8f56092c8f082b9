#pragma once
// TCheckBox: the platform's check box. A change of Checked, by the user or by
// SetChecked, fires Click, hence OnClick.

#include "wincontrol.h"

namespace gui {

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);

  bool Checked() const;
  void SetChecked(bool checked);
  void SetCaptionW(const std::u16string& caption);

 protected:
  void TextChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void UpdateFocusPolicy() override;
};

}  // namespace gui
