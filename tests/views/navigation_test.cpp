#include <gtest/gtest.h>

#include "spectrumnavigation.h"
#include "timenavigation.h"
#include "viewnavigation.h"
#include "zoomhistory.h"

namespace {

constexpr int32_t FS = 32768;

TEST(TimeNavigation, ZoomInHalvesDownToFiftySamples) {
  TPlotView v = ZoomXIn({200, 100, 0, 2 * FS}, 1000, MinTimeViewWidth);
  EXPECT_EQ(v.ViewStart, 225);
  EXPECT_EQ(v.ViewWidth, 50);
  v = ZoomXIn({200, 60, 0, 2 * FS}, 1000, MinTimeViewWidth);
  EXPECT_EQ(v.ViewStart, 200);
  EXPECT_EQ(v.ViewWidth, 50);
  // A record shorter than fifty samples is the narrowest view.
  v = ZoomXIn({0, 30, 0, 2 * FS}, 30, MinTimeViewWidth);
  EXPECT_EQ(v.ViewStart, 0);
  EXPECT_EQ(v.ViewWidth, 30);
}

TEST(TimeNavigation, ZoomOutStaysInsideTheRecord) {
  TPlotView v = ZoomXOut({900, 100, 0, 2 * FS}, 1000);
  EXPECT_EQ(v.ViewStart, 800);
  EXPECT_EQ(v.ViewWidth, 200);
  v = ZoomXOut({10, 100, 0, 2 * FS}, 1000);
  EXPECT_EQ(v.ViewStart, 0);
  v = ZoomXOut({300, 600, 0, 2 * FS}, 1000);
  EXPECT_EQ(v.ViewStart, 0);
  EXPECT_EQ(v.ViewWidth, 1000);
}

TEST(TimeNavigation, ZoomOntoTheCursors) {
  auto v = ZoomToCursors({0, 16384, 0, 2 * FS}, 2000, 3000, 16384, MinTimeViewWidth);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->ViewWidth, 1050);
  EXPECT_EQ(v->ViewStart, 1975);
  v = ZoomToCursors({0, 16384, 0, 2 * FS}, 520, 500, 16384, MinTimeViewWidth);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->ViewWidth, 50);
  EXPECT_EQ(v->ViewStart, 485);
  EXPECT_FALSE(ZoomToCursors({0, 16384, 0, 2 * FS}, 7, 7, 16384, MinTimeViewWidth));
  // Against the end: one sample further left than zoom out's clamp.
  v = ZoomToCursors({0, 16384, 0, 2 * FS}, 16340, 16380, 16384, MinTimeViewWidth);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->ViewStart + v->ViewWidth, 16383);
  // A distance reaching the record shows the whole record.
  v = ZoomToCursors({0, 100, 0, 2 * FS}, 1, 99, 100, MinTimeViewWidth);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->ViewStart, 0);
  EXPECT_EQ(v->ViewWidth, 100);
}

TEST(TimeNavigation, VerticalZoomStopsAtItsLimits) {
  TPlotView v{0, 100, 0, 2 * FS};
  v = TimeZoomInY(v, FS);
  EXPECT_EQ(v.SpanY, FS);
  v = TimeZoomInY(TimeZoomInY(v, FS), FS);
  EXPECT_EQ(v.SpanY, FS / 4);
  EXPECT_EQ(TimeZoomInY(v, FS).SpanY, FS / 4);
  v = TimeZoomOutY({0, 100, 0, 2 * FS}, FS);
  EXPECT_EQ(v.SpanY, 4 * FS);
  EXPECT_EQ(TimeZoomOutY(v, FS).SpanY, 4 * FS);
  EXPECT_EQ(TimeZoomAll(v, 500, FS), (TPlotView{0, 500, 0, 2 * FS}));
}

TEST(TimeNavigation, CentringAndPanningKeepTheViewInside) {
  EXPECT_EQ(CentredStart(990, 100, 1000), 900);
  EXPECT_EQ(CentredStart(10, 100, 1000), 0);
  EXPECT_EQ(CentredStart(500, 100, 1000), 450);
  EXPECT_EQ(CentredStart(5, 100, 50), 0);
  // 100 px to the left at 2 px per sample: 50 samples later.
  EXPECT_EQ(PannedStart(200, 300, 200, 2.0, 100, 1000), 250);
  EXPECT_EQ(PannedStart(200, 100, 800, 2.0, 100, 1000), 0);
  EXPECT_EQ(PannedStart(200, 800, 100, 0.1, 100, 1000), 900);
  EXPECT_EQ(PannedStart(200, 300, 200, 0.0, 100, 1000), 200);
}

TEST(TimeNavigation, ScrollRangeEndsOneSampleBeforeTheRecord) {
  TScrollSetting s = TimeScrollSetting(1000, 100, 300);
  EXPECT_TRUE(s.Enabled);
  EXPECT_EQ(s.Min, 0);
  EXPECT_EQ(s.Max, 899);
  EXPECT_EQ(s.Position, 300);
  EXPECT_FALSE(TimeScrollSetting(1000, 1000, 0).Enabled);
  EXPECT_FALSE(TimeScrollSetting(100, 1000, 0).Enabled);
}

TEST(ZoomHistory, KeepsTheTenMostRecentViews) {
  TZoomHistory<int> history;
  EXPECT_FALSE(history.Pop());
  for (int i = 1; i <= 11; ++i) history.Push(i);
  EXPECT_EQ(history.Count(), 10u);
  EXPECT_EQ(history[0], 2);
  for (int expected = 11; expected >= 2; --expected) {
    const auto v = history.Pop();
    ASSERT_TRUE(v);
    EXPECT_EQ(*v, expected);
  }
  EXPECT_FALSE(history.Pop());
}

TEST(SpectrumNavigation, ZoomXInDownToTwentyBins) {
  TPlotView v = ZoomXIn({100, 39, 0, 500}, 1000, MinSpectrumViewWidth);
  EXPECT_EQ(v.ViewStart, 100);
  EXPECT_EQ(v.ViewWidth, 20);
  v = ZoomXIn({100, 80, 0, 500}, 1000, MinSpectrumViewWidth);
  EXPECT_EQ(v.ViewStart, 120);
  EXPECT_EQ(v.ViewWidth, 40);
}

TEST(SpectrumNavigation, ZoomXOutStaysInside) {
  TPlotView v = ZoomXOut({950, 50, 0, 500}, 1000);
  EXPECT_EQ(v.ViewStart, 900);
  EXPECT_EQ(v.ViewWidth, 100);
  v = ZoomXOut({100, 600, 0, 500}, 1000);
  EXPECT_EQ(v.ViewStart, 0);
  EXPECT_EQ(v.ViewWidth, 1000);
}

TEST(SpectrumNavigation, ZoomYIsRefusedBeyondItsLimits) {
  EXPECT_FALSE(SpectrumZoomYIn({0, 10, 0, 2}, 32768.0));
  auto v = SpectrumZoomYIn({0, 10, 0, 16}, 32768.0);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->SpanY, 8);
  EXPECT_FALSE(SpectrumZoomYOut({0, 10, 0, 40000}, 32768.0));
  v = SpectrumZoomYOut({0, 10, 0, 32768}, 32768.0);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->SpanY, 65536);
}

TEST(SpectrumNavigation, ZoomToCursorsAndToT) {
  auto v = ZoomToCursors({0, 1000, 0, 1}, 300, 200, 1000, MinSpectrumViewWidth);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->ViewWidth, 105);
  EXPECT_EQ(v->ViewStart, 198);
  EXPECT_FALSE(ZoomToCursors({0, 1000, 0, 1}, 5, 5, 1000, MinSpectrumViewWidth));
  // Against the end the view ends one bin before the spectrum's end.
  v = ZoomToCursors({0, 1000, 0, 1}, 990, 999, 1000, MinSpectrumViewWidth);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->ViewStart + v->ViewWidth, 999);
  // Cursors too far apart: the whole spectrum, never a start below 0.
  v = ZoomToCursors({0, 1000, 0, 1}, 0, 990, 1000, MinSpectrumViewWidth);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->ViewStart, 0);
  EXPECT_EQ(v->ViewWidth, 1000);
  TPlotView t = SpectrumZoomToT({0, 1000, 0, 1}, 0, 1000);
  EXPECT_EQ(t.ViewStart, 0);
  EXPECT_EQ(t.ViewWidth, 100);
  t = SpectrumZoomToT({0, 100, 0, 1}, 95, 1000);
  EXPECT_EQ(t.ViewWidth, 20);
  EXPECT_EQ(t.ViewStart, 85);
}

TEST(SpectrumNavigation, ScrollBars) {
  TScrollSetting x = SpectrumScrollX(1000, 100, 40);
  EXPECT_TRUE(x.Enabled);
  EXPECT_EQ(x.Max, 900);
  EXPECT_FALSE(SpectrumScrollX(0, 0, 0).Enabled);
  EXPECT_FALSE(SpectrumScrollX(1000, 1000, 0).Enabled);
  TScrollSetting y = SpectrumScrollY(true, 2500.7, -3);
  EXPECT_EQ(y.Min, -2500);
  EXPECT_EQ(y.Max, 0);
  EXPECT_EQ(y.Position, -3);
  y = SpectrumScrollY(false, 2500.7, 30);
  EXPECT_EQ(y.Min, 0);
  EXPECT_EQ(y.Max, 100);
}

}  // namespace
