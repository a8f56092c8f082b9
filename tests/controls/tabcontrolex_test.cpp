#include "tabcontrolex.h"

#include <gtest/gtest.h>

#include <optional>

#include "answerhook.h"
#include "colorshades.h"
#include "controlfixture.h"
#include "popupmenu.h"

namespace {

using gui::RGB;
using gui::TColor;

constexpr TColor ActiveFace = RGB(230, 230, 200);
constexpr TColor Band = RGB(200, 230, 230);
constexpr TColor InactiveFace = RGB(120, 120, 160);
constexpr TColor Border = RGB(0, 0, 120);
constexpr TColor Over = RGB(0, 200, 0);
constexpr int H = 22;

struct TabControlExTest : ControlTest {
  TTabControlEx* Tab = nullptr;
  std::vector<int> Changes;

  void SetUp() override {
    ControlTest::SetUp();
    Tab = Place(new TTabControlEx(Form), 10, 10, 200, H);
    Tab->SetParentColor(true);
    Tab->SetTabColor1(ActiveFace);
    Tab->SetTabColor2(Band);
    Tab->SetTabColorU(InactiveFace);
    Tab->SetBorderColor(Border);
    Tab->SetOverColor(Over);
    Tab->Font().SetColor(gui::clBlack);
    Tab->FontU().SetColor(gui::clBlack);
    Tab->OnChange = [this](gui::TComponent* sender, int index) {
      EXPECT_EQ(sender, Tab);
      Changes.push_back(index);
    };
  }

  int TextWidth(const std::u16string& text, const gui::TFont& font) {
    gui::TBitmap b(4, 4);
    b.Canvas().Font().Assign(font);
    return b.Canvas().TextExtent(text).cx;
  }
  // The tab widths the strip lays out with the current fonts and padding.
  std::vector<int> Widths() {
    std::vector<int> w;
    for (int i = 0; i < Tab->TabCount(); ++i) {
      const std::u16string text = Tab->TabText(i);
      const gui::TFont& font = i == Tab->Active() ? Tab->Font() : Tab->FontU();
      w.push_back(TabWidth(TextWidth(text, font), Tab->Padding(), IsTabSeparator(text)));
    }
    return w;
  }
};

TEST_F(TabControlExTest, FittingTabsSitSideBySide) {
  Tab->SetTabs({"One", "Two", "Three"});
  const std::vector<int> w = Widths();
  ASSERT_LT(w[0] + w[1] + w[2], 200);
  const gui::TBitmap img = Snap(*Tab);
  // The active first tab: outline, face reaching over the strip line into
  // the band.
  EXPECT_PIXEL(img, 0, 10, Border);
  EXPECT_PIXEL(img, w[0] / 2, 0, Border);
  EXPECT_PIXEL(img, w[0] / 2, 2, ActiveFace);
  EXPECT_PIXEL(img, w[0] / 2, 17, ActiveFace);
  EXPECT_PIXEL(img, w[0] - 1, 10, Border);
  // The second tab stands two pixels lower, on the strip line.
  const int x1 = w[0];
  EXPECT_PIXEL(img, x1, 10, Border);
  EXPECT_PIXEL(img, x1 + w[1] / 2, 1, FormColor);
  EXPECT_PIXEL(img, x1 + w[1] / 2, 2, Border);
  EXPECT_PIXEL(img, x1 + w[1] / 2, 16, InactiveFace);
  EXPECT_PIXEL(img, x1 + w[1] / 2, 17, Border);
  EXPECT_PIXEL(img, x1 + w[1] / 2, 19, Band);
  EXPECT_PIXEL(img, w[0] + w[1], 10, Border);
  // The rounded end of the strip; no scroll buttons.
  EXPECT_PIXEL(img, 199, 21, Border);
  EXPECT_PIXEL(img, 199, 17, FormColor);
  EXPECT_PIXEL(img, 190, 17, Border);
  EXPECT_PIXEL(img, 190, 5, FormColor);
}

TEST_F(TabControlExTest, TabTextPositionsAndColours) {
  Tab->FontU().SetColor(gui::clRed);
  Tab->SetTabs({"HH", "HH"});
  const std::vector<int> w = Widths();
  const gui::TBitmap img = Snap(*Tab);
  const gui::TRect active = BoundsOf(PixelsOtherThan(img, gui::Rect(2, 2, w[0] - 2, 17), ActiveFace));
  const gui::TRect inactive = BoundsOf(PixelsOtherThan(img, gui::Rect(w[0] + 2, 4, w[0] + w[1] - 2, 16), InactiveFace));
  ASSERT_FALSE(active.IsEmpty());
  ASSERT_FALSE(inactive.IsEmpty());
  EXPECT_NEAR((active.Left + active.Right) / 2.0, w[0] / 2.0, 1.5);
  EXPECT_EQ(inactive.Top, active.Top + 1);  // text tops 3 and 4
  EXPECT_FALSE(PixelsOfColor(img, active, gui::clBlack).empty());
  EXPECT_FALSE(PixelsOfColor(img, inactive, gui::clRed).empty());
}

TEST_F(TabControlExTest, SeparatorsAndTheMinimumWidth) {
  Tab->SetPadding(0);
  Tab->SetTabs({"i", "-", "H"});
  const gui::TBitmap img = Snap(*Tab);
  EXPECT_PIXEL(img, 29, 10, Border);  // "i" widened to 30
  EXPECT_PIXEL(img, 30, 10, Border);  // "H" right after it, the separator has no box
  EXPECT_PIXEL(img, 59, 10, Border);
  EXPECT_PIXEL(img, 60, 10, FormColor);
  gui::SimClick(*Tab, 45, 10);
  EXPECT_EQ(Changes, (std::vector<int>{2}));
}

TEST_F(TabControlExTest, TabsAddingUpToTheWidthScroll) {
  Tab->SetPadding(0);
  Tab->SetTabs({"a", "b", "c", "d", "e"});  // five tabs of 30
  Tab->SetWidth(150);
  gui::TBitmap img = Snap(*Tab);
  // The scroll-left button's frame, its glyph, and the first tab after it.
  EXPECT_PIXEL(img, 0, 0, Border);
  EXPECT_PIXEL(img, 14, 10, Border);
  EXPECT_PIXEL(img, 8, 8, gui::clBlack);
  EXPECT_PIXEL(img, 15, 10, Border);
  EXPECT_PIXEL(img, 149, 21, Border);  // the list button's right side runs down
  EXPECT_PIXEL(img, 142, 8, gui::clBlack);  // the list button's glyph
  Tab->SetWidth(151);
  img = Snap(*Tab);
  EXPECT_PIXEL(img, 0, 0, FormColor);
  EXPECT_PIXEL(img, 0, 10, Border);
}

TEST_F(TabControlExTest, ScrollButtonsMoveTheTabsWithoutChangingTheActiveOne) {
  Tab->SetPadding(0);
  Tab->SetTabs({"a", "b", "c", "d", "e", "f", "g", "h"});  // 240 on 200
  Snap(*Tab);
  gui::SimClick(*Tab, 200 - 22, 10);  // scroll right: the cut tab comes fully in
  gui::TBitmap img = Snap(*Tab);
  // Tabs 15..165 were whole, the one at 165..195 was cut at 171; it now
  // ends at 171 and the tabs moved 24 to the left.
  EXPECT_PIXEL(img, 170, 10, Border);
  EXPECT_PIXEL(img, 141, 10, Border);
  EXPECT_TRUE(Changes.empty());
  // The active first tab is not pulled back into view by the next paint.
  Tab->Repaint();
  EXPECT_PIXEL(Snap(*Tab), 170, 10, Border);
  gui::SimClick(*Tab, 5, 10);  // scroll left: back to the start
  img = Snap(*Tab);
  EXPECT_PIXEL(img, 15, 10, Border);
  EXPECT_PIXEL(img, 16, 10, ActiveFace);
  EXPECT_TRUE(Changes.empty());
}

TEST_F(TabControlExTest, HoveredButtonsAndLeaving) {
  Tab->SetPadding(0);
  Tab->SetTabs({"a", "b", "c", "d", "e", "f", "g", "h"});
  Snap(*Tab);
  gui::SimMouseMove(*Tab, 195, 10);
  gui::TBitmap img = Snap(*Tab);
  EXPECT_PIXEL(img, 192, 0, Over);
  EXPECT_PIXEL(img, 178, 0, Border);
  gui::SimMouseMove(*Tab, 178, 10);
  img = Snap(*Tab);
  EXPECT_PIXEL(img, 178, 0, Over);
  EXPECT_PIXEL(img, 192, 0, Border);
  gui::SimMouseMove(*Tab, 5, 10);
  EXPECT_PIXEL(Snap(*Tab), 7, 0, Over);
  gui::SimMouseMove(*Form, 300, 200);
  img = Snap(*Tab);
  for (int x : {7, 178, 192}) EXPECT_PIXEL(img, x, 0, Border);
}

TEST_F(TabControlExTest, ClicksActivateAndReportEveryChoice) {
  Tab->SetTabs({"One", "Two", "Three"});
  Snap(*Tab);
  const std::vector<int> w = Widths();
  gui::SimClick(*Tab, w[0] + w[1] / 2, 10);
  EXPECT_EQ(Tab->Active(), 1);
  gui::SimClick(*Tab, w[0] + 5, 10);  // the active tab again
  EXPECT_EQ(Changes, (std::vector<int>{1, 1}));
  gui::SimClick(*Tab, w[0], 10);  // on a border between two tabs
  gui::SimClick(*Tab, 195, 10);   // beyond the last tab
  EXPECT_EQ(Changes.size(), 2u);
  // The new active tab is drawn active.
  EXPECT_PIXEL(Snap(*Tab), w[0] + w[1] / 2, 17, ActiveFace);
  gui::SimMouseDown(*Tab, gui::mbMiddle, 5, 10);
  gui::SimMouseUp(*Tab, gui::mbMiddle, 5, 10);
  EXPECT_EQ(Tab->Active(), 1);
}

TEST_F(TabControlExTest, DisabledStripIgnoresPressesAndEtchesItsTexts) {
  Tab->SetTabs({"HHH", "HHH"});
  Tab->SetEnabled(false);
  const gui::TBitmap img = Snap(*Tab);
  const std::vector<int> w = Widths();
  EXPECT_FALSE(PixelsOfColor(img, gui::Rect(1, 1, w[0] - 1, 18), gui::clWhite).empty());
  EXPECT_FALSE(PixelsOfColor(img, gui::Rect(1, 1, w[0] - 1, 18), gui::clGray).empty());
  gui::SimClick(*Tab, w[0] + 5, 10);
  EXPECT_EQ(Tab->Active(), 0);
  EXPECT_TRUE(Changes.empty());
}

TEST_F(TabControlExTest, ChangeToIgnoresIndexesOutsideTheTabs) {
  Tab->SetTabs({"One", "Two"});
  Tab->ChangeTo(5, true);
  Tab->ChangeTo(2, true);
  Tab->ChangeTo(-1, true);
  Tab->SetActive(7);
  EXPECT_EQ(Tab->Active(), 0);
  EXPECT_TRUE(Changes.empty());
  Tab->ChangeTo(1, false);
  EXPECT_EQ(Tab->Active(), 1);
  EXPECT_TRUE(Changes.empty());
  Tab->ChangeTo(0, true);
  EXPECT_EQ(Changes, (std::vector<int>{0}));
  // New tabs start with the first one active.
  Tab->ChangeTo(1, false);
  Tab->SetTabs({"A", "B", "C"});
  EXPECT_EQ(Tab->Active(), 0);
  Tab->SetTabs({});
  Tab->ChangeTo(0, true);
  EXPECT_EQ(Changes.size(), 1u);
  Snap(*Tab);  // no tabs at all paints the bare strip
  gui::SimClick(*Tab, 20, 10);
  EXPECT_EQ(Changes.size(), 1u);
}

TEST_F(TabControlExTest, WideTextsAreCopied) {
  char16_t first[] = u"Erste";
  char16_t second[] = u"Zweite";
  const char16_t* texts[] = {first, second, nullptr, first};
  Tab->SetTabs({"a", "b", "c"});
  Tab->SetTabsW(texts);
  first[0] = u'X';
  EXPECT_EQ(Tab->TabCount(), 2);
  EXPECT_EQ(Tab->TabText(0), u"Erste");
  EXPECT_EQ(Tab->TabText(1), u"Zweite");
  Tab->SetTabsW(nullptr);
  EXPECT_EQ(Tab->TabCount(), 3);
  EXPECT_EQ(Tab->TabText(2), u"c");
}

TEST_F(TabControlExTest, MenusListTheTabsAndChooseOne) {
  Tab->SetPadding(0);
  Tab->SetTabs({"a", "-", "b", "c", "d", "e", "f", "g", "h"});
  Snap(*Tab);
  std::vector<gui::TMenuItemInfo> items;
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, 4);  // right press on the tabs: "c"
  script.ExpectAction(gui::dkPopupMenu, [&](const gui::TDialogRequest& request) {
    items = request.Menu->Items();
    return std::optional<gui::TDialogAnswer>(gui::TDialogAnswer{});  // list button, dismissed
  });
  gui::SimMouseDown(*Tab, gui::mbRight, 50, 10);
  gui::SimMouseUp(*Tab, gui::mbRight, 50, 10);
  EXPECT_EQ(Tab->Active(), 3);
  EXPECT_EQ(Changes, (std::vector<int>{3}));
  gui::SimClick(*Tab, 195, 10);
  EXPECT_EQ(Changes.size(), 1u);
  EXPECT_EQ(script.Requests().size(), 2u);
  EXPECT_TRUE(script.Unexpected().empty());
  // Every tab but the separator, id = index + 1, the active one checked.
  ASSERT_EQ(items.size(), 8u);
  EXPECT_EQ(items[0].Id, 1);
  EXPECT_EQ(items[1].Id, 3);
  EXPECT_EQ(items[1].Text, u"b");
  EXPECT_TRUE(items[2].Flags & gui::MF_CHECKED);
  EXPECT_FALSE(items[0].Flags & gui::MF_CHECKED);
  // A right press outside the tab area opens nothing.
  gui::SimMouseDown(*Tab, gui::mbRight, 5, 10);
  gui::SimMouseUp(*Tab, gui::mbRight, 5, 10);
  EXPECT_EQ(script.Requests().size(), 2u);
}

TEST_F(TabControlExTest, FocusedActiveTabShowsTheFocusRectangle) {
  Tab->SetTabs({"One", "Two"});
  Tab->SetTabStop(true);
  const std::vector<int> w = Widths();
  gui::SimClick(*Tab, 5, 10);
  ASSERT_TRUE(Tab->Focused());
  const gui::TBitmap img = Snap(*Tab);
  // Every other pixel of the rectangle's top row is inverted.
  EXPECT_GE(PixelsOfColor(img, gui::Rect(3, 3, w[0] - 3, 4), ActiveFace ^ 0xFFFFFF).size(),
            static_cast<size_t>((w[0] - 6) / 2 - 1));
}

TEST_F(TabControlExTest, BevelLinesInTheShadesOfTheActiveFace) {
  Tab->SetTabs({"One", "Two"});
  Tab->SetBevel(gui::bvRaised);
  TColor light = 0, dark = 0;
  rtl::CalcColors3D(ActiveFace, light, dark);
  const std::vector<int> w = Widths();
  gui::TBitmap img = Snap(*Tab);
  EXPECT_PIXEL(img, 1, 10, light);
  EXPECT_PIXEL(img, w[0] / 2, 1, light);
  EXPECT_PIXEL(img, w[0] - 2, 10, dark);
  Tab->SetBevel(gui::bvLowered);
  img = Snap(*Tab);
  EXPECT_PIXEL(img, 1, 10, dark);
  EXPECT_PIXEL(img, w[0] - 2, 10, light);
}

TEST_F(TabControlExTest, ResizeKeepsAScrolledStripFilled) {
  Tab->SetPadding(0);
  Tab->SetTabs({"a", "b", "c", "d", "e", "f", "g", "h"});  // 240
  Snap(*Tab);
  for (int i = 0; i < 3; ++i) {
    gui::SimClick(*Tab, 178, 10);
    Snap(*Tab);
  }
  EXPECT_PIXEL(Snap(*Tab), 170, 10, Border);  // the last tab ends at the buttons
  gui::SimClick(*Tab, 150, 10);               // and becomes active
  ASSERT_EQ(Tab->Active(), 7);
  EXPECT_PIXEL(Snap(*Tab), 169, 10, Border);  // brought into view: it ends at W - 30
  Tab->SetWidth(230);
  gui::Application->ProcessMessages();
  // Still scrolled (240 > 230), the last tab moves up to the buttons again.
  const gui::TBitmap img = Snap(*Tab);
  EXPECT_PIXEL(img, 199, 10, Border);
  EXPECT_PIXEL(img, 170, 10, Border);
}

}  // namespace
