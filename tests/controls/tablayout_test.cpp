#include "tablayout.h"

#include <gtest/gtest.h>

#include "pixelsets.h"

namespace {

TEST(TabWidth, PaddingMinimumAndSeparators) {
  EXPECT_EQ(TabWidth(40, 10, false), 60);
  EXPECT_EQ(TabWidth(5, 10, false), 30);  // widened to the minimum
  EXPECT_EQ(TabWidth(0, 0, false), 30);
  EXPECT_EQ(TabWidth(80, 10, true), 0);
  EXPECT_TRUE(IsTabSeparator(u"-"));
  EXPECT_TRUE(IsTabSeparator(u"-group"));
  EXPECT_FALSE(IsTabSeparator(u"a-b"));
  EXPECT_FALSE(IsTabSeparator(u""));
}

TEST(LayoutTabs, FittingTabsStartAtTheLeftEdge) {
  const TTabLayout l = LayoutTabs({50, 0, 60}, 200, -40, true, 2);
  EXPECT_TRUE(l.Fits);
  EXPECT_EQ(l.ScrollOffset, 0);
  ASSERT_EQ(l.Boxes.size(), 3u);
  EXPECT_EQ(l.Boxes[0], (TTabBox{0, 50, true}));
  EXPECT_EQ(l.Boxes[1], (TTabBox{50, 0, false}));  // a separator has no box
  EXPECT_EQ(l.Boxes[2], (TTabBox{50, 60, true}));
}

TEST(LayoutTabs, WidthsAddingUpToTheStripDoNotFit) {
  const TTabLayout l = LayoutTabs({100, 100}, 200, 0, false, 0);
  EXPECT_FALSE(l.Fits);
  EXPECT_EQ(l.Boxes[0].Left, 15);  // room for the scroll-left button
  EXPECT_TRUE(LayoutTabs({100, 99}, 200, 0, false, 0).Fits);
}

TEST(LayoutTabs, VisibilityAtTheEnds) {
  // Offset -65 puts the first tab at -50..0 and the last one at 190..250.
  const TTabLayout l = LayoutTabs({50, 60, 70, 60, 60}, 200, -65, false, 0);
  EXPECT_FALSE(l.Boxes[0].Visible);  // ends at 0
  EXPECT_TRUE(l.Boxes[1].Visible);
  EXPECT_EQ(l.Boxes[4].Left, 190);
  EXPECT_TRUE(l.Boxes[4].Visible);   // starts at 190 < 199
  const TTabLayout m = LayoutTabs({50, 60, 70, 60, 60}, 200, -56, false, 0);
  EXPECT_EQ(m.Boxes[4].Left, 199);
  EXPECT_FALSE(m.Boxes[4].Visible);
}

// Whatever the offset, bringing a tab into view places it between the
// scroll buttons (when it is narrow enough to fit there).
TEST(LayoutTabs, ActiveTabIsBroughtBetweenTheButtons) {
  const std::vector<int> widths{60, 60, 60, 60, 60, 60};
  for (int offset : {0, -50, -200, -400}) {
    for (int active = 0; active < 6; ++active) {
      const TTabLayout l = LayoutTabs(widths, 200, offset, true, active);
      const TTabBox& box = l.Boxes[static_cast<size_t>(active)];
      EXPECT_GE(box.Left, 15) << offset << " " << active;
      EXPECT_LE(box.Right(), 170) << offset << " " << active;
      EXPECT_LE(l.ScrollOffset, 0);
    }
  }
  // Without the request the offset stays.
  EXPECT_EQ(LayoutTabs(widths, 200, -200, false, 0).ScrollOffset, -200);
  // An active index beyond the tabs moves nothing.
  EXPECT_EQ(LayoutTabs(widths, 200, -200, true, 9).ScrollOffset, -200);
}

TEST(TabZones, PressHoverAndMenu) {
  const int w = 200;
  EXPECT_EQ(TabPressZone(0, w, true), TTabZone::Tabs);
  EXPECT_EQ(TabPressZone(199, w, true), TTabZone::Tabs);
  EXPECT_EQ(TabPressZone(15, w, false), TTabZone::ScrollLeft);
  EXPECT_EQ(TabPressZone(16, w, false), TTabZone::Tabs);
  EXPECT_EQ(TabPressZone(169, w, false), TTabZone::Tabs);
  EXPECT_EQ(TabPressZone(170, w, false), TTabZone::ScrollRight);
  EXPECT_EQ(TabPressZone(184, w, false), TTabZone::ScrollRight);
  EXPECT_EQ(TabPressZone(185, w, false), TTabZone::List);

  EXPECT_EQ(TabHoverZone(5, w, true), TTabZone::Tabs);
  EXPECT_EQ(TabHoverZone(14, w, false), TTabZone::ScrollLeft);
  EXPECT_EQ(TabHoverZone(15, w, false), TTabZone::Tabs);
  EXPECT_EQ(TabHoverZone(170, w, false), TTabZone::ScrollRight);
  EXPECT_EQ(TabHoverZone(185, w, false), TTabZone::List);

  EXPECT_FALSE(TabMenuZone(100, w, true));
  EXPECT_FALSE(TabMenuZone(15, w, false));
  EXPECT_TRUE(TabMenuZone(16, w, false));
  EXPECT_TRUE(TabMenuZone(169, w, false));
  EXPECT_FALSE(TabMenuZone(170, w, false));
}

TEST(TabAt, InsideTheEndsOnlyAndNeverASeparator) {
  const std::vector<TTabBox> boxes{{0, 50, true}, {50, 0, false}, {50, 60, true}};
  EXPECT_EQ(TabAt(boxes, 0), -1);
  EXPECT_EQ(TabAt(boxes, 1), 0);
  EXPECT_EQ(TabAt(boxes, 49), 0);
  EXPECT_EQ(TabAt(boxes, 50), -1);
  EXPECT_EQ(TabAt(boxes, 51), 2);
  EXPECT_EQ(TabAt(boxes, 110), -1);
  EXPECT_EQ(TabAt({}, 10), -1);
}

// Pressing the scroll buttons over and over walks the strip to its ends
// and then stops: the last tab ends at the scroll-right button, the first
// one starts after the scroll-left button.
TEST(TabScrolling, WalksToBothEndsAndStops) {
  const std::vector<int> widths{60, 45, 80, 60, 70, 60};
  const int w = 200;
  TTabLayout l = LayoutTabs(widths, w, 0, false, 0);
  int presses = 0;
  for (;;) {
    const int next = ScrollRightOffset(l.Boxes, w, l.ScrollOffset);
    if (next == l.ScrollOffset) break;
    EXPECT_LT(next, l.ScrollOffset);
    l = LayoutTabs(widths, w, next, false, 0);
    ASSERT_LT(++presses, 10);
  }
  EXPECT_EQ(l.Boxes.back().Right(), w - 29);
  presses = 0;
  for (;;) {
    const int next = ScrollLeftOffset(l.Boxes, l.ScrollOffset);
    if (next == l.ScrollOffset) break;
    EXPECT_GT(next, l.ScrollOffset);
    l = LayoutTabs(widths, w, next, false, 0);
    ASSERT_LT(++presses, 10);
  }
  EXPECT_EQ(l.ScrollOffset, 0);
  EXPECT_EQ(l.Boxes.front().Left, 15);
}

TEST(TabScrolling, ResizeKeepsTheStripFilled) {
  const std::vector<int> widths{100, 100, 100};
  const TTabLayout l = LayoutTabs(widths, 200, -130, false, 0);  // last tab ends at 185
  EXPECT_EQ(ResizeOffset(l.Boxes, 250, false, l.ScrollOffset), -130 + 220 - 185);
  EXPECT_EQ(ResizeOffset(l.Boxes, 200, false, l.ScrollOffset), -130);
  EXPECT_EQ(ResizeOffset(l.Boxes, 250, true, l.ScrollOffset), -130);
  EXPECT_EQ(ResizeOffset({}, 250, false, -130), -130);
}

TEST(TabShapes, TabOutlineEnclosesItsFace) {
  for (bool active : {true, false}) {
    const int x = 20, width = 50, h = 22;
    const TPixelSet outline = PixelsOf(TabOutline(x, width, h, active));
    const gui::TRect face = TabFaceRect(x, width, h, active);
    // The outline's sides run just outside the face.
    EXPECT_EQ(outline.count({x, 10}), 1u);
    EXPECT_EQ(outline.count({x + width - 1, 10}), 1u);
    EXPECT_EQ(face.Left, x + 1);
    EXPECT_EQ(face.Right, x + width - 1);
    const int top = active ? 0 : 2;
    EXPECT_EQ(outline.count({x + width / 2, top}), 1u);
    EXPECT_EQ(face.Top, top + 1);
    // Neither the outline's first nor its last point reaches the band.
    for (const auto& [px, py] : outline) EXPECT_LE(py, h - 5);
  }
  const TEdges bevel = TabBevel(20, 50, 22);
  EXPECT_TRUE(Disjoint(Union(PixelsOf(bevel.TopLeft), PixelsOf(bevel.BottomRight)), PixelsOf(TabOutline(20, 50, 22, true))));
  // The active tab reaches down over the strip line into the band.
  EXPECT_EQ(TabFaceRect(0, 40, 22, true).Bottom, 19);
  EXPECT_EQ(TabFaceRect(0, 40, 22, false).Bottom, 17);
}

TEST(TabShapes, ButtonsShareTheirFrames) {
  const int w = 200, h = 22;
  const TTabButtonShape left = ScrollLeftButtonShape(h);
  const TTabButtonShape right = ScrollRightButtonShape(w, h);
  const TTabButtonShape list = ListButtonShape(w, h, false);
  EXPECT_EQ(left.Cell, gui::Rect(0, 0, 14, 17));
  EXPECT_EQ(right.Cell, gui::Rect(171, 0, 185, 17));
  EXPECT_EQ(list.Cell, gui::Rect(185, 0, 200, 17));
  EXPECT_TRUE(IsClosedRing(PixelsOf(left.Frame), false));
  EXPECT_TRUE(IsClosedRing(PixelsOf(right.Frame), false));
  EXPECT_TRUE(IsClosedRing(PixelsOf(ListButtonShape(w, h, true).Frame), false));
  // Not hovered, the list button's right side runs down to the bottom.
  EXPECT_EQ(PixelsOf(list.Frame).count({199, 21}), 1u);
  // The glyphs lie inside their cells.
  for (const TTabButtonShape* s : {&left, &right, &list}) {
    for (const auto& [x, y] : PixelsOf(s->Glyph)) EXPECT_TRUE(s->Cell.Contains({x, y})) << x << "," << y;
  }
}

TEST(TabShapes, StripOutline) {
  const TPixelSet fits = PixelsOf(StripOutline(true, 200, 22));
  EXPECT_EQ(fits.count({0, 21}), 1u);
  EXPECT_EQ(fits.count({100, 17}), 1u);
  EXPECT_EQ(fits.count({199, 21}), 1u);  // the rounded right end
  EXPECT_EQ(fits.count({199, 17}), 0u);
  const TPixelSet scrolls = PixelsOf(StripOutline(false, 200, 22));
  EXPECT_EQ(scrolls.count({199, 17}), 1u);
  const TEdges bevel = StripBevel(true, 200, 22);
  EXPECT_TRUE(Disjoint(Union(PixelsOf(bevel.TopLeft), PixelsOf(bevel.BottomRight)), fits));
}

}  // namespace
