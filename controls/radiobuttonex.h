#pragma once
// TRadioButtonEx: the platform's radio button with a wide (UTF-16) caption
// kept beside the 8-bit Caption, like the other controls of the set. The
// button itself shows the 8-bit Caption: setting the wide caption stores it
// and asks for a repaint, but changes neither Caption nor what is shown.

#include <string>

#include "radiobutton.h"

class TRadioButtonEx : public gui::TRadioButton {
 public:
  explicit TRadioButtonEx(gui::TComponent* owner);

  const std::u16string& CaptionW() const { return FCaptionW; }
  void SetCaptionW(const std::u16string& caption);

 private:
  std::u16string FCaptionW;
};
