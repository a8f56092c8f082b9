#include "numberfield.h"

#include <charconv>
#include <cmath>
#include <string>

#include "formatting.h"

namespace {

constexpr char16_t Backspace = 8;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsPoint(char16_t c) { return c == u',' || c == u'.' || c == DecimalSeparator; }

std::u16string_view Trimmed(std::u16string_view text) {
  const size_t first = text.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

// The text as ASCII with "." as the point, when it has the shape of a
// number; empty otherwise.
std::string NumberShape(std::u16string_view text) {
  std::string ascii;
  size_t i = 0;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ascii += static_cast<char>(text[i++]);
  int digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsDigit(c)) {
      ascii += static_cast<char>(c);
      ++digits;
    } else if (IsPoint(c) && !point) {
      ascii += '.';
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return {};
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ascii += 'e';
    ++i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ascii += static_cast<char>(text[i++]);
    const size_t start = i;
    for (; i < text.size() && IsDigit(text[i]); ++i) ascii += static_cast<char>(text[i]);
    if (i == start) return {};
  }
  return i == text.size() ? ascii : std::string();
}

}  // namespace

bool DecimalFieldKey(char16_t& key, std::u16string_view fieldText) {
  if (key == u'.' || key == u',') key = DecimalSeparator;
  const bool passes = IsDigit(key) || key == Backspace ||
                      (key == DecimalSeparator && fieldText.find_first_of(u",.") == std::u16string_view::npos &&
                       fieldText.find(DecimalSeparator) == std::u16string_view::npos);
  if (!passes) key = 0;
  return passes;
}

bool DigitFieldKey(char16_t& key) {
  const bool passes = IsDigit(key) || key == Backspace;
  if (!passes) key = 0;
  return passes;
}

std::u16string FieldNumberText(double value) {
  if (value == 0) return u"0";  // also -0
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::u16string text;
  for (const char* p = buffer; p != result.ptr; ++p) text += *p == '.' ? DecimalSeparator : static_cast<char16_t>(*p);
  return text;
}

std::optional<double> ParseFieldNumber(std::u16string_view text) {
  const std::string ascii = NumberShape(Trimmed(text));
  if (ascii.empty()) return std::nullopt;
  // from_chars takes no leading "+".
  const char* first = ascii.data() + (ascii[0] == '+' ? 1 : 0);
  double value = 0;
  const auto result = std::from_chars(first, ascii.data() + ascii.size(), value);
  if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<int> ParseFieldInteger(std::u16string_view text, int cap) {
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (char16_t c : text) {
    if (!IsDigit(c)) return std::nullopt;
    if (value <= cap) value = value * 10 + (c - u'0');
  }
  return value > cap ? cap : static_cast<int>(value);
}

TFieldNumber FieldNumberOf(double value) { return {FieldNumberText(value), value}; }

std::optional<double> FieldNumberValue(const TFieldNumber& field) {
  return field.Given ? field.Given : ParseFieldNumber(field.Text);
}
