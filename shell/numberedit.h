#pragma once
// TNumberEdit: an entry field for one number of a record. It remembers the
// value it was given, so that a field the user did not change reads back
// exactly that value, also where its text (cut to 15 significant digits, or
// to whole degrees) would read back to another double. Any edit of the user,
// or a text the program puts there in another way, makes the text count.

#include <optional>
#include <string>

#include "edit.h"
#include "numberfield.h"

class TNumberEdit : public gui::TEdit {
 public:
  explicit TNumberEdit(gui::TComponent* owner) : gui::TEdit(owner) {}

  // Shows the field's text and keeps its given value.
  void ShowNumber(const TFieldNumber& number);
  void ShowNumber(double value) { ShowNumber(FieldNumberOf(value)); }
  // The text, with the given value while the field is untouched.
  TFieldNumber Number() const;

 private:
  std::u16string FGivenText;
  std::optional<double> FGiven;
};
