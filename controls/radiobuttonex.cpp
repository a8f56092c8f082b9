#include "radiobuttonex.h"

TRadioButtonEx::TRadioButtonEx(gui::TComponent* owner) : gui::TRadioButton(owner) {}

void TRadioButtonEx::SetCaptionW(const std::u16string& caption) {
  FCaptionW = caption;
  Invalidate();
}
