#include <gtest/gtest.h>

#include "formatting.h"
#include "formcursorpos.h"

namespace {

TEST(CursorPosField, TakesDigitsAndOneSeparator) {
  DecimalSeparator = u',';
  EXPECT_EQ(FrequencyFieldKey(u'7', u"12"), u'7');
  EXPECT_EQ(FrequencyFieldKey(8, u"12"), 8);
  // Typing 12.5 shows 12,5.
  EXPECT_EQ(FrequencyFieldKey(u'.', u"12"), u',');
  EXPECT_EQ(FrequencyFieldKey(u',', u"12,5"), 0);
  EXPECT_EQ(FrequencyFieldKey(u'.', u"12,5"), 0);
  for (char16_t refused : {u'a', u'-', u'+', u'e', u' ', char16_t(3), char16_t(22)})
    EXPECT_EQ(FrequencyFieldKey(refused, u"1"), 0) << int(refused);
  DecimalSeparator = u'.';
  EXPECT_EQ(FrequencyFieldKey(u',', u"3"), u'.');
  DecimalSeparator = u',';
}

TEST(CursorPosField, ParsesWithEitherSeparator) {
  EXPECT_DOUBLE_EQ(*ParseFrequencyText(u"12,5"), 12.5);
  EXPECT_DOUBLE_EQ(*ParseFrequencyText(u"12.5"), 12.5);
  EXPECT_DOUBLE_EQ(*ParseFrequencyText(u"12,"), 12);
  EXPECT_DOUBLE_EQ(*ParseFrequencyText(u",5"), 0.5);
  EXPECT_FALSE(ParseFrequencyText(u""));
  EXPECT_FALSE(ParseFrequencyText(u","));
  EXPECT_FALSE(ParseFrequencyText(u"1,2,3"));
  EXPECT_FALSE(ParseFrequencyText(u"-4"));
}

}  // namespace
