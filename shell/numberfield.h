#pragma once
// Number text of the dialogs' entry fields. On screen a number uses the
// project's DecimalSeparator; a user may type either "," or "." and both
// are read. A field shows up to 15 significant digits, which do not always
// read back to the stored double; so a field also keeps the value it was
// given, which stands while the user has not changed the field, and
// confirming a dialog without touching a field never changes the stored
// number.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

// The key filter of a decimal field: digits and Backspace pass; "." and ","
// both become DecimalSeparator and are refused when the field's text already
// holds a separator (also one that is selected and would be replaced);
// every other key is refused (set to 0), control characters included.
// True when the key passes.
bool DecimalFieldKey(char16_t& key, std::u16string_view fieldText);

// The key filter of a whole-number field: digits and Backspace pass.
bool DigitFieldKey(char16_t& key);

// The value as a field shows it: up to 15 significant digits, trailing
// zeros dropped, DecimalSeparator as the point, "-" for negative values
// (12 gives "12", 10.26 gives "10,26", 0 gives "0").
std::u16string FieldNumberText(double value);

// The number in a field's text: an optional sign, digits with at most one
// decimal point ("," or "."), at least one digit, and an optional exponent;
// blanks around it are ignored. Anything else, an empty text and a result
// that is not finite give no value.
std::optional<double> ParseFieldNumber(std::u16string_view text);

// A whole number in decimal digits only (no sign); values too large for an
// int are capped at `cap`. Empty or other text: no value.
std::optional<int> ParseFieldInteger(std::u16string_view text, int cap);

// A number field's content as the dialogs' rules read it: the text, and
// while the user has not changed the field, the value it was given (in the
// unit of the record the dialog writes).
struct TFieldNumber {
  std::u16string Text;
  std::optional<double> Given;

  TFieldNumber() = default;
  // A text as typed, with no given value.
  TFieldNumber(std::u16string text) : Text(std::move(text)) {}
  TFieldNumber(const char16_t* text) : Text(text) {}
  TFieldNumber(std::u16string text, double given) : Text(std::move(text)), Given(given) {}

  bool empty() const { return Text.empty(); }
  void clear() { *this = TFieldNumber(); }
};

// A value as a field shows it (FieldNumberText) and keeps it.
TFieldNumber FieldNumberOf(double value);

// The given value when there is one, else the number in the text
// (ParseFieldNumber).
std::optional<double> FieldNumberValue(const TFieldNumber& field);
