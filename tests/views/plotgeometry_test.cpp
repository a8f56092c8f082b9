#include "plotgeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const TPlotMargins Margins{18, 18, 38, 38};

TEST(PlotGeometry, AreasAroundThePlot) {
  const TPlotAreas a = PlotAreas(800, 400, Margins);
  EXPECT_EQ(a.Plot, gui::Rect(38, 18, 762, 382));
  EXPECT_EQ(a.TopBand, gui::Rect(38, 0, 762, 18));
  EXPECT_EQ(a.BottomBand, gui::Rect(38, 382, 762, 400));
  EXPECT_EQ(a.LeftBand, gui::Rect(0, 18, 38, 382));
  EXPECT_EQ(a.RightBand, gui::Rect(762, 18, 800, 382));
  EXPECT_EQ(a.BottomLeft, gui::Rect(0, 382, 38, 400));
}

TEST(PlotGeometry, PressZones) {
  // A mark at 38 + round(100 x 2.5) = 288; within 4 pixels.
  EXPECT_TRUE(NearCursorMark(284, Margins, 100, 0, 2.5));
  EXPECT_TRUE(NearCursorMark(292, Margins, 100, 0, 2.5));
  EXPECT_FALSE(NearCursorMark(293, Margins, 100, 0, 2.5));
  EXPECT_TRUE(InFrontCorner(38, 382, 400, Margins));
  EXPECT_FALSE(InFrontCorner(39, 382, 400, Margins));
  EXPECT_FALSE(InFrontCorner(38, 381, 400, Margins));
  EXPECT_TRUE(InPlotArea(39, 18, 800, 400, Margins));
  EXPECT_FALSE(InPlotArea(38, 100, 800, 400, Margins));
  EXPECT_FALSE(InPlotArea(762, 100, 800, 400, Margins));
  EXPECT_FALSE(InPlotArea(100, 382, 800, 400, Margins));
  EXPECT_EQ(IndexAt(25, 2.0, 100, 1000), 113);  // 12.5 rounds up
  EXPECT_EQ(IndexAt(25, 2.0, 990, 1000), -1);
  EXPECT_EQ(IndexAt(25, 0.0, 0, 1000), -1);
}

std::vector<std::vector<gui::TPoint>> Runs(const std::vector<gui::TPoint>& points, const gui::TRect& clip) {
  std::vector<std::vector<gui::TPoint>> runs;
  ForEachClippedRun(points, clip, [&](const std::vector<gui::TPoint>& run) { runs.push_back(run); });
  return runs;
}

TEST(PlotGeometry, PolylinesAreCutAtTheClip) {
  const gui::TRect clip = gui::Rect(0, 0, 100, 100);
  // Inside: unchanged.
  const std::vector<gui::TPoint> inside = {{0, 50}, {10, 60}, {20, 40}};
  auto runs = Runs(inside, clip);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], inside);
  // Out through the top and back: two runs ending and starting on the edge.
  runs = Runs({{0, 50}, {10, -1000000}, {20, 50}}, clip);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].front(), (gui::TPoint{0, 50}));
  EXPECT_EQ(runs[0].back().y, 0);
  EXPECT_EQ(runs[1].front().y, 0);
  EXPECT_EQ(runs[1].back(), (gui::TPoint{20, 50}));
  // A segment missing the clip altogether draws nothing.
  EXPECT_TRUE(Runs({{0, -10}, {50, -20}}, clip).empty());
  // Crossing through: one run from edge to edge.
  runs = Runs({{50, -100}, {50, 200}}, clip);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], (std::vector<gui::TPoint>{{50, 0}, {50, 100}}));
}

TEST(PlotGeometry, ColumnsCollapseToTheirExtremes) {
  const std::vector<gui::TPoint> points = {{0, 5}, {1, 10}, {1, 2}, {1, 30}, {1, 12}, {2, 7}, {2, 8}, {3, 1}};
  const std::vector<gui::TPoint> expected = {{0, 5}, {1, 10}, {1, 2}, {1, 30}, {1, 12}, {2, 7}, {2, 8}, {3, 1}};
  EXPECT_EQ(CollapseColumns(points), expected);
  std::vector<gui::TPoint> many;
  for (int i = 0; i < 1000; ++i) many.push_back({4, (i * 37) % 101});
  const std::vector<gui::TPoint> collapsed = CollapseColumns(many);
  EXPECT_EQ(collapsed, (std::vector<gui::TPoint>{{4, 0}, {4, 0}, {4, 100}, {4, many.back().y}}));
}

}  // namespace

// Axis labels stay clear of the band's unit box and inside their band.
TEST(PlotGeometry, AxisLabelsKeepApartFromTheUnitAndInsideTheBand) {
  const int unitBottom = UnitBoxBottom(40, 13, false);
  EXPECT_EQ(unitBottom, 58);
  EXPECT_EQ(UnitBoxBottom(40, 13, true), 71);
  EXPECT_FALSE(LabelClearsUnit(gui::Bounds(0, 50, 30, 13), unitBottom));  // the top tick under "[m/s²]"
  EXPECT_TRUE(LabelClearsUnit(gui::Bounds(0, 58, 30, 13), unitBottom));
  EXPECT_EQ(CentredLabelX(60, 12, 60, 400), 66);    // "0s" on the plot's left edge
  EXPECT_EQ(CentredLabelX(200, 12, 60, 400), 200);  // a label that fits stays on its tick
  EXPECT_EQ(CentredLabelX(398, 12, 60, 400), 394);
}
