// The frame as it shows on screen: green strip with yellow caption while
// active, grey with beige while not, the panel edge light on top and left
// and dark on bottom and right, the layout of panel and strip buttons.
#include <gtest/gtest.h>

#include <array>

#include "application.h"
#include "bitmap.h"
#include "bitmapbutton.h"
#include "formmessage.h"
#include "inputsim.h"
#include "labelex.h"
#include "panel.h"
#include "shelltestsupport.h"

namespace {

// The picture of a shown form, as the PNG file holds it.
gui::TBitmap Picture(gui::TForm& form, const std::string& name) {
  const std::string path = shelltest::PicturePath(name);
  EXPECT_TRUE(form.SaveScreenshot(path));
  gui::TBitmap picture;
  EXPECT_TRUE(picture.LoadFromFile(path));
  return picture;
}

// Whether any pixel of the rectangle has the colour.
bool HasColor(const gui::TBitmap& picture, gui::TRect r, gui::TColor color) {
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (picture.Pixel(x, y) == color) return true;
  return false;
}

class FrameRender : public testing::Test {
 protected:
  void SetUp() override {
    box = std::make_unique<TfMessage>(nullptr);
    box->Kind = mkQuestion;
    box->MessageText = u"Continue?";
    box->Show();
    gui::Application->ProcessMessages();
    border = box->FrameWidth();
  }
  // The caption text's area in window coordinates.
  gui::TRect CaptionArea() const { return box->leCaption->BoundsRect().Offset(border, border); }

  std::unique_ptr<TfMessage> box;
  int border = 0;
};

TEST_F(FrameRender, ActiveStripIsGreenWithYellowCaption) {
  const gui::TBitmap picture = Picture(*box, "frame_active.png");
  EXPECT_EQ(picture.Pixel(border + 3, border + 10), FrameActiveColor);
  EXPECT_TRUE(HasColor(picture, CaptionArea(), CaptionActiveText));
  EXPECT_EQ(box->leCaption->CaptionW(), u"Question");
}

TEST_F(FrameRender, InactiveStripIsGreyWithBeigeCaption) {
  box->ApplyActivation(gui::WA_INACTIVE);
  const gui::TBitmap picture = Picture(*box, "frame_inactive.png");
  EXPECT_EQ(picture.Pixel(border + 3, border + 10), FrameInactiveColor);
  EXPECT_TRUE(HasColor(picture, CaptionArea(), CaptionInactiveText));
  EXPECT_FALSE(HasColor(picture, CaptionArea(), CaptionActiveText));
  box->ApplyActivation(gui::WA_CLICKACTIVE);
  EXPECT_EQ(Picture(*box, "frame_reactivated.png").Pixel(border + 3, border + 10), FrameActiveColor);
}

TEST_F(FrameRender, PanelEdgeIsOnePixelOutsideThePanel) {
  const gui::TBitmap picture = Picture(*box, "frame_edge.png");
  const TPanelEdge edge = PanelEdgeFor(box->pWindow->BoundsRect(), WorkPanelColor);
  const gui::TRect r = edge.Bounds.Offset(border, border);
  EXPECT_EQ(picture.Pixel(r.Left + 30, r.Top), edge.Light);
  EXPECT_EQ(picture.Pixel(r.Left, r.Top + 30), edge.Light);
  EXPECT_EQ(picture.Pixel(r.Right - 1, r.Top + 30), edge.Dark);
  EXPECT_EQ(picture.Pixel(r.Left + 30, r.Bottom - 1), edge.Dark);
  // Inside the edge the panel; outside it the strip.
  EXPECT_EQ(picture.Pixel(r.Left + 1, r.Bottom - 3), WorkPanelColor);
  EXPECT_EQ(picture.Pixel(r.Left - 1, r.Top + 30), FrameActiveColor);
}

TEST_F(FrameRender, LayoutLeavesTheStripRoundThePanel) {
  EXPECT_EQ(box->pWindow->BoundsRect(), gui::Bounds(7, 20, 382, 130));
  EXPECT_EQ(box->ClientWidth(), 382 + 14);
  EXPECT_EQ(box->ClientHeight(), 130 + 27);
}

// A window that lets the test ask its hit test.
class TProbe : public TfMessage {
 public:
  using TfMessage::TfMessage;
  int Hit(int x, int y) { return HitTest(x, y); }
};

TEST(FrameHitTest, TheWindowAnswersAsThePredicate) {
  TProbe probe(nullptr);
  const int w = probe.Width(), h = probe.Height();
  for (auto [x, y] : {std::pair{0, 5}, {1, 1}, {w - 21, 5}, {w - 20, 5}, {50, 22}, {50, 23}, {50, 80}})
    EXPECT_EQ(probe.Hit(x, y), WindowFrameHitTest(x, y, w, h, FrameMessage)) << x << "," << y;
}

// Switching to another window turns the strip grey; coming back, green.
TEST(FrameActivation, AnotherWindowTakesTheActivation) {
  TfMessage first(nullptr), second(nullptr);
  first.Show();
  gui::Application->ProcessMessages();
  second.Show();
  gui::Application->ProcessMessages();
  EXPECT_EQ(first.Color(), FrameInactiveColor);
  EXPECT_EQ(second.Color(), FrameActiveColor);
  first.BringToFront();
  gui::Application->ProcessMessages();
  EXPECT_EQ(first.Color(), FrameActiveColor);
  EXPECT_EQ(second.Color(), FrameInactiveColor);
}

// A sizeable window with the workspace's three strip buttons.
class TThreeButtons : public TWindowFrame {
 public:
  TThreeButtons() : TWindowFrame(nullptr, FrameBalancing) {
    LayoutFrame(400, 200);
    for (TBitmapButton*& b : buttons) {
      b = new TBitmapButton(this);
      b->SetParent(this);
      b->SetBounds(0, 0, 18, 16);
    }
    PlaceCaptionButtons(buttons[0], buttons[1], buttons[2]);
  }
  std::array<TBitmapButton*, 3> buttons{};
};

TEST(FrameLayout, CaptionButtonsSitAtTheStripsRightEnd) {
  TThreeButtons window;
  const int right = window.ClientWidth() - 6;
  EXPECT_EQ(window.buttons[0]->BoundsRect(), gui::Rect(right - 18, 2, right, 18));
  EXPECT_EQ(window.buttons[1]->BoundsRect(), gui::Rect(right - 38, 2, right - 20, 18));
  EXPECT_EQ(window.buttons[2]->BoundsRect(), gui::Rect(right - 56, 2, right - 38, 18));
  // The panel and the buttons follow a resize of the sizeable window.
  window.SetClientWidth(window.ClientWidth() + 50);
  EXPECT_EQ(window.buttons[0]->Left(), right + 50 - 18);
  EXPECT_EQ(window.pWindow->Width(), 450);
}

}  // namespace
