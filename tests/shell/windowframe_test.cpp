// The frame's rules without a window: where a press drags, the colours of
// the activation states and the panel edge.
#include <gtest/gtest.h>

#include "formframe.h"
#include "windowframe.h"

namespace {

TEST(WindowFrameHitTest, WorkspaceBandEndsAtItsStripButtons) {
  constexpr int W = 800, H = 600;
  EXPECT_EQ(WindowFrameHitTest(W - 73, 10, W, H, FrameBalancing), gui::HTCAPTION);
  EXPECT_EQ(WindowFrameHitTest(W - 72, 10, W, H, FrameBalancing), gui::HTCLIENT);
  EXPECT_EQ(WindowFrameHitTest(100, 22, W, H, FrameBalancing), gui::HTCAPTION);
  EXPECT_EQ(WindowFrameHitTest(100, 23, W, H, FrameBalancing), gui::HTCLIENT);
}

TEST(WindowFrameHitTest, OuterEdgeNeverDrags) {
  constexpr int W = 800, H = 600;
  // A sizeable window keeps its sizing border along the band.
  EXPECT_EQ(WindowFrameHitTest(0, 100, W, H, FrameBalancing), gui::HTLEFT);
  EXPECT_EQ(WindowFrameHitTest(100, 0, W, H, FrameBalancing), gui::HTTOP);
  for (auto [x, y] : {std::pair{0, 10}, {1, 1}, {3, 22}, {W - 1, 10}})
    EXPECT_TRUE(gui::IsSizingHit(WindowFrameHitTest(x, y, W, H, FrameBalancing))) << x << "," << y;
  // A dialog's thin border does not drag; just inside it does.
  EXPECT_EQ(WindowFrameHitTest(0, 10, 398, 160, FrameMessage), gui::HTBORDER);
  EXPECT_EQ(WindowFrameHitTest(10, 0, 398, 160, FrameMessage), gui::HTBORDER);
  EXPECT_EQ(WindowFrameHitTest(1, 1, 398, 160, FrameMessage), gui::HTCAPTION);
}

TEST(WindowFrameHitTest, MessageBoxKeepsTwentyPixelsWithoutButtons) {
  EXPECT_EQ(WindowFrameHitTest(398 - 21, 5, 398, 160, FrameMessage), gui::HTCAPTION);
  EXPECT_EQ(WindowFrameHitTest(398 - 20, 5, 398, 160, FrameMessage), gui::HTCLIENT);
  // Below the band the work panel is client area.
  EXPECT_EQ(WindowFrameHitTest(100, 60, 398, 160, FrameMessage), gui::HTCLIENT);
}

TEST(WindowFrameColors, ActiveGreenYellowInactiveGreyBeige) {
  const TFrameColors active{0x466439, 0x00FFFF};
  const TFrameColors inactive{0x4F4F4F, 0x9CDBDE};
  EXPECT_EQ(FrameColorsFor(gui::WA_ACTIVE), active);
  EXPECT_EQ(FrameColorsFor(gui::WA_CLICKACTIVE), active);
  EXPECT_EQ(FrameColorsFor(gui::WA_INACTIVE), inactive);
  EXPECT_FALSE(FrameColorsFor(3).has_value());
}

TEST(WindowFrameEdge, OnePixelOutsideThePanelInTheCoreShades) {
  const TPanelEdge edge = PanelEdgeFor(gui::Bounds(7, 20, 382, 130), 0x9CDBDE);
  EXPECT_EQ(edge.Bounds, gui::Rect(6, 19, 390, 151));
  // Per channel: light = min(255, c * 1.5), dark = c * 2 / 3; 0x9CDBDE is
  // red 222, green 219, blue 156.
  EXPECT_EQ(edge.Light, 0xEAFFFFu);
  EXPECT_EQ(edge.Dark, 0x689294u);
}

}  // namespace
