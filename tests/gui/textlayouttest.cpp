#include <gtest/gtest.h>

#include "textlayout.h"

namespace gui {
namespace {

int OnePixelPerChar(std::u16string_view s) { return static_cast<int>(s.size()); }

TEST(ParsePrefix, AmpersandUnderlinesTheNextCharacter) {
  const TPrefixedText t = ParsePrefix(u"&File");
  EXPECT_EQ(t.Text, u"File");
  EXPECT_EQ(t.Underlined, (std::vector<size_t>{0}));
  const TPrefixedText mid = ParsePrefix(u"Sa&ve as");
  EXPECT_EQ(mid.Text, u"Save as");
  EXPECT_EQ(mid.Underlined, (std::vector<size_t>{2}));
}

TEST(ParsePrefix, DoubleAmpersandIsALiteralAmpersand) {
  const TPrefixedText t = ParsePrefix(u"A&&B");
  EXPECT_EQ(t.Text, u"A&B");
  EXPECT_TRUE(t.Underlined.empty());
  EXPECT_EQ(ParsePrefix(u"end&").Text, u"end");
  EXPECT_EQ(ParsePrefix(u"&&&x").Text, u"&x");
  EXPECT_EQ(ParsePrefix(u"&&&x").Underlined, (std::vector<size_t>{1}));
}

TEST(BreakTextLines, LineFeedsStartNewLines) {
  const auto lines = BreakTextLines(u"one\ntwo\r\nthree", 100, false, false, OnePixelPerChar);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"one", u"two", u"three"}));
  EXPECT_EQ(BreakTextLines(u"a\n\nb", 100, false, false, OnePixelPerChar).size(), 3u);
}

TEST(BreakTextLines, SingleLineIgnoresBreaks) {
  const auto lines = BreakTextLines(u"one\ntwo", 2, true, true, OnePixelPerChar);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"onetwo"}));
}

TEST(BreakTextLines, WordBreakMovesWordsThatCrossTheWidth) {
  const auto lines = BreakTextLines(u"the quick brown fox", 10, true, false, OnePixelPerChar);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"the quick", u"brown fox"}));
  // A word wider than the width stands alone.
  const auto wide = BreakTextLines(u"a extraordinarily b", 5, true, false, OnePixelPerChar);
  EXPECT_EQ(wide, (std::vector<std::u16string>{u"a", u"extraordinarily", u"b"}));
}

}  // namespace
}  // namespace gui
