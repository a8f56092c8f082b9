#include "buttonlayout.h"

#include <gtest/gtest.h>

#include "buttonstate.h"
#include "pixelsets.h"

namespace {

struct TEdgeCase {
  TButtonShape Shape;
  bool DrawBorder;
};

class ButtonEdgesTest : public ::testing::TestWithParam<TEdgeCase> {};

// The two edges together trace one closed line around the face without
// drawing a pixel twice, whatever the size.
TEST_P(ButtonEdgesTest, EdgesCloseAroundTheFace) {
  const TEdgeCase c = GetParam();
  for (int w = 12; w <= 40; w += 7) {
    for (int h = 12; h <= 30; h += 5) {
      const TEdges e = ButtonEdges(c.Shape, c.DrawBorder, w, h);
      const TPixelSet tl = PixelsOf(e.TopLeft);
      const TPixelSet br = PixelsOf(e.BottomRight);
      EXPECT_TRUE(Disjoint(tl, br)) << w << "x" << h;
      const TPixelSet ring = Union(tl, br);
      EXPECT_TRUE(IsClosedRing(ring, c.Shape == bsRounded)) << w << "x" << h;
      const int inset = c.DrawBorder ? 1 : 0;
      for (const auto& [x, y] : ring) {
        ASSERT_GE(x, inset);
        ASSERT_GE(y, inset);
        ASSERT_LE(x, w - 1 - inset);
        ASSERT_LE(y, h - 1 - inset);
      }
      if (c.Shape == bsRect) {
        EXPECT_EQ(ring, RectRing(inset, inset, w - 1 - inset, h - 1 - inset));
      } else {
        // The corners are cut: the corner pixel and its neighbours on the
        // ring's rectangle stay face.
        EXPECT_EQ(ring.count({inset, inset}), 0u);
        EXPECT_EQ(ring.count({inset + 1, inset}), 0u);
        EXPECT_EQ(ring.count({w - 1 - inset, h - 1 - inset}), 0u);
        EXPECT_EQ(ring.count({inset + 1, inset + 1}), 1u);
      }
      // The light edge holds the top-left corner, the dark one the
      // bottom-right corner.
      EXPECT_EQ(tl.count({inset, h / 2}), 1u);
      EXPECT_EQ(tl.count({w / 2, inset}), 1u);
      EXPECT_EQ(br.count({w - 1 - inset, h / 2}), 1u);
      EXPECT_EQ(br.count({w / 2, h - 1 - inset}), 1u);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllShapes, ButtonEdgesTest,
                         ::testing::Values(TEdgeCase{bsRect, false}, TEdgeCase{bsRect, true},
                                           TEdgeCase{bsRounded, false}, TEdgeCase{bsRounded, true}),
                         [](const ::testing::TestParamInfo<TEdgeCase>& info) {
                           return std::string(info.param.Shape == bsRect ? "Rect" : "Rounded") +
                                  (info.param.DrawBorder ? "Border" : "NoBorder");
                         });

TPixelSet MirrorX(const TPixelSet& s, int w) {
  TPixelSet m;
  for (const auto& [x, y] : s) m.insert({w - 1 - x, y});
  return m;
}

TPixelSet MirrorY(const TPixelSet& s, int h) {
  TPixelSet m;
  for (const auto& [x, y] : s) m.insert({x, h - 1 - y});
  return m;
}

// The four corner marks are mirror images of each other and stay clear of
// the edges of a bordered face.
TEST(ButtonFocusMarks, SymmetricAndInsideTheEdges) {
  for (TButtonShape shape : {bsRect, bsRounded}) {
    const int w = 75, h = 25;
    const auto marks = ButtonFocusMarks(shape, w, h);
    const TPixelSet tl = PixelsOf(marks[0]), tr = PixelsOf(marks[1]);
    const TPixelSet br = PixelsOf(marks[2]), bl = PixelsOf(marks[3]);
    EXPECT_EQ(tr, MirrorX(tl, w)) << int(shape);
    EXPECT_EQ(bl, MirrorY(tl, h)) << int(shape);
    EXPECT_EQ(br, MirrorY(tr, h)) << int(shape);
    EXPECT_EQ(tl.size(), 5u);
    const TEdges e = ButtonEdges(shape, true, w, h);
    const TPixelSet edges = Union(PixelsOf(e.TopLeft), PixelsOf(e.BottomRight));
    for (const TPixelSet* m : {&tl, &tr, &br, &bl}) EXPECT_TRUE(Disjoint(*m, edges));
  }
  EXPECT_EQ(ButtonFocusRect(bsRect, 75, 25), gui::Rect(2, 2, 73, 23));
  EXPECT_EQ(ButtonFocusRect(bsRounded, 75, 25), gui::Rect(3, 3, 72, 22));
}

// Picture, gap and caption form one group centred on the button.
TEST(ButtonContentLayout, GroupIsCentred) {
  const TButtonContent c = ButtonContentLayout(75, 25, 4, 0, 40, 11, 16, 16);
  EXPECT_EQ(c.Picture, (gui::TPoint{7, 4}));
  EXPECT_EQ(c.Caption, (gui::TPoint{47, 16}));
  const int captionLeft = c.Caption.x - 40 / 2;
  EXPECT_EQ(c.Picture.x + 16 + 4, captionLeft);
  // The odd pixel of an odd width goes to the right margin.
  EXPECT_EQ(c.Picture.x + 1, 75 - (captionLeft + 40));
}

TEST(ButtonContentLayout, CaptionAloneAndPadding) {
  const TButtonContent c = ButtonContentLayout(75, 25, 0, 0, 30, 11, 0, 0);
  EXPECT_EQ(c.Caption, (gui::TPoint{37, 16}));
  // The picture position of an empty picture sits left of the caption.
  EXPECT_EQ(c.Picture, (gui::TPoint{22, 12}));
  EXPECT_EQ(ButtonContentLayout(75, 25, 0, 3, 30, 11, 0, 0).Caption.y, 19);
  EXPECT_EQ(ButtonContentLayout(75, 25, 0, -2, 30, 11, 0, 0).Caption.y, 14);
  // A negative gap overlaps picture and caption; halving truncates toward 0.
  // (2 - 5) / 2 is -1, not -2.
  EXPECT_EQ(ButtonContentLayout(20, 20, -5, 0, 0, 0, 2, 2).Caption.x, 9);
}

TEST(ButtonState, OnlyLeftPressesOfAnEnabledButtonCount) {
  TButtonState s;
  EXPECT_FALSE(s.Press(false, true, bsButton));
  EXPECT_FALSE(s.Pressed());
  EXPECT_FALSE(s.Press(true, false, bsButton));
  EXPECT_FALSE(s.Pressed());
  EXPECT_TRUE(s.Press(true, true, bsButton));
  EXPECT_TRUE(s.Pressed());
  EXPECT_TRUE(s.Release());
  EXPECT_FALSE(s.Pressed());
}

TEST(ButtonState, PanelStyleNeverShowsThePressAndReleasesSilently) {
  TButtonState s;
  ASSERT_TRUE(s.Enter(true));
  EXPECT_TRUE(s.Press(true, true, bsPanel));
  EXPECT_FALSE(s.Pressed());
  EXPECT_FALSE(s.Release());
  // Releasing clears the hover look until the mouse enters again.
  EXPECT_FALSE(s.Hover());
}

TEST(ButtonState, HoverFollowsEnabledEntriesAndEndsOnLeaveAndFocusLoss) {
  TButtonState s;
  EXPECT_FALSE(s.Enter(false));
  EXPECT_FALSE(s.Hover());
  EXPECT_TRUE(s.Enter(true));
  EXPECT_TRUE(s.Hover());
  s.Press(true, true, bsButton);
  s.Leave();
  EXPECT_FALSE(s.Pressed());
  EXPECT_FALSE(s.Hover());
  // A release after leaving fires no mouse-up.
  EXPECT_FALSE(s.Release());
  s.FocusIn();
  s.Enter(true);
  EXPECT_TRUE(s.Focused());
  s.FocusOut();
  EXPECT_FALSE(s.Focused());
  EXPECT_FALSE(s.Hover());
}

}  // namespace
