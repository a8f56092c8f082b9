#include "displayfft.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "decimation.h"
#include "plotgeometry.h"
#include "plotpainter.h"
#include "plotscale.h"
#include "spectrumreadout.h"

using plotpainter::Fill;
using plotpainter::Line;
using plotpainter::SelectFont;
using plotpainter::SelectPen;

namespace {

// The first index i >= 0 of a line series base + i x step that can reach
// `bound`; series far outside the plot start there instead of at 0.
int64_t FirstIndex(double distance, double step) {
  return std::max<int64_t>(0, static_cast<int64_t>(std::clamp(std::floor(distance / step), -1e15, 1e15)));
}

// y of a bin's value: on the linear axis (bottom - 1) - (OffsetY + v) x
// PxPerUnit; on the decibel axis the plot's bottom for v <= 0, else top -
// (OffsetY + 20 log10(v / RefSpan)) x PxPerUnit.
struct TTraceAxis {
  bool Decibel = false;
  gui::TRect Plot;
  double OffsetY = 0, PxPerUnit = 0, RefSpan = 0;

  int Y(double v) const {
    if (!Decibel) return RoundHalfUp((Plot.Bottom - 1) - (OffsetY + v) * PxPerUnit);
    if (!(v > 0) || !(RefSpan > 0)) return Plot.Bottom;
    return RoundHalfUp(Plot.Top - (OffsetY + 20 * std::log10(v / RefSpan)) * PxPerUnit);
  }
  // Whether y moves one way with the value over [lowest, highest] (down as
  // it grows, or up on an upside-down scale), so that the column's extreme
  // values give its extreme y: not across NaN or infinities, 0 and below in
  // decibels, or a scale of 0 or not a number.
  bool Ordered(double lowest, double highest) const {
    if (!(PxPerUnit != 0) || !std::isfinite(PxPerUnit) || !std::isfinite(lowest) || !std::isfinite(highest))
      return false;
    return !Decibel || lowest > 0;
  }
};

struct TColumnSpan {
  int Low = 0, High = 0;
};

// The lowest and highest of values[0 .. count - 1] (NaN left out), and
// whether all were finite. Four lanes, so that the comparisons of a long
// column do not wait for each other.
struct TValueRange {
  double Lowest = 0, Highest = 0;
  bool Finite = true;
};

TValueRange ValueRange(const double* values, int64_t count) {
  double low[4], high[4], zero[4];
  for (int lane = 0; lane < 4; ++lane) {
    low[lane] = high[lane] = values[0];
    zero[lane] = 0;
  }
  int64_t i = 0;
  for (; i + 4 <= count; i += 4)
    for (int lane = 0; lane < 4; ++lane) {
      const double v = values[i + lane];
      low[lane] = v < low[lane] ? v : low[lane];
      high[lane] = v > high[lane] ? v : high[lane];
      zero[lane] += v * 0;  // NaN for NaN and infinities
    }
  for (; i < count; ++i) {
    low[0] = values[i] < low[0] ? values[i] : low[0];
    high[0] = values[i] > high[0] ? values[i] : high[0];
    zero[0] += values[i] * 0;
  }
  TValueRange range{low[0], high[0], true};
  for (int lane = 0; lane < 4; ++lane) {
    range.Lowest = std::min(range.Lowest, low[lane]);
    range.Highest = std::max(range.Highest, high[lane]);
    range.Finite = range.Finite && zero[lane] == 0;
  }
  return range;
}

// The lowest and highest y of values[0 .. count - 1]: from the extreme
// values where the scale keeps their order, else value by value.
TColumnSpan ColumnSpan(const double* values, int64_t count, const TTraceAxis& axis) {
  const TValueRange range = ValueRange(values, count);
  if (range.Finite && axis.Ordered(range.Lowest, range.Highest)) {
    const int a = axis.Y(range.Lowest), b = axis.Y(range.Highest);
    return {std::min(a, b), std::max(a, b)};
  }
  TColumnSpan span{std::numeric_limits<int>::max(), std::numeric_limits<int>::min()};
  for (int64_t i = 0; i < count; ++i) {
    const int y = axis.Y(values[i]);
    span = {std::min(span.Low, y), std::max(span.High, y)};
  }
  return span;
}

// The trace's points, bins viewStart + i of `data` for i = first ... end - 1
// at x = left + RoundHalfUp(i x pxPerBin), as CollapseColumns reduces them:
// each pixel column's first, lowest, highest and last point. The column's
// lowest and highest y are found without a y (a logarithm on the decibel
// axis) for every bin.
std::vector<gui::TPoint> MergedTracePoints(const double* data, int64_t viewStart, int64_t first, int64_t end,
                                           double pxPerBin, const TTraceAxis& axis) {
  std::vector<gui::TPoint> points;
  for (const TColumnRun& run : ColumnRuns(first, end, pxPerBin)) {
    const int x = axis.Plot.Left + run.X;
    const double* values = data + (viewStart + run.First);
    const int64_t count = run.End - run.First;
    points.push_back({x, axis.Y(values[0])});
    if (count > 2) {
      const TColumnSpan span = ColumnSpan(values, count, axis);
      points.push_back({x, span.Low});
      points.push_back({x, span.High});
    }
    if (count > 1) points.push_back({x, axis.Y(values[count - 1])});
  }
  return CollapseColumns(points);
}

}  // namespace

// The spectrum's top and bottom bands are 12 pixels and its span 5 until
// the window sets its own.
TDisplayFFT::TDisplayFFT(gui::TPaintBox* paintBox) : TPlotRendererOf(paintBox) {
  MarginTop = MarginBottom = 12;
  SpanY = 5;
}

TPlotRenderer::TDrawSteps TDisplayFFT::Steps() {
  return MakeSteps(this, &TDisplayFFT::Measure, &TDisplayFFT::DrawPlotArea, &TDisplayFFT::DrawCursorMarks,
                   &TDisplayFFT::DrawFrequencyLabels, &TDisplayFFT::DrawValueBand, true);
}

bool TDisplayFFT::Measure(int plotWidth, int plotHeight) {
  WholeSpectrum = TotalBins >= ViewWidth ? 1 : 0;
  PxPerBin = ViewWidth > 1 ? static_cast<double>(plotWidth) / (ViewWidth - 1) : 0;
  if (SpanY == 0)
    PxPerUnit = 0;
  else if (!LogScale)
    PxPerUnit = static_cast<double>(plotHeight) / SpanY;
  else
    PxPerUnit = RefSpan > 0 ? plotHeight / ((SpanY / RefSpan) * 100) : 0;
  return true;
}

int32_t TDisplayFFT::DrawnBin(int32_t cursor) const { return std::clamp(cursor, 0, std::max(TotalBins - 1, 0)); }

int32_t TDisplayFFT::HitTest(int& x, int& y) {
  return HitFrame(x, y, {{DrawnBin(CursorX), ShowCursorX}, {DrawnBin(CursorY), ShowCursorY}, {CursorT, ShowCursorT}},
                  PxPerBin, TotalBins, Steps());
}

void TDisplayFFT::DrawPlotArea(gui::TCanvas& c, bool print, const gui::TRect& r, int channels) {
  Fill(c, r, print ? gui::clWhite : BackColor);
  if (ShowGrid) DrawGrid(c, print, r);
  const auto cursor = [&](int32_t bin, gui::TColor colour) {
    const int x = IndexX(r.Left, bin, ViewStart, PxPerBin);
    SelectPen(c, colour, print ? 3 : 0);
    Line(c, x, r.Top, x, r.Bottom);
  };
  if (CursorT != 0 && ShowCursorT) cursor(CursorT, CursorTColor);
  DrawTracesInOrder(channels, [&](bool channelA) { DrawTrace(c, print, r, channelA); });
  if (ShowCursorY) cursor(DrawnBin(CursorY), CursorYColor);
  if (ShowCursorX) cursor(DrawnBin(CursorX), CursorXColor);
}

void TDisplayFFT::DrawTrace(gui::TCanvas& c, bool print, const gui::TRect& r, bool channelA) {
  const double* data = channelA ? DataA : DataB;
  if (TotalBins == 0 || !data || !(channelA ? ShowA : ShowB) || !WholeSpectrum) return;
  // One style for both traces: the spectra are replaced together.
  SelectPen(c, channelA ? ColorA : ColorB, print ? 5 : 0, SolidA ? gui::psSolid : gui::psDot);
  const TTraceAxis axis{LogScale != 0, r, static_cast<double>(OffsetY), PxPerUnit, RefSpan};
  // Bin 0 is never drawn; the view may reach past the last bin.
  const int64_t first = std::max<int64_t>(0, 1 - static_cast<int64_t>(ViewStart));
  const int64_t end = std::min<int64_t>(ViewWidth, static_cast<int64_t>(TotalBins) - ViewStart);
  const std::vector<gui::TPoint> points = MergedTracePoints(data, ViewStart, first, end, PxPerBin, axis);
  ForEachClippedRun(points, r.Inflate(2, 2), [&](const std::vector<gui::TPoint>& run) { c.Polyline(run); });
}

// Frequency steps and their positions: x_i = left + i x step - ViewStart x
// PxPerBin for i >= 0 with left < x_i <= right.
template <typename F>
static void ForEachFrequency(const TDisplayFFT& p, const gui::TRect& r, double scaleX, F f) {
  if (!(p.PxPerBin > 0) || !p.WholeSpectrum || p.ViewWidth <= 1) return;
  const int32_t length = p.TransformLength > 0 ? p.TransformLength : 2 * p.TotalBins;
  const double hzPerBin = BinFrequency(1, p.SampleRate, length);
  if (!(hzPerBin > 0)) return;
  const double pxPerHz = static_cast<double>(r.Width()) / (p.ViewWidth - 1) / hzPerBin;
  const auto steps = FrequencySteps(pxPerHz, scaleX);
  if (!steps) return;
  const double origin = r.Left - p.ViewStart * p.PxPerBin;
  const TTickRange ticks = TickRange(origin, steps->Step, r.Left, r.Right, std::numeric_limits<double>::max());
  for (int64_t i = std::max<int64_t>(ticks.First, 0); i <= ticks.Last; ++i) {
    const double x = origin + static_cast<double>(i) * steps->Step;
    if (x > r.Left) f(x, static_cast<double>(i) * steps->Increment, steps->Unit);
  }
}

void TDisplayFFT::DrawGrid(gui::TCanvas& c, bool print, const gui::TRect& r) {
  const gui::TColor colour = print ? gui::clBlack : GridColor;
  SelectPen(c, colour, 0, gui::psDot);
  ForEachFrequency(*this, r, ScaleX, [&](double x, double, const char16_t*) {
    Line(c, RoundHalfUp(x), r.Top, RoundHalfUp(x), r.Bottom);
  });
  const bool sameScale = print || !ShowA || !ShowB || RangeA == RangeB || LogScale;
  if (!sameScale || !(PxPerUnit > 0) || (!LogScale && RangeA == 0)) return;
  const double d = LogScale ? r.Height() / ((SpanY / RefSpan) * 100) : (r.Height() / RangeA) * RefSpan / SpanY;
  const auto steps = ValueSteps(d, 20 * ScaleY, 100 * ScaleY);
  if (!steps) return;
  const double s = steps->Step;
  const double shift = OffsetY * PxPerUnit;
  const auto line = [&](double y) { Line(c, r.Left, RoundHalfUp(y), r.Right, RoundHalfUp(y)); };
  if (LogScale) {
    for (int64_t i = FirstIndex(shift, s);; ++i) {
      const double y = r.Top - shift + static_cast<double>(i) * s;
      if (y > r.Bottom) break;
      if (y >= r.Top) line(y);
    }
  } else {
    for (int64_t i = FirstIndex(-shift, s);; ++i) {
      const double y = r.Bottom - (static_cast<double>(i) * s + shift);
      if (y < r.Top) break;
      if (y <= r.Bottom) line(y);
    }
  }
}

// The marks stand one pixel higher than the oscilloscope's.
void TDisplayFFT::DrawCursorMarks(gui::TCanvas& c, bool print, const gui::TRect& band) {
  DrawCursorMarksOf(c, print, band, PxPerBin, 1,
                    {{DrawnBin(CursorY), CursorYColor, u"Y"},
                     {DrawnBin(CursorX), CursorXColor, u"X"},
                     {CursorT, CursorTColor, u"T"}});
}

void TDisplayFFT::DrawFrequencyLabels(gui::TCanvas& c, bool print, const gui::TRect& band) {
  Fill(c, band, print ? gui::clWhite : BandColor);
  SelectFont(c, print, DpiY(print), false, print ? gui::clBlack : LabelColor);
  c.SetTextAlign(gui::TA_CENTER | gui::TA_BOTTOM);
  ForEachFrequency(*this, band, ScaleX, [&](double x, double value, const char16_t* unit) {
    const std::u16string text = FrequencyLabelText(value, unit);
    c.TextOut(CentredLabelX(RoundHalfUp(x), c.TextWidth(text), band.Left, band.Right), band.Bottom, text);
  });
}

void TDisplayFFT::DrawValueBand(gui::TCanvas& c, bool print, const gui::TRect& band, int side) {
  if (LogScale)
    DrawLogLabels(c, print, band, side);
  else
    DrawAmplitudeLabels(c, print, band, side);
}

namespace {

// The text box of a label at y: the band less 7 x scaleX on the plot side,
// one text line high.
gui::TRect LabelBox(const gui::TRect& band, double y, int h, bool fromRight, double scaleX) {
  const int inset = static_cast<int>(7 * scaleX);
  const int t = static_cast<int>(y) - h / 2, b = t + h;
  return fromRight ? gui::Rect(band.Left, t, band.Right - inset, b) : gui::Rect(band.Left + inset, t, band.Right, b);
}

unsigned LabelAlign(bool fromRight) {
  return (fromRight ? gui::DT_RIGHT : gui::DT_LEFT) | gui::DT_VCENTER | gui::DT_SINGLELINE;
}

}  // namespace

void TDisplayFFT::DrawAmplitudeLabels(gui::TCanvas& c, bool print, const gui::TRect& band, int side) {
  const TValueBand vb = BeginValueBand(c, print, band, side);
  const double range = vb.ChannelA ? RangeA : RangeB;
  if (range == 0) return;
  const int h = SelectValueFont(c, print);
  const auto steps =
      SpanY != 0 ? ValueSteps((band.Height() / range) * RefSpan / SpanY, 20 * ScaleY, 100 * ScaleY) : std::nullopt;
  if (steps) {
    const double shift = OffsetY * PxPerUnit;
    const int unitBottom = UnitBoxBottom(band.Top, h, steps->Thousands);
    for (int64_t i = FirstIndex(-shift, steps->Step);; ++i) {
      const double y = band.Bottom - (static_cast<double>(i) * steps->Step + shift);
      if (!(y > band.Top)) break;
      if (y >= band.Bottom) continue;
      gui::TRect box = LabelBox(band, y, h, vb.FromRight, ScaleX);
      if (!LabelClearsUnit(box, unitBottom)) continue;
      c.DrawText(AmplitudeLabelText(static_cast<double>(i) * steps->Increment), box, LabelAlign(vb.FromRight));
    }
  }
  DrawBandUnit(c, band, vb, steps && steps->Thousands, h);
}

void TDisplayFFT::DrawLogLabels(gui::TCanvas& c, bool print, const gui::TRect& band, int side) {
  const TValueBand vb = BeginValueBand(c, print, band, side);
  const int h = SelectValueFont(c, print);
  const double d = SpanY != 0 && RefSpan > 0 ? band.Height() / ((SpanY / RefSpan) * 100) : 0;
  if (const auto steps = DecibelSteps(d, ScaleY)) {
    const double shift = OffsetY * PxPerUnit;
    for (int64_t i = FirstIndex(shift, steps->Step);; ++i) {
      const double y = band.Top - shift + static_cast<double>(i) * steps->Step;
      if (!(y < band.Bottom)) break;
      if (y <= band.Top) continue;
      gui::TRect box = LabelBox(band, y, h, vb.FromRight, ScaleX);
      if (!LabelClearsUnit(box, UnitBoxBottom(band.Top, h, false))) continue;
      c.DrawText(DecibelLabelText(static_cast<double>(i) * steps->Increment), box, LabelAlign(vb.FromRight));
    }
  }
  DrawBandUnit(c, band, vb, false, h);
}
