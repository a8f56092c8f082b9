// What each kind of message box shows and answers.
#include <gtest/gtest.h>

#include "dialogs.h"
#include "formmessage.h"
#include "textlayout.h"

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
  EXPECT_EQ(gui::WrapText(u"short", 10, Units), u"short");
  EXPECT_EQ(gui::WrapText(u"aaa bbb ccc", 7, Units), u"aaa bbb\nccc");
  // Line feeds of the text stay; each line wraps on its own.
  EXPECT_EQ(gui::WrapText(u"ab\ncd ef", 4, Units), u"ab\ncd\nef");
  EXPECT_EQ(gui::WrapText(u"abcdefghij", 4, Units), u"abcd\nefgh\nij");
  EXPECT_EQ(gui::WrapText(u"a\n\nb", 4, Units), u"a\n\nb");
  // A surrogate pair stays whole.
  EXPECT_EQ(gui::WrapText(u"abc\U0001F600", 4, Units), u"abc\n\U0001F600");
}

}  // namespace

namespace {

// The box grows below its text up to most of the work area, then scrolls
// beside a scroll bar, wider by it; and it is kept on the work area.
TEST(MessageGeometry, GrowsWithItsTextThenScrollsAndStaysInView) {
  const TMessageGeometry designed = MessageGeometry(26, 1000);
  EXPECT_EQ(designed.PanelWidth, 382);
  EXPECT_EQ(designed.PanelHeight, 130);
  EXPECT_EQ(designed.InnerHeight, 78);
  EXPECT_EQ(designed.ViewHeight, 65);
  EXPECT_EQ(designed.ButtonTop, 95);
  EXPECT_FALSE(designed.Scrolls);

  const TMessageGeometry grown = MessageGeometry(400, 1000);
  EXPECT_EQ(grown.ViewHeight, 400);
  EXPECT_EQ(grown.TextHeight, 400);
  EXPECT_EQ(grown.PanelHeight, 130 + 335);
  EXPECT_EQ(grown.InnerHeight, 78 + 335);
  EXPECT_EQ(grown.ButtonTop, 95 + 335);
  EXPECT_EQ(grown.PanelWidth, 382);
  EXPECT_FALSE(grown.Scrolls);

  // 80 % of 1000 pixels for the whole box, frame strip (27) included.
  const TMessageGeometry tall = MessageGeometry(5000, 1000);
  EXPECT_TRUE(tall.Scrolls);
  EXPECT_EQ(tall.PanelHeight + 27, 800);
  EXPECT_EQ(tall.TextHeight, 5000);
  EXPECT_EQ(tall.ViewHeight, 800 - 27 - 130 + 65);
  EXPECT_EQ(tall.ButtonTop + 27 + 8, tall.PanelHeight);
  EXPECT_GT(tall.PanelWidth, 382);
  EXPECT_EQ(tall.InnerWidth - 366, tall.PanelWidth - 382);
  EXPECT_EQ(tall.ButtonShift, tall.PanelWidth - 382);
  // A work area too small for even the designed box keeps that box.
  EXPECT_EQ(MessageGeometry(300, 100).ViewHeight, 65);

  const gui::TRect work = gui::Rect(0, 0, 800, 600);
  // The centre stays where the designed box had it, inside the work area.
  EXPECT_EQ(MessageBoxOrigin(gui::Bounds(200, 200, 396, 157), {396, 300}, work), (gui::TPoint{200, 129}));
  EXPECT_EQ(MessageBoxOrigin(gui::Bounds(200, 500, 396, 157), {396, 300}, work), (gui::TPoint{200, 300}));
  EXPECT_EQ(MessageBoxOrigin(gui::Bounds(-50, -40, 396, 157), {396, 157}, work), (gui::TPoint{0, 0}));
  EXPECT_EQ(MessageBoxOrigin(gui::Bounds(0, 0, 396, 157), {900, 700}, work), (gui::TPoint{0, 0}));
}

}  // namespace
