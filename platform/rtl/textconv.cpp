#include "textconv.h"

#include <algorithm>
#include <cstdint>

namespace rtl {
namespace {

constexpr char32_t Replacement = 0xFFFD;

// Decodes the code point at text[pos] and moves pos past it. An invalid
// sequence gives U+FFFD and pos moves past its longest valid-looking start
// (the "maximal subpart"), so one bad byte costs one character, not more.
char32_t DecodeUtf8(std::string_view text, size_t& pos) {
  const auto lead = static_cast<uint8_t>(text[pos++]);
  if (lead < 0x80) return lead;
  int follow = 0;
  char32_t code = 0;
  uint8_t low = 0x80;
  uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    follow = 1;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    follow = 2;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    follow = 3;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return Replacement;
  }
  for (int i = 0; i < follow; ++i) {
    if (pos >= text.size()) return Replacement;
    const auto next = static_cast<uint8_t>(text[pos]);
    if (next < low || next > high) return Replacement;
    low = 0x80;
    high = 0xBF;
    code = (code << 6) | (next & 0x3F);
    ++pos;
  }
  return code;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Decodes the code point at text[pos] and moves pos past it; a surrogate
// without its partner gives U+FFFD.
char32_t DecodeUtf16(std::u16string_view text, size_t& pos) {
  const char16_t unit = text[pos++];
  if (!IsHighSurrogate(unit) && !IsLowSurrogate(unit)) return unit;
  if (IsHighSurrogate(unit) && pos < text.size() && IsLowSurrogate(text[pos])) {
    const char16_t low = text[pos++];
    return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
  }
  return Replacement;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (code >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
}

// Windows-1252 bytes 0x80..0x9F; the undefined ones keep their own value.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char16_t Cp1252ToUnit(char byte) {
  const auto value = static_cast<uint8_t>(byte);
  if (value >= 0x80 && value <= 0x9F) return Cp1252High[value - 0x80];
  return value;
}

char CodeToCp1252(char32_t code) {
  const bool c1 = code >= 0x80 && code <= 0x9F;
  if (code <= 0xFF && !c1) return static_cast<char>(code);
  const auto* found = std::find(std::begin(Cp1252High), std::end(Cp1252High), code);
  if (found == std::end(Cp1252High)) return '?';
  return static_cast<char>(0x80 + (found - std::begin(Cp1252High)));
}

// In these runs each capital is directly followed by its small letter.
char16_t UpperInPairRun(char16_t unit, char16_t firstCapital) {
  return ((unit - firstCapital) & 1) != 0 ? static_cast<char16_t>(unit - 1) : unit;
}

char16_t UpperLatin(char16_t unit) {
  if (unit >= u'a' && unit <= u'z') return unit - 0x20;
  if (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7) return unit - 0x20;  // not the division sign
  if (unit == 0xFF) return 0x0178;
  if (unit >= 0x0100 && unit <= 0x012F) return UpperInPairRun(unit, 0x0100);
  if (unit == 0x0131) return u'I';  // dotless i
  if (unit >= 0x0132 && unit <= 0x0137) return UpperInPairRun(unit, 0x0132);
  if (unit >= 0x0139 && unit <= 0x0148) return UpperInPairRun(unit, 0x0139);
  if (unit >= 0x014A && unit <= 0x0177) return UpperInPairRun(unit, 0x014A);
  if (unit >= 0x0179 && unit <= 0x017E) return UpperInPairRun(unit, 0x0179);
  if (unit == 0x017F) return u'S';  // long s
  return unit;
}

char16_t UpperGreekCyrillic(char16_t unit) {
  if (unit == 0x03AC) return 0x0386;
  if (unit >= 0x03AD && unit <= 0x03AF) return unit - 0x25;
  if (unit == 0x03C2) return 0x03A3;  // final sigma
  if (unit >= 0x03B1 && unit <= 0x03CB) return unit - 0x20;
  if (unit == 0x03CC) return 0x038C;
  if (unit >= 0x03CD && unit <= 0x03CE) return unit - 0x3F;
  if (unit >= 0x0430 && unit <= 0x044F) return unit - 0x20;
  if (unit >= 0x0450 && unit <= 0x045F) return unit - 0x50;
  return unit;
}

char16_t UpperUnit(char16_t unit) {
  if (unit < 0x0180) return UpperLatin(unit);
  return UpperGreekCyrillic(unit);
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) AppendUtf16(out, DecodeUtf8(text, pos));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) AppendUtf8(out, DecodeUtf16(text, pos));
  return out;
}

std::u16string Windows1252ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char byte : text) out += Cp1252ToUnit(byte);
  return out;
}

std::string Utf16ToWindows1252(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) out += CodeToCp1252(DecodeUtf16(text, pos));
  return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) out += CodeToCp1252(DecodeUtf8(text, pos));
  return out;
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char byte : text) AppendUtf8(out, Cp1252ToUnit(byte));
  return out;
}

std::u16string AsciiToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char byte : text) out += static_cast<char16_t>(static_cast<uint8_t>(byte));
  return out;
}

std::u16string ToUpperUtf16(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& unit : out) unit = UpperUnit(unit);
  return out;
}

int CompareTextNoCase(std::u16string_view a, std::u16string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const char16_t ua = UpperUnit(a[i]);
    const char16_t ub = UpperUnit(b[i]);
    if (ua != ub) return ua < ub ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace rtl
