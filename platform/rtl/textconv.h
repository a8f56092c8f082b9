#pragma once

// Text conversion between UTF-8 (8-bit text inside the program), UTF-16 (wide
// text) and Windows-1252 (8-bit text in files written by the Windows
// program). None of these throws: an invalid UTF-8 sequence or a lone UTF-16
// surrogate becomes U+FFFD, a character Windows-1252 lacks becomes '?'.

#include <string>
#include <string_view>

namespace rtl {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Bytes 0x80..0x9F follow the Windows-1252 table (0x80 is the euro sign);
// the five undefined positions 0x81, 0x8D, 0x8F, 0x90, 0x9D map to the code
// points of the same value and back.
std::u16string Windows1252ToUtf16(std::string_view text);
std::string Utf16ToWindows1252(std::u16string_view text);
std::string Utf8ToWindows1252(std::string_view text);
std::string Windows1252ToUtf8(std::string_view text);

// Widens each byte to one UTF-16 unit (ASCII and Latin-1 text).
std::u16string AsciiToUtf16(std::string_view text);

// Upper case per UTF-16 unit for Basic Latin, Latin-1 Supplement, Latin
// Extended-A (U+0100..U+017F), basic Greek (U+0386..U+03CE) and basic
// Cyrillic (U+0400..U+045F). Letters without a single upper-case unit
// (sharp s, the micro sign, kra, n preceded by apostrophe) stay as they are;
// every other unit is copied unchanged.
std::u16string ToUpperUtf16(std::u16string_view text);
// Compares unit by unit after ToUpperUtf16: -1, 0 or 1.
int CompareTextNoCase(std::u16string_view a, std::u16string_view b);

}  // namespace rtl
