// What each kind of message box shows and answers.
#include <gtest/gtest.h>

#include "dialogs.h"
#include "formmessage.h"

namespace {

TEST(MessageLayout, AnswersPerKind) {
  struct TCase {
    TMessageKind Kind;
    std::u16string_view Title;
    bool TwoButtons;
    int Right, Left;
  };
  for (const TCase& c : {TCase{mkInformation, u"Information", false, gui::IDOK, 0},
                         TCase{mkQuestion, u"Question", true, gui::IDNO, gui::IDYES},
                         TCase{mkWarning, u"Warning", true, gui::IDNO, gui::IDYES},
                         TCase{mkError, u"Error", false, gui::IDOK, 0}}) {
    const TMessageLayout layout = MessageLayoutFor(c.Kind);
    EXPECT_EQ(layout.Title.Key, c.Title);
    EXPECT_EQ(layout.HasButton2, c.TwoButtons);
    EXPECT_EQ(layout.FocusButton2, c.TwoButtons);
    EXPECT_EQ(layout.Answer1, c.Right);
    EXPECT_EQ(layout.Answer2, c.Left);
    EXPECT_EQ(layout.Button1.Key, c.TwoButtons ? u"No" : u"OK");
    if (c.TwoButtons) {
      EXPECT_EQ(layout.Button2.Key, u"Yes");
    }
  }
}

}  // namespace

namespace {

int Units(std::u16string_view text) { return static_cast<int>(text.size()); }

TEST(MessageWrap, BreaksAtBlanksAndCutsLongWords) {
  EXPECT_EQ(WrapMessageText(u"short", 10, Units), u"short");
  EXPECT_EQ(WrapMessageText(u"aaa bbb ccc", 7, Units), u"aaa bbb\nccc");
  // Line feeds of the text stay; each line wraps on its own.
  EXPECT_EQ(WrapMessageText(u"ab\ncd ef", 4, Units), u"ab\ncd\nef");
  EXPECT_EQ(WrapMessageText(u"abcdefghij", 4, Units), u"abcd\nefgh\nij");
  EXPECT_EQ(WrapMessageText(u"a\n\nb", 4, Units), u"a\n\nb");
  // A surrogate pair stays whole.
  EXPECT_EQ(WrapMessageText(u"abc\U0001F600", 4, Units), u"abc\n\U0001F600");
}

}  // namespace
