#pragma once
// TGroupBox: a framed container with a title; its children are placed
// relative to its top-left corner.

#include "wincontrol.h"

namespace gui {

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner);
  void SetCaptionW(const std::u16string& caption);

 protected:
  void TextChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
};

}  // namespace gui
