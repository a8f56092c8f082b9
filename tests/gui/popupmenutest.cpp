#include <gtest/gtest.h>

#include "answerhook.h"
#include "application.h"
#include "inputsim.h"
#include "popupmenu.h"
#include "timer.h"

namespace gui {
namespace {

TEST(PopupMenuOrigin, AlignmentAndScreenEdges) {
  const TRect screen = Rect(0, 0, 800, 600);
  EXPECT_EQ(PopupMenuOrigin({100, 100}, {80, 60}, TPM_LEFTALIGN | TPM_TOPALIGN, screen), (TPoint{100, 100}));
  EXPECT_EQ(PopupMenuOrigin({100, 100}, {80, 60}, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, screen), (TPoint{20, 40}));
  EXPECT_EQ(PopupMenuOrigin({100, 100}, {80, 60}, TPM_CENTERALIGN | TPM_VCENTERALIGN, screen), (TPoint{60, 70}));
  // Kept on the screen.
  EXPECT_EQ(PopupMenuOrigin({780, 590}, {80, 60}, TPM_LEFTALIGN, screen), (TPoint{720, 540}));
  EXPECT_EQ(PopupMenuOrigin({10, 10}, {80, 60}, TPM_RIGHTALIGN, screen), (TPoint{0, 10}));
}

void Fill(TPopupMenu& menu) {
  menu.Append(1, u"rpm");
  menu.Append(2, u"Hz");
  menu.AppendSeparator();
  menu.Append(3, u"Report", MF_DISABLED);
  menu.Append(4, u"Log", MF_GRAYED);
  menu.Append(5, u"Close");
  menu.CheckRadioItem(1, 2, 2);
}

TEST(PopupMenu, RadioChecksAndFlags) {
  TPopupMenu menu;
  Fill(menu);
  EXPECT_TRUE(menu.FindItem(2)->Flags & MF_CHECKED);
  EXPECT_TRUE(menu.FindItem(2)->RadioCheck);
  EXPECT_FALSE(menu.FindItem(1)->Flags & MF_CHECKED);
  EXPECT_FALSE(menu.FindItem(3)->Choosable());
  EXPECT_FALSE(menu.FindItem(4)->Choosable());
  menu.EnableItem(3, MF_ENABLED);
  EXPECT_TRUE(menu.FindItem(3)->Choosable());
  EXPECT_EQ(menu.FindItem(0), nullptr);  // separators are no items
}

TEST(PopupMenu, ScriptedChoiceAndDismissal) {
  TPopupMenu menu;
  Fill(menu);
  TAnswerScript script;
  script.Expect(dkPopupMenu, 5).Expect(dkPopupMenu, 0).Expect(dkPopupMenu, 3).Expect(dkPopupMenu, 4);
  EXPECT_EQ(menu.Track(100, 100), 5);
  EXPECT_EQ(menu.Track(100, 100), 0);
  EXPECT_EQ(menu.Track(100, 100), 0);  // a disabled item can't be chosen
  EXPECT_EQ(menu.Track(100, 100), 0);  // nor a greyed one
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(script.Requests().front().Menu, &menu);
}

// Keys typed into the open menu from a timer, as a user would.
int TrackWithKeys(TPopupMenu& menu, std::vector<TVirtualKey> keys) {
  TTimer timer(nullptr);
  timer.SetInterval(30);
  timer.OnTimer = [&](TComponent*) {
    timer.SetEnabled(false);
    for (TVirtualKey k : keys) SimKey(nullptr, k);
  };
  return menu.Track(200, 200);
}

TEST(PopupMenu, DrivenMenuReturnsTheChosenIdOrZero) {
  TPopupMenu menu;
  Fill(menu);
  EXPECT_EQ(TrackWithKeys(menu, {VK_DOWN, VK_DOWN, VK_RETURN}), 2);
  EXPECT_EQ(TrackWithKeys(menu, {VK_DOWN, VK_ESCAPE}), 0);
  // Down skips the separator and the greyed item; Enter on the disabled one
  // chooses nothing and the menu stays open until Escape.
  EXPECT_EQ(TrackWithKeys(menu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE}), 0);
  EXPECT_EQ(TrackWithKeys(menu, {VK_UP, VK_RETURN}), 5);
}

}  // namespace
}  // namespace gui
