#include "textconv.h"

#include <gtest/gtest.h>

namespace {

std::string Bytes(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

const std::u16string R(1, u'\uFFFD');

TEST(TextConv, Utf8RoundTripsNonLatinText) {
  const std::string utf8 = Bytes(u8"Привет, 振動 😀 Ω ä");
  const std::u16string utf16 = u"Привет, 振動 😀 Ω ä";
  EXPECT_EQ(rtl::Utf8ToUtf16(utf8), utf16);
  EXPECT_EQ(rtl::Utf16ToUtf8(utf16), utf8);
  const std::u16string emoji = rtl::Utf8ToUtf16("\xF0\x9F\x98\x80");
  ASSERT_EQ(emoji.size(), 2u) << "a surrogate pair";
  EXPECT_EQ(emoji[0], 0xD83D);
  EXPECT_EQ(emoji[1], 0xDE00);
  EXPECT_EQ(rtl::Utf8ToUtf16(""), u"");
  EXPECT_EQ(rtl::Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(TextConv, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(rtl::Utf8ToUtf16("A\xFF" "B"), u"A" + R + u"B");
  EXPECT_EQ(rtl::Utf8ToUtf16("\xC3"), R) << "truncated at the end";
  EXPECT_EQ(rtl::Utf8ToUtf16("\xE2\x82" "A"), R + u"A") << "truncated, one replacement";
  EXPECT_EQ(rtl::Utf8ToUtf16("\xC0\xAF"), R + R) << "overlong";
  EXPECT_EQ(rtl::Utf8ToUtf16("\xE0\x80\xAF"), R + R + R) << "overlong";
  EXPECT_EQ(rtl::Utf8ToUtf16("\xED\xA0\x80"), R + R + R) << "encoded surrogate";
  EXPECT_EQ(rtl::Utf8ToUtf16("\xF4\x90\x80\x80"), R + R + R + R) << "above U+10FFFF";
  EXPECT_EQ(rtl::Utf8ToUtf16("\x80\x80"), R + R) << "stray continuation bytes";
  EXPECT_EQ(rtl::Utf8ToUtf16("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
}

TEST(TextConv, LoneSurrogatesBecomeReplacementCharacters) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(rtl::Utf16ToUtf8(std::u16string(1, 0xD83D) + u"x"), replacement + "x");
  EXPECT_EQ(rtl::Utf16ToUtf8(std::u16string(1, 0xDE00)), replacement);
  EXPECT_EQ(rtl::Utf16ToUtf8(std::u16string{0xDE00, 0xD83D}), replacement + replacement) << "pair reversed";
  EXPECT_EQ(rtl::Utf16ToUtf8(std::u16string(1, 0xD83D)), replacement) << "high surrogate at the end";
}

TEST(TextConv, Windows1252SpecialCharacters) {
  EXPECT_EQ(rtl::Windows1252ToUtf16("\x80"), u"€");
  EXPECT_EQ(rtl::Windows1252ToUtf16("\x8A\x9A"), u"Šš");
  EXPECT_EQ(rtl::Windows1252ToUtf16("\x93Hi\x94"), u"“Hi”");
  EXPECT_EQ(rtl::Windows1252ToUtf16("\xB5m \xE4"), u"µm ä");
  EXPECT_EQ(rtl::Windows1252ToUtf16("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
  EXPECT_EQ(rtl::Windows1252ToUtf8("5 \x80"), Bytes(u8"5 €"));
  EXPECT_EQ(rtl::Utf16ToWindows1252(u"“Š€”"), "\x93\x8A\x80\x94");
  EXPECT_EQ(rtl::Utf8ToWindows1252(Bytes(u8"Grüße €")), "Gr\xFC\xDF" "e \x80");
}

TEST(TextConv, Windows1252RoundTripsEveryByte) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(rtl::Utf16ToWindows1252(rtl::Windows1252ToUtf16(all)), all);
  EXPECT_EQ(rtl::Utf8ToWindows1252(rtl::Windows1252ToUtf8(all)), all);
}

TEST(TextConv, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(rtl::Utf16ToWindows1252(u"a振😀b"), "a??b") << "one mark per character, not per unit";
  EXPECT_EQ(rtl::Utf16ToWindows1252(u"\u0080"), "?") << "C1 control whose byte means the euro sign";
  EXPECT_EQ(rtl::Utf8ToWindows1252("\xFF"), "?");
  EXPECT_EQ(rtl::Utf16ToWindows1252(std::u16string(1, 0xDC00)), "?");
}

TEST(TextConv, AsciiWidensBytes) {
  EXPECT_EQ(rtl::AsciiToUtf16("Ch A"), u"Ch A");
  EXPECT_EQ(rtl::AsciiToUtf16("\xE9\x80"), u"\u00E9\u0080");
}

TEST(TextConv, UpperCaseCoversLatinGreekCyrillic) {
  EXPECT_EQ(rtl::ToUpperUtf16(u"rotor 1x"), u"ROTOR 1X");
  EXPECT_EQ(rtl::ToUpperUtf16(u"àéîõüýþÿ"), u"ÀÉÎÕÜÝÞŸ");
  EXPECT_EQ(rtl::ToUpperUtf16(u"ß÷µ"), u"ß÷µ") << "no single capital; not letters of this case";
  EXPECT_EQ(rtl::ToUpperUtf16(u"āčęğıĳĺłňőšžſ"), u"ĀČĘĞIĲĹŁŇŐŠŽS");
  EXPECT_EQ(rtl::ToUpperUtf16(u"ĀĹŽĸ"), u"ĀĹŽĸ") << "capitals and kra unchanged";
  EXPECT_EQ(rtl::ToUpperUtf16(u"αβγ ως άέήίόύώ"), u"ΑΒΓ ΩΣ ΆΈΉΊΌΎΏ");
  EXPECT_EQ(rtl::ToUpperUtf16(u"привет ёжћ"), u"ПРИВЕТ ЁЖЋ");
  EXPECT_EQ(rtl::ToUpperUtf16(u"振😀"), u"振😀");
}

TEST(TextConv, CompareTextNoCase) {
  EXPECT_EQ(rtl::CompareTextNoCase(u"Sensor", u"SENSOR"), 0);
  EXPECT_EQ(rtl::CompareTextNoCase(u"Ärger", u"äRGER"), 0);
  EXPECT_EQ(rtl::CompareTextNoCase(u"датчик", u"ДАТЧИК"), 0);
  EXPECT_EQ(rtl::CompareTextNoCase(u"a", u"B"), -1);
  EXPECT_EQ(rtl::CompareTextNoCase(u"b", u"A"), 1);
  EXPECT_EQ(rtl::CompareTextNoCase(u"abc", u"ABCD"), -1);
  EXPECT_EQ(rtl::CompareTextNoCase(u"ABCD", u"abc"), 1);
  EXPECT_EQ(rtl::CompareTextNoCase(u"", u""), 0);
}

}  // namespace
