#include <gtest/gtest.h>

#include "rasterline.h"

namespace gui {
namespace {

TEST(LinePixels, LeavesOutTheEndPoint) {
  const std::vector<TPoint> px = LinePixels({1, 1}, {5, 1});
  ASSERT_EQ(px.size(), 4u);
  EXPECT_EQ(px.front(), (TPoint{1, 1}));
  EXPECT_EQ(px.back(), (TPoint{4, 1}));
  EXPECT_TRUE(LinePixels({3, 3}, {3, 3}).empty());
}

TEST(LinePixels, DiagonalAndBackwardsLines) {
  const std::vector<TPoint> diag = LinePixels({0, 0}, {3, 3});
  EXPECT_EQ(diag, (std::vector<TPoint>{{0, 0}, {1, 1}, {2, 2}}));
  const std::vector<TPoint> back = LinePixels({5, 2}, {2, 2});
  EXPECT_EQ(back, (std::vector<TPoint>{{5, 2}, {4, 2}, {3, 2}}));
  // A steep line has one pixel per row.
  EXPECT_EQ(LinePixels({0, 0}, {2, 6}).size(), 6u);
}

TEST(PolylinePixels, CornersDrawnLastPointNot) {
  const std::vector<TPoint> px = PolylinePixels({{0, 0}, {3, 0}, {3, 3}}, psSolid);
  EXPECT_EQ(px, (std::vector<TPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}}));
  EXPECT_TRUE(PolylinePixels({{0, 0}, {5, 0}}, psClear).empty());
}

TEST(PolylinePixels, DotPatternRunsOnAcrossSegments) {
  // Dots are three pixels on, three off; the second segment goes on where
  // the first stopped (pixel 4 of the pattern is off).
  const std::vector<TPoint> px = PolylinePixels({{0, 0}, {4, 0}, {4, 10}}, psDot);
  const std::vector<TPoint> expected{{0, 0}, {1, 0}, {2, 0}, {4, 2}, {4, 3}, {4, 4}, {4, 8}, {4, 9}};
  EXPECT_EQ(px, expected);
}

TEST(DashPattern, DashRuns) {
  TDashPattern dash(psDash);
  int on = 0;
  for (int i = 0; i < 24; ++i) on += dash.Next() ? 1 : 0;
  EXPECT_EQ(on, 18);
  EXPECT_TRUE(dash.Next());  // the next period starts with a dash
}

}  // namespace
}  // namespace gui
