#include "panelframe.h"

#include <gtest/gtest.h>

#include "pixelsets.h"

namespace {

TEST(PanelFrame, ClosedOutlines) {
  for (int w : {8, 20, 57}) {
    for (int h : {8, 16, 33}) {
      const TPixelSet sharp = PixelsOf(PanelFrame(pbsSharp, boNone, w, h));
      EXPECT_EQ(sharp, RectRing(0, 0, w - 1, h - 1));
      const std::vector<gui::TPoint> rounded = PanelFrame(pbsRounded, boNone, w, h);
      EXPECT_EQ(rounded.size(), 21u);
      const TPixelSet ring = PixelsOf(rounded);
      EXPECT_TRUE(IsClosedOutline(ring)) << w << "x" << h;
      for (const auto& corner : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) {
        EXPECT_EQ(ring.count(corner), 0u);
      }
    }
  }
  EXPECT_TRUE(PanelFrame(pbsNone, boNone, 20, 20).empty());
  EXPECT_TRUE(PanelFrame(pbsNone, boLeft, 20, 20).empty());
}

// Two panels open towards each other draw the outline of one panel twice
// their size: no gap and no extra pixel where they meet.
TEST(PanelFrame, OpenSidesJoinSeamlessly) {
  const int w = 30, h = 20;
  for (TPanelBorderStyle style : {pbsSharp, pbsRounded}) {
    const TPixelSet leftPart = PixelsOf(PanelFrame(style, boRight, w, h));
    const TPixelSet rightPart = Shifted(PixelsOf(PanelFrame(style, boLeft, w, h)), w, 0);
    EXPECT_EQ(Union(leftPart, rightPart), PixelsOf(PanelFrame(style, boNone, 2 * w, h))) << int(style);
    EXPECT_TRUE(Disjoint(leftPart, rightPart));

    const TPixelSet upper = PixelsOf(PanelFrame(style, boBottom, w, h));
    const TPixelSet lower = Shifted(PixelsOf(PanelFrame(style, boTop, w, h)), 0, h);
    EXPECT_EQ(Union(upper, lower), PixelsOf(PanelFrame(style, boNone, w, 2 * h))) << int(style);
    EXPECT_TRUE(Disjoint(upper, lower));
  }
}

// The open side has no outline except the corner pixels of the lines that
// run into it.
TEST(PanelFrame, OpenSideStaysOpen) {
  const int w = 30, h = 20;
  const TPixelSet right = PixelsOf(PanelFrame(pbsSharp, boRight, w, h));
  for (int y = 1; y < h - 1; ++y) EXPECT_EQ(right.count({w - 1, y}), 0u) << y;
  EXPECT_EQ(right.count({w - 1, 0}), 1u);
  EXPECT_EQ(right.count({w - 1, h - 1}), 1u);
  const TPixelSet top = PixelsOf(PanelFrame(pbsRounded, boTop, w, h));
  for (int x = 1; x < w - 1; ++x) EXPECT_EQ(top.count({x, 0}), 0u) << x;
}

TEST(PanelFrame, FlatFrameOfNoBorder) {
  const TEdges e = PanelFlatFrame(20, 10);
  const TPixelSet tl = PixelsOf(e.TopLeft), br = PixelsOf(e.BottomRight);
  EXPECT_TRUE(Disjoint(tl, br));
  TPixelSet inside;  // the canvas clips what lies beyond the panel
  for (const auto& p : Union(tl, br)) {
    if (p.first < 20 && p.second < 10) inside.insert(p);
  }
  EXPECT_EQ(inside, RectRing(0, 0, 19, 9));
  EXPECT_EQ(tl.count({0, 9}), 1u);   // the light edge holds the bottom-left corner
  EXPECT_EQ(tl.count({19, 0}), 1u);  // and the top-right one
}

TEST(PanelBody, ReachesTheOpenSideOnlyWithoutHeader) {
  EXPECT_EQ(PanelBodyRect(boNone, 40, 30, 0), gui::Rect(1, 1, 39, 29));
  EXPECT_EQ(PanelBodyRect(boLeft, 40, 30, 0), gui::Rect(0, 1, 39, 29));
  EXPECT_EQ(PanelBodyRect(boTop, 40, 30, 0), gui::Rect(1, 0, 39, 29));
  EXPECT_EQ(PanelBodyRect(boRight, 40, 30, 0), gui::Rect(1, 1, 40, 29));
  EXPECT_EQ(PanelBodyRect(boBottom, 40, 30, 0), gui::Rect(1, 1, 39, 30));
  // Header rows 1 to 15, the body from row 16.
  EXPECT_EQ(PanelHeaderRect(40, 16), gui::Rect(1, 1, 39, 16));
  EXPECT_EQ(PanelBodyRect(boRight, 40, 30, 16), gui::Rect(1, 16, 39, 29));
  EXPECT_TRUE(PanelHeaderRect(40, 0).IsEmpty());
  EXPECT_EQ(PixelsOf(PanelHeaderSeparator(40, 16)), RectRing(1, 15, 39, 15));
}

// Inner edges lie inside the outline, clear of it, and the light and the
// dark edge never draw the same pixel.
TEST(PanelInnerEdges, InsideTheOutline) {
  const int w = 50, h = 40;
  for (int hh : {0, 16}) {
    for (TPanelBorderStyle style : {pbsSharp, pbsRounded}) {
      for (TBorderOpen open : {boNone, boTop}) {
        const TPixelSet outline = PixelsOf(PanelFrame(style, open, w, h));
        for (const TPanelBevel& b : PanelInnerEdges(open, w, h, hh)) {
          const TPixelSet tl = PixelsOf(b.Edges.TopLeft), br = PixelsOf(b.Edges.BottomRight);
          EXPECT_TRUE(Disjoint(tl, br)) << hh << " " << int(open);
          EXPECT_TRUE(Disjoint(Union(tl, br), outline)) << hh << " " << int(style) << " " << int(open);
        }
      }
    }
  }
}

TEST(PanelInnerEdges, WhichSetsExist) {
  EXPECT_EQ(PanelInnerEdges(boNone, 50, 40, 0).size(), 1u);
  EXPECT_EQ(PanelInnerEdges(boTop, 50, 40, 0).size(), 1u);
  EXPECT_TRUE(PanelInnerEdges(boLeft, 50, 40, 0).empty());
  EXPECT_TRUE(PanelInnerEdges(boRight, 50, 40, 0).empty());
  EXPECT_TRUE(PanelInnerEdges(boBottom, 50, 40, 0).empty());
  EXPECT_TRUE(PanelInnerEdges(boRight, 50, 40, 16).empty());
  const std::vector<TPanelBevel> header = PanelInnerEdges(boNone, 50, 40, 16);
  ASSERT_EQ(header.size(), 2u);
  EXPECT_TRUE(header[0].Header);
  EXPECT_FALSE(header[1].Header);
  // The header band's edges stay above its bottom row, the body's below it.
  for (const auto& [x, y] : Union(PixelsOf(header[0].Edges.TopLeft), PixelsOf(header[0].Edges.BottomRight))) {
    EXPECT_LE(y, 16) << x;
  }
  for (const auto& [x, y] : Union(PixelsOf(header[1].Edges.TopLeft), PixelsOf(header[1].Edges.BottomRight))) {
    EXPECT_GE(y, 17) << x;
  }
  // An open top: the side edges run up to the open side.
  const TPanelBevel top = PanelInnerEdges(boTop, 50, 40, 0)[0];
  EXPECT_EQ(PixelsOf(top.Edges.TopLeft).count({1, 0}), 1u);
  EXPECT_EQ(PixelsOf(top.Edges.BottomRight).count({48, 0}), 1u);
}

}  // namespace
