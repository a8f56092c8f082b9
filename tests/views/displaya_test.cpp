// The time plot drawn into bitmaps and probed at fixed pixels. The plot is
// 800 x 400 with the oscilloscope's margins: the plot rectangle is
// (38, 18)-(762, 382), its centre line y = 200.
#include "displaya.h"
#include "sanitizerslowdown.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "bitmap.h"
#include "rendertest.h"

namespace {

using viewstest::ColumnHas;
using viewstest::CountColour;

constexpr gui::TColor Back = 0xFFFFFF, Grid = 0xD0D0D0, ChA = 0x0080FF, ChB = 0xFF0080, CurX = 0x0000FF,
                      CurY = 0xFF0000, Band = 0xF3F3F3, ValueBand = 0xE1FFFF, Text = 0x606060;
constexpr int W = 800, H = 400;
const gui::TRect PlotRect = gui::Rect(38, 18, 762, 382);

class TimePlot : public testing::Test {
 protected:
  void SetUp() override {
    A.assign(1000, 10000.0f);
    B.assign(1000, -10000.0f);
    Plot.DataA = A.data();
    Plot.DataB = B.data();
    Plot.MarginTop = Plot.MarginBottom = 18;
    Plot.MarginLeft = Plot.MarginRight = 38;
    Plot.TotalSamples = 1000;
    Plot.ViewStart = 0;
    Plot.ViewWidth = 1000;
    Plot.FullScale = 32768;
    Plot.SpanY = 65536;
    Plot.RangeA = Plot.RangeB = 1000;
    Plot.UnitA = Plot.UnitB = u"[mV]";
    Plot.ShowA = Plot.ShowB = 1;
    Plot.SampleRate = 10000;
    Plot.BackColor = Back;
    Plot.GridColor = Grid;
    Plot.ColorA = ChA;
    Plot.ColorB = ChB;
    Plot.CursorXColor = CurX;
    Plot.CursorYColor = CurY;
    Plot.BandColor = Band;
    Plot.ValueBandColor = ValueBand;
    Plot.ValueTextColor = Plot.TimeTextColor = Text;
  }

  gui::TBitmap Draw() {
    gui::TBitmap bitmap(W, H);
    EXPECT_TRUE(Plot.PaintTo(bitmap.Canvas(), W, H));
    return bitmap;
  }

  std::vector<float> A, B;
  TDisplayA Plot{nullptr};
};

TEST_F(TimePlot, TracesBandsAndZeroLine) {
  const gui::TBitmap b = Draw();
  b.SaveToFile(viewstest::PicturePath("timeplot.png"));
  // 10000 counts at 364 / 65536 px per count: 55.5 px above the centre.
  EXPECT_EQ(b.Pixel(400, 144), ChA);
  EXPECT_EQ(b.Pixel(400, 256), ChB);
  EXPECT_EQ(b.Pixel(401, 200), Grid);
  EXPECT_EQ(b.Pixel(100, 5), Band);
  EXPECT_EQ(b.Pixel(1, 100), ValueBand);
  EXPECT_EQ(b.Pixel(798, 100), ValueBand);
  // Value labels in both bands, time labels in the bottom band.
  EXPECT_GT(CountColour(b, gui::Rect(0, 30, 38, 370), Text), 20);
  EXPECT_GT(CountColour(b, gui::Rect(762, 30, 800, 370), Text), 20);
  EXPECT_GT(CountColour(b, gui::Rect(38, 382, 762, 400), Text), 20);
  // Channel letters in the top corners, the front icon bottom left.
  EXPECT_GT(CountColour(b, gui::Rect(0, 0, 38, 18), ChA), 0);
  EXPECT_GT(CountColour(b, gui::Rect(762, 0, 800, 18), ChB), 0);
  EXPECT_GT(CountColour(b, gui::Rect(0, 382, 38, 400), ChA), 0);
  EXPECT_GT(CountColour(b, gui::Rect(0, 382, 38, 400), ChB), 0);
  EXPECT_EQ(CountColour(b, gui::Rect(762, 382, 800, 400), ChA), 0);
}

TEST_F(TimePlot, FrontChannelIsDrawnLast) {
  B.assign(1000, 10000.0f);
  Plot.DataB = B.data();
  EXPECT_EQ(Draw().Pixel(400, 144), ChA);
  Plot.AFront = 0;
  EXPECT_EQ(Draw().Pixel(400, 144), ChB);
}

TEST_F(TimePlot, DottedTraceWhileDataIsOld) {
  const int solid = CountColour(Draw(), gui::Rect(38, 144, 762, 145), ChA);
  Plot.SolidA = 0;
  const int dotted = CountColour(Draw(), gui::Rect(38, 144, 762, 145), ChA);
  EXPECT_GT(solid, 700);
  EXPECT_GT(dotted, 250);
  EXPECT_LT(dotted, 480);
}

TEST_F(TimePlot, OneChannelShowsItsLetterInBothCorners) {
  Plot.ShowB = 0;
  const gui::TBitmap b = Draw();
  EXPECT_EQ(CountColour(b, PlotRect, ChB), 0);
  EXPECT_GT(CountColour(b, gui::Rect(762, 0, 800, 18), ChA), 0);
  EXPECT_EQ(CountColour(b, gui::Rect(0, 382, 38, 400), ChB), 0);
}

TEST_F(TimePlot, CursorLinesAndMarks) {
  Plot.ShowCursorX = 1;
  Plot.CursorXIndex = 500;  // x = 38 + 362
  Plot.CursorXValue = 0;
  Plot.ShowCursorY = 1;
  Plot.CursorYIndex = 0;  // a line at the left edge, no mark
  Plot.CursorYValue = 5000;
  const gui::TBitmap b = Draw();
  EXPECT_EQ(b.Pixel(400, 300), CurX);
  EXPECT_EQ(b.Pixel(400, 30), CurX);
  EXPECT_GT(CountColour(b, gui::Rect(390, 0, 410, 18), CurX), 3);
  EXPECT_EQ(b.Pixel(38, 300), CurY);
  EXPECT_EQ(CountColour(b, gui::Rect(38, 0, 762, 18), CurY), 0);
  // Cursor markers in the value bands.
  EXPECT_GT(CountColour(b, gui::Rect(0, 190, 38, 210), CurX), 0);
  EXPECT_GT(CountColour(b, gui::Rect(0, 160, 38, 180), CurY), 0);
}

TEST_F(TimePlot, ValueGridOnlyWhenBothChannelsShareTheScale) {
  const gui::TRect withoutZeroLine = gui::Rect(38, 18, 762, 199);
  const int shared = CountColour(Draw(), withoutZeroLine, Grid);
  Plot.RangeB = 2000;
  const int different = CountColour(Draw(), withoutZeroLine, Grid);
  EXPECT_GT(shared, different + 300);
  Plot.ShowB = 0;
  EXPECT_EQ(CountColour(Draw(), withoutZeroLine, Grid), shared);
}

TEST_F(TimePlot, DecimatedTraceKeepsASpike) {
  A.assign(65536, 0.0f);
  A[40000] = 20000;
  Plot.DataA = A.data();
  Plot.DataB = nullptr;
  Plot.TotalSamples = Plot.ViewWidth = 65536;
  const gui::TBitmap b = Draw();
  EXPECT_LT(Plot.PxPerSample, 0.2);
  bool spike = false;
  for (int x = 474; x <= 484; ++x) spike = spike || ColumnHas(b, x, 95, 105, ChA);
  EXPECT_TRUE(spike);
  EXPECT_EQ(b.Pixel(300, 200), ChA);
}

// Counts far beyond the axis (a damaged file) draw at once and cross the
// plot.
TEST_F(TimePlot, ExtremeCountsAreCutAtThePlot) {
  for (size_t i = 0; i < A.size(); ++i) A[i] = i % 2 ? 2e9f : -2e9f;
  const auto start = std::chrono::steady_clock::now();
  const gui::TBitmap b = Draw();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5) * testsupport::kSanitizerSlowdown);
  EXPECT_TRUE(ColumnHas(b, 400, 20, 380, ChA));
}

TEST_F(TimePlot, NothingWhileSuppressedOrWithoutAView) {
  gui::TBitmap b(W, H);
  Plot.Suppress = 1;
  EXPECT_FALSE(Plot.PaintTo(b.Canvas(), W, H));
  Plot.Suppress = 0;
  Plot.ViewWidth = 0;
  EXPECT_FALSE(Plot.PaintTo(b.Canvas(), W, H));
  EXPECT_EQ(CountColour(b, gui::Rect(0, 0, W, H), gui::clWhite), W * H);
}

TEST_F(TimePlot, HitTest) {
  Draw();
  int x = 400, y = 100;
  EXPECT_EQ(Plot.HitTest(x, y), 0);
  EXPECT_EQ(x, 362);
  EXPECT_EQ(y, 100);  // 182 - (100 - 18)
  // The bottom-left corner swaps the front channel.
  x = 10;
  y = 390;
  EXPECT_EQ(Plot.HitTest(x, y), 2);
  EXPECT_EQ(Plot.AFront, 0);
  // A press on a cursor's mark toggles its line.
  Plot.CursorXIndex = 500;
  x = 403;
  y = 5;
  EXPECT_EQ(Plot.HitTest(x, y), -1);
  EXPECT_EQ(Plot.ShowCursorX, 1);
  x = 405;
  y = 5;
  Plot.HitTest(x, y);
  EXPECT_EQ(Plot.ShowCursorX, 1);
  // Beyond the record's last sample.
  Plot.TotalSamples = 500;
  x = 700;
  y = 100;
  EXPECT_EQ(Plot.HitTest(x, y), -1);
  x = 20;
  y = 100;
  EXPECT_EQ(Plot.HitTest(x, y), -1);
}

// One channel on paper: white backgrounds, the channel's trace alone, a
// black frame round the plot.
TEST_F(TimePlot, PrintShowsOneChannel) {
  for (int channel : {1, 2}) {
    gui::TBitmap b(W, H);
    Plot.Print(channel, b.Canvas(), b.Canvas(), gui::Rect(0, 0, W, H));
    EXPECT_EQ(CountColour(b, gui::Rect(0, 0, W, H), channel == 1 ? ChB : ChA), 0);
    EXPECT_GT(CountColour(b, gui::Rect(0, 0, W, H), channel == 1 ? ChA : ChB), 500);
    EXPECT_EQ(b.Pixel(48, 100), gui::clBlack);  // half an inch at 96 ppi
    EXPECT_EQ(b.Pixel(20, 5), gui::clWhite);
    if (channel == 1) b.SaveToFile(viewstest::PicturePath("timeplot-print.png"));
  }
}

}  // namespace
