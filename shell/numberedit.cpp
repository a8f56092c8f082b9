#include "numberedit.h"

void TNumberEdit::ShowNumber(const TFieldNumber& number) {
  SetText(number.Text);
  FGivenText = Text();
  FGiven = number.Given;
}

TFieldNumber TNumberEdit::Number() const {
  TFieldNumber number(Text());
  if (!Modified() && number.Text == FGivenText) number.Given = FGiven;
  return number;
}
