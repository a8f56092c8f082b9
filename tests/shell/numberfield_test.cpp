// Number text of the dialogs' fields: the key filters, what a field shows
// and what it reads.
#include <gtest/gtest.h>

#include <string>

#include "formatting.h"
#include "numberfield.h"

namespace {

// Types the keys into a text as a field with the decimal filter would.
std::u16string TypeDecimal(std::u16string_view keys, std::u16string text = {}) {
  for (char16_t key : keys) {
    if (!DecimalFieldKey(key, text)) continue;
    if (key == 8) {
      if (!text.empty()) text.pop_back();
    } else {
      text += key;
    }
  }
  return text;
}

class SeparatorRestorer : public testing::Test {
 protected:
  void TearDown() override { DecimalSeparator = u','; }
};

TEST_F(SeparatorRestorer, DecimalFieldTakesDigitsOneSeparatorAndBackspace) {
  EXPECT_EQ(TypeDecimal(u"1.5"), u"1,5");
  EXPECT_EQ(TypeDecimal(u"1,5.2,"), u"1,52");
  EXPECT_EQ(TypeDecimal(u"1a-b 2"), u"12");
  EXPECT_EQ(TypeDecimal(u"12\b3"), u"13");
  // A separator is refused while the text holds one, even a selected one.
  EXPECT_EQ(TypeDecimal(u".", u"3,"), u"3,");
  // Clipboard shortcuts arrive as control characters and are refused.
  char16_t paste = 22;
  EXPECT_FALSE(DecimalFieldKey(paste, u""));
  EXPECT_EQ(paste, 0);
}

TEST_F(SeparatorRestorer, BothSeparatorsTypeTheProjectsSeparator) {
  DecimalSeparator = u'.';
  EXPECT_EQ(TypeDecimal(u"2,25"), u"2.25");
  EXPECT_EQ(ParseFieldNumber(u"2.25"), 2.25);
  EXPECT_EQ(FieldNumberText(2.25), u"2.25");
}

TEST(DigitField, TakesDigitsAndBackspaceOnly) {
  for (char16_t key : std::u16string(u"0123456789\b")) {
    char16_t k = key;
    EXPECT_TRUE(DigitFieldKey(k));
    EXPECT_EQ(k, key);
  }
  for (char16_t key : std::u16string(u",.-a ")) {
    char16_t k = key;
    EXPECT_FALSE(DigitFieldKey(k));
    EXPECT_EQ(k, 0);
  }
}

TEST(FieldNumberText, ShowsWhatReadsBackUnchanged) {
  EXPECT_EQ(FieldNumberText(12.0), u"12");
  EXPECT_EQ(FieldNumberText(10.26), u"10,26");
  EXPECT_EQ(FieldNumberText(-2), u"-2");
  EXPECT_EQ(FieldNumberText(0), u"0");
  EXPECT_EQ(FieldNumberText(-0.0), u"0");
  EXPECT_EQ(FieldNumberText(0.25), u"0,25");
  EXPECT_EQ(FieldNumberText(12500), u"12500");
  for (double v : {10.26, 0.25, 1234.5678, 3000.0, 1e-7, 123456789012345.0})
    EXPECT_EQ(ParseFieldNumber(FieldNumberText(v)), v) << v;
  // A computed value shows its 15 significant digits.
  EXPECT_EQ(FieldNumberText(1000.0 / 60 * 60), u"1000");
}

TEST(ParseFieldNumber, ReadsEitherSeparatorAndRefusesWhatIsNoNumber) {
  EXPECT_EQ(ParseFieldNumber(u"1,5"), 1.5);
  EXPECT_EQ(ParseFieldNumber(u"1.5"), 1.5);
  EXPECT_EQ(ParseFieldNumber(u",5"), 0.5);
  EXPECT_EQ(ParseFieldNumber(u"1,"), 1.0);
  EXPECT_EQ(ParseFieldNumber(u" -2 "), -2.0);
  EXPECT_EQ(ParseFieldNumber(u"+4"), 4.0);
  EXPECT_EQ(ParseFieldNumber(u"1e3"), 1000.0);
  EXPECT_EQ(ParseFieldNumber(u"1e-05"), 1e-5);
  for (std::u16string_view bad : {u"", u" ", u",", u"-", u"abc", u"1,2,3", u"1,5x", u"1e", u"1e999", u"--1", u"1 2"})
    EXPECT_FALSE(ParseFieldNumber(bad).has_value()) << std::string(bad.begin(), bad.end());
}

TEST(ParseFieldInteger, DigitsOnlyCappedAtTheLimit) {
  EXPECT_EQ(ParseFieldInteger(u"40", 33), 33);
  EXPECT_EQ(ParseFieldInteger(u"007", 33), 7);
  EXPECT_EQ(ParseFieldInteger(u"99999999999999999999", 9999), 9999);
  EXPECT_FALSE(ParseFieldInteger(u"", 10).has_value());
  EXPECT_FALSE(ParseFieldInteger(u"4a", 10).has_value());
  EXPECT_FALSE(ParseFieldInteger(u"-4", 10).has_value());
}

}  // namespace
