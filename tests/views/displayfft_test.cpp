// The spectrum plot drawn into bitmaps and probed at fixed pixels. 800 x 400
// with the spectrum window's margins: the plot rectangle is
// (38, 18)-(762, 382); 1000 bins of 1 Hz, 724 / 999 px per bin.
#include "displayfft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "bitmap.h"
#include "plotgeometry.h"
#include "plotpainter.h"
#include "plotscale.h"
#include "rendertest.h"

namespace {

using viewstest::ColumnHas;
using viewstest::CountColour;

constexpr gui::TColor Back = 0xFFFFFF, Grid = 0xD0D0D0, ChA = 0x0080FF, ChB = 0xFF0080, CurX = 0x0000FF,
                      CurY = 0xFF0000, CurT = 0xFF00FF, Band = 0xF3F3F3, ValueBand = 0xE1FFFF, Text = 0x606060;
constexpr int W = 800, H = 400;
const gui::TRect PlotRect = gui::Rect(38, 18, 762, 382);

class SpectrumPlot : public testing::Test {
 protected:
  void SetUp() override {
    A.assign(1001, 0.0);
    B.assign(1001, 0.0);
    A[500] = 500;
    Plot.DataA = A.data();
    Plot.DataB = B.data();
    Plot.MarginTop = Plot.MarginBottom = 18;
    Plot.MarginLeft = Plot.MarginRight = 38;
    Plot.TotalBins = 1000;
    Plot.SampleRate = 2000;
    Plot.ViewStart = 0;
    Plot.ViewWidth = 1000;
    Plot.RefSpan = 1000;
    Plot.SpanY = 1000;
    Plot.RangeA = Plot.RangeB = 1000;
    Plot.UnitA = Plot.UnitB = u"[mV]";
    Plot.ShowA = Plot.ShowB = 1;
    Plot.BackColor = Back;
    Plot.GridColor = Grid;
    Plot.ColorA = ChA;
    Plot.ColorB = ChB;
    Plot.CursorXColor = CurX;
    Plot.CursorYColor = CurY;
    Plot.CursorTColor = CurT;
    Plot.BandColor = Band;
    Plot.ValueBandColor = ValueBand;
    Plot.ValueTextColor = Plot.LabelColor = Text;
  }

  gui::TBitmap Draw() {
    gui::TBitmap bitmap(W, H);
    EXPECT_TRUE(Plot.PaintTo(bitmap.Canvas(), W, H));
    return bitmap;
  }

  std::vector<double> A, B;
  TDisplayFFT Plot{nullptr};
};

TEST_F(SpectrumPlot, LinearPeakAndBands) {
  const gui::TBitmap b = Draw();
  b.SaveToFile(viewstest::PicturePath("spectrumplot.png"));
  // Bin 500 at x = 38 + 362, 500 units at 0.364 px per unit above the bottom.
  EXPECT_EQ(b.Pixel(400, 199), ChA);
  EXPECT_FALSE(ColumnHas(b, 400, 18, 195, ChA));
  EXPECT_EQ(b.Pixel(100, 5), Band);
  EXPECT_EQ(b.Pixel(1, 100), ValueBand);
  EXPECT_GT(CountColour(b, gui::Rect(0, 30, 38, 380), Text), 20);
  EXPECT_GT(CountColour(b, gui::Rect(40, 382, 762, 400), Text), 20);
  // Frequency lines stand in the plot (the grid is dotted).
  EXPECT_GT(CountColour(b, gui::Rect(38, 100, 762, 106), Grid), 20);
}

// The frequency axis takes a bin's frequency from the transform length:
// 1000 bins of a 1000-sample transform at 2 kHz are 2 Hz apart, as 1000
// bins of the default 2000 samples at 4 kHz, and unlike those at 2 kHz.
TEST_F(SpectrumPlot, FrequencyAxisFollowsTheTransformLength) {
  const auto axis = [this](double rate, int32_t length) {
    Plot.SampleRate = rate;
    Plot.TransformLength = length;
    const gui::TBitmap b = Draw();
    std::vector<gui::TColor> pixels;
    for (int y = 18; y < H; ++y)
      for (int x = 38; x < 762; ++x) pixels.push_back(b.Pixel(x, y));
    return pixels;
  };
  const std::vector<gui::TColor> twoHertz = axis(2000, 1000);
  EXPECT_EQ(twoHertz, axis(4000, 0));
  EXPECT_NE(twoHertz, axis(2000, 0));
  EXPECT_EQ(axis(2000, 2000), axis(2000, 0));
}

TEST_F(SpectrumPlot, BinZeroIsNeverDrawn) {
  A[0] = 1000;
  const gui::TBitmap b = Draw();
  EXPECT_FALSE(ColumnHas(b, 38, 18, 370, ChA));
}

TEST_F(SpectrumPlot, DecibelAxis) {
  Plot.LogScale = 1;
  A.assign(1001, 0.0);
  A[500] = 1000;  // 0 dB at the top
  A[250] = 100;   // -20 dB: 20 x 3.64 px down
  A[750] = 1;     // between, non-zero
  Plot.DataA = A.data();
  const gui::TBitmap b = Draw();
  b.SaveToFile(viewstest::PicturePath("spectrumplot-db.png"));
  EXPECT_TRUE(ColumnHas(b, 400, 18, 22, ChA));
  EXPECT_TRUE(ColumnHas(b, 219, 89, 93, ChA));
  EXPECT_FALSE(ColumnHas(b, 219, 18, 88, ChA));
  // Zero amplitudes drop to the plot's bottom: bin 750 (x 582, -60 dB) has
  // steep flanks, the bins around it lie on the bottom edge.
  EXPECT_TRUE(ColumnHas(b, 582, 240, 382, ChA));
  EXPECT_FALSE(ColumnHas(b, 600, 18, 381, ChA));
}

TEST_F(SpectrumPlot, NoTraceWhileTheViewIsWiderThanTheSpectrum) {
  Plot.ViewWidth = 1001;
  const gui::TBitmap b = Draw();
  EXPECT_EQ(Plot.WholeSpectrum, 0);
  EXPECT_EQ(CountColour(b, PlotRect, ChA), 0);
  // The amplitude axis still draws.
  EXPECT_GT(CountColour(b, gui::Rect(0, 30, 38, 380), Text), 20);
}

TEST_F(SpectrumPlot, CursorsAndMarks) {
  Plot.CursorT = 250;  // x = 38 + 181
  Plot.ShowCursorT = 1;
  Plot.CursorX = 0;
  Plot.ShowCursorX = 1;
  Plot.CursorY = 600;
  const gui::TBitmap b = Draw();
  EXPECT_EQ(b.Pixel(219, 300), CurT);
  EXPECT_GT(CountColour(b, gui::Rect(210, 0, 230, 18), CurT), 3);
  EXPECT_EQ(b.Pixel(38, 300), CurX);
  EXPECT_EQ(CountColour(b, gui::Rect(38, 0, 762, 18), CurX), 0);
  // Cursor Y: a mark, but no line while hidden.
  EXPECT_GT(CountColour(b, gui::Rect(465, 0, 485, 18), CurY), 3);
  EXPECT_EQ(CountColour(b, PlotRect, CurY), 0);
}

TEST_F(SpectrumPlot, DottedWhileANewSpectrumIsComputed) {
  A.assign(1001, 500.0);
  B.assign(1001, 0.0);
  Plot.DataA = A.data();
  Plot.DataB = B.data();
  Plot.ShowB = 0;
  const int solid = CountColour(Draw(), gui::Rect(38, 199, 762, 200), ChA);
  Plot.SolidA = 0;
  const int dotted = CountColour(Draw(), gui::Rect(38, 199, 762, 200), ChA);
  EXPECT_GT(solid, 700);
  EXPECT_LT(dotted, 480);
}

TEST_F(SpectrumPlot, HitTest) {
  Draw();
  int x = 400, y = 100;
  EXPECT_EQ(Plot.HitTest(x, y), 0);
  EXPECT_EQ(x, 362);
  EXPECT_EQ(y, 100);
  Plot.CursorT = 250;
  x = 221;
  y = 4;
  Plot.HitTest(x, y);
  EXPECT_EQ(Plot.ShowCursorT, 1);
  x = 10;
  y = 395;
  EXPECT_EQ(Plot.HitTest(x, y), 2);
  EXPECT_EQ(Plot.AFront, 0);
  Plot.ViewWidth = 1;
  Draw();
  x = 400;
  y = 100;
  EXPECT_EQ(Plot.HitTest(x, y), -1);
}

TEST_F(SpectrumPlot, PrintLabelsTheChannelsOwnRange) {
  B[500] = 500;
  Plot.RangeB = 2000;
  Plot.UnitB = u"[mm/s]";
  for (int channel : {1, 2}) {
    gui::TBitmap b(W, H);
    Plot.Print(channel, b.Canvas(), b.Canvas(), gui::Rect(0, 0, W, H));
    EXPECT_EQ(CountColour(b, gui::Rect(0, 0, W, H), channel == 1 ? ChB : ChA), 0);
    EXPECT_GT(CountColour(b, gui::Rect(0, 0, W, H), channel == 1 ? ChA : ChB), 100);
    if (channel == 2) b.SaveToFile(viewstest::PicturePath("spectrumplot-print.png"));
  }
}

// The plot against its traces drawn the plain way, one point per bin: the
// renderer merges the bins of a pixel column before drawing, and the pixels
// must be those of the path over every bin.
class SpectrumTraceMerging : public testing::Test {
 protected:
  static constexpr int Height = 300;

  // A noise floor with peaks, zeros (the bottom on the decibel axis), values
  // beyond the plot, a few NaNs and infinities.
  static std::vector<double> Spectrum(int32_t bins, uint32_t seed, int zeroEvery) {
    std::vector<double> v(static_cast<size_t>(bins) + 1);
    uint32_t state = seed;
    for (size_t i = 0; i < v.size(); ++i) {
      state = state * 1664525u + 1013904223u;
      const double noise = (state >> 8) % 1000 / 1000.0;
      v[i] = 5 + 40 * noise + (i % 97 == 0 ? 600 : 0) + (i % 1001 == 0 ? 5000 : 0);
      if (i % zeroEvery == 3) v[i] = 0;
    }
    if (bins > 500) {
      v[301] = std::numeric_limits<double>::quiet_NaN();
      v[302] = std::numeric_limits<double>::infinity();
      v[433] = -std::numeric_limits<double>::infinity();
      v[434] = -20;
    }
    return v;
  }

  void SetUp() override {
    Plot.MarginTop = Plot.MarginBottom = 18;
    Plot.MarginLeft = Plot.MarginRight = 38;
    Plot.SampleRate = 20000;
    Plot.RefSpan = Plot.SpanY = 1000;
    Plot.RangeA = Plot.RangeB = 1000;
    Plot.ShowA = Plot.ShowB = 1;
    Plot.BackColor = Back;
    Plot.GridColor = Grid;
    Plot.ColorA = ChA;
    Plot.ColorB = ChB;
  }

  // The path the spectrum plot was specified with: a point per bin of the
  // view from bin 1 on, clipped as the renderer clips.
  std::vector<gui::TPoint> BinByBin(const std::vector<double>& data, const gui::TRect& r) const {
    std::vector<gui::TPoint> points;
    for (int64_t i = 0; i < Plot.ViewWidth; ++i) {
      const int64_t bin = Plot.ViewStart + i;
      if (bin <= 0) continue;
      if (bin >= Plot.TotalBins) break;
      const double v = data[static_cast<size_t>(bin)];
      int y = 0;
      if (!Plot.LogScale)
        y = RoundHalfUp((r.Bottom - 1) - (Plot.OffsetY + v) * Plot.PxPerUnit);
      else if (!(v > 0))
        y = r.Bottom;
      else
        y = RoundHalfUp(r.Top - (Plot.OffsetY + 20 * std::log10(v / Plot.RefSpan)) * Plot.PxPerUnit);
      points.push_back({r.Left + RoundHalfUp(static_cast<double>(i) * Plot.PxPerBin), y});
    }
    return points;
  }

  // Mismatching pixels inside the plot between the renderer's drawing and
  // the plot without traces overdrawn with the traces' reference paths (B
  // under A, as AFront orders them). `collapsed`: the reference path is the
  // per-bin path with the points of each column reduced by CollapseColumns.
  int Mismatches(int width, bool collapsed) {
    gui::TBitmap merged(width, Height), reference(width, Height);
    EXPECT_TRUE(Plot.PaintTo(merged.Canvas(), width, Height));
    Plot.ShowA = Plot.ShowB = 0;
    EXPECT_TRUE(Plot.PaintTo(reference.Canvas(), width, Height));
    Plot.ShowA = Plot.ShowB = 1;
    const gui::TRect r = gui::Rect(38, 18, width - 38, Height - 18);
    for (const auto& [data, colour] : {std::pair{&B, ChB}, std::pair{&A, ChA}}) {
      plotpainter::SelectPen(reference.Canvas(), colour, 0, Plot.SolidA ? gui::psSolid : gui::psDot);
      const std::vector<gui::TPoint> points = BinByBin(*data, r);
      ForEachClippedRun(collapsed ? CollapseColumns(points) : points, r.Inflate(2, 2),
                        [&](const std::vector<gui::TPoint>& run) { reference.Canvas().Polyline(run); });
    }
    EXPECT_GT(CountColour(reference, r, ChA), 100);
    EXPECT_GT(CountColour(reference, r, ChB), 100);
    int count = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) count += merged.Pixel(x, y) != reference.Pixel(x, y);
    return count;
  }

  void Show(int32_t bins, int32_t viewStart, int32_t viewWidth) {
    A = Spectrum(bins, 12345, 5003);
    // Below A's noise floor and A's zeros rare, so that A drawn over B
    // leaves B visible.
    B = Spectrum(bins, 777, 89);
    for (double& v : B) v *= 0.1;
    Plot.DataA = A.data();
    Plot.DataB = B.data();
    Plot.TotalBins = bins;
    Plot.ViewStart = viewStart;
    Plot.ViewWidth = viewWidth;
  }

  std::vector<double> A, B;
  TDisplayFFT Plot{nullptr};
};

TEST_F(SpectrumTraceMerging, PixelsOfTheBinByBinPathLinearAndDecibel) {
  struct TView {
    int32_t Bins, Start, Width;
  };
  // Fewer bins than pixels, about one per pixel, many per pixel, a zoomed
  // view inside a long spectrum.
  for (const TView view : {TView{200, 0, 200}, TView{999, 0, 999}, TView{65536, 0, 65536}, TView{100003, 0, 100003},
                           TView{100003, 7000, 5001}})
    for (const int width : {300, 800, 1333})
      for (const uint8_t log : {0, 1}) {
        Show(view.Bins, view.Start, view.Width);
        Plot.LogScale = log;
        EXPECT_EQ(Mismatches(width, false), 0)
            << view.Bins << " bins from " << view.Start << ", width " << width << (log ? " dB" : " linear");
      }
}

// A dotted pen's dashes follow the path, so merged columns may place them
// differently from the path over every bin; the drawing stays exactly the
// one of that path with its columns reduced to their extremes.
TEST_F(SpectrumTraceMerging, DottedTracesAsTheCollapsedPath) {
  Show(65536, 0, 65536);
  Plot.SolidA = Plot.SolidB = 0;
  for (const uint8_t log : {0, 1}) {
    Plot.LogScale = log;
    EXPECT_EQ(Mismatches(800, true), 0) << (log ? "dB" : "linear");
  }
}

}  // namespace
