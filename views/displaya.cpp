#include "displaya.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "decimation.h"
#include "plotgeometry.h"
#include "plotpainter.h"
#include "plotscale.h"

using plotpainter::Fill;
using plotpainter::Line;
using plotpainter::SelectFont;
using plotpainter::SelectPen;
using plotpainter::Triangle;

namespace {

// Below this many pixels per sample the screen trace is decimated.
constexpr double DecimateBelow = 0.2;

int Trunc(double v) { return static_cast<int>(v); }

double CentreY(const gui::TRect& r) { return r.Top + (r.Bottom - r.Top) * 0.5; }

int64_t FirstLevel(double distance, double step) {
  return std::max<int64_t>(1, static_cast<int64_t>(std::clamp(std::floor(distance / step), -1e15, 1e15)));
}

}  // namespace

// The levels of a value scale around a centre line: upwards while above the
// top, downwards while above the bottom, each passed on when it lies
// strictly inside. Levels far outside are skipped without a walk.
template <typename F>
void ForEachLevel(double centre, double step, double top, double bottom, F f) {
  for (int64_t i = FirstLevel(centre - bottom, step);; ++i) {
    const double y = centre - static_cast<double>(i) * step;
    if (!(y > top)) break;
    if (y < bottom) f(i, y, true);
  }
  for (int64_t i = FirstLevel(top - centre, step);; ++i) {
    const double y = centre + static_cast<double>(i) * step;
    if (!(y < bottom)) break;
    if (y > top) f(i, y, false);
  }
}

TDisplayA::TDisplayA(gui::TPaintBox* paintBox) : TPlotRendererOf(paintBox) {}

TPlotRenderer::TDrawSteps TDisplayA::Steps() {
  // Paper's marks scale by the integer quotient of the resolutions.
  return MakeSteps(this, &TDisplayA::Measure, &TDisplayA::DrawPlotArea, &TDisplayA::DrawCursorMarks,
                   &TDisplayA::DrawTimeLabels, &TDisplayA::DrawValueLabels, false);
}

bool TDisplayA::Measure(int plotWidth, int plotHeight) {
  if (ViewWidth == 0 || SpanY == 0) return false;
  PxPerSample = static_cast<double>(plotWidth) / ViewWidth;
  PxPerCount = static_cast<double>(plotHeight) / SpanY;
  return true;
}

int32_t TDisplayA::HitTest(int& x, int& y) {
  const int32_t hit =
      HitFrame(x, y, {{CursorXIndex, ShowCursorX}, {CursorYIndex, ShowCursorY}}, PxPerSample, TotalSamples, Steps());
  if (hit == 0) y = RoundHalfUp(PlotHeight() * 0.5) - (y - MarginTop);
  return hit;
}

void TDisplayA::DrawPlotArea(gui::TCanvas& c, bool print, const gui::TRect& r, int channels) {
  Fill(c, r, print ? gui::clWhite : BackColor);
  if (ShowGrid) DrawGrid(c, print, r);
  if (TotalSamples == 0 || (!DataA && !DataB)) return;
  DrawTracesInOrder(channels, [&](bool channelA) { DrawTrace(c, print, r, channelA); });
  DrawCursorLines(c, print, r);
}

void TDisplayA::DrawTrace(gui::TCanvas& c, bool print, const gui::TRect& r, bool channelA) {
  const float* data = channelA ? DataA : DataB;
  if (!(channelA ? ShowA : ShowB) || !data) return;
  // The owner keeps the view inside the record; reads stay inside it anyway.
  if (ViewStart < 0 || ViewStart >= TotalSamples) return;
  const bool solid = channelA ? SolidA : SolidB;
  SelectPen(c, channelA ? ColorA : ColorB, print ? 5 : 0, solid ? gui::psSolid : gui::psDot);
  const double cy = CentreY(r);
  const double offset = OffsetY + (channelA ? OffsetA : OffsetB);
  const auto y = [&](double v) { return RoundHalfUp(cy - (offset + v) * PxPerCount); };
  std::vector<gui::TPoint> points{{r.Left, y(data[ViewStart])}};
  if (PxPerSample >= DecimateBelow || print) {
    const int64_t end = std::min<int64_t>(static_cast<int64_t>(ViewStart) + ViewWidth, TotalSamples - 1);
    points.reserve(static_cast<size_t>(end - ViewStart + 2));
    for (int64_t i = ViewStart; i <= end; ++i)
      points.push_back({r.Left + RoundHalfUp(static_cast<double>(i - ViewStart) * PxPerSample), y(data[i])});
  } else {
    const std::vector<TColumnExtent> columns = DecimateColumns(data, TotalSamples, ViewStart, ViewWidth, r.Width());
    points.reserve(2 * columns.size() + 1);
    for (size_t i = 0; i < columns.size(); ++i) {
      const TColumnExtent& column = columns[i];
      if (column.Empty) continue;
      const int x = r.Left + static_cast<int>(i);
      points.push_back({x, y(column.Min)});
      if (column.Min < column.Max) points.push_back({x, y(column.Max)});
    }
  }
  ForEachClippedRun(points, r.Inflate(2, 2), [&](const std::vector<gui::TPoint>& run) { c.Polyline(run); });
}

void TDisplayA::DrawCursorLines(gui::TCanvas& c, bool print, const gui::TRect& r) {
  const double cy = CentreY(r);
  const int tick = Trunc(5 * ScaleX);
  const auto draw = [&](int32_t index, int32_t value, gui::TColor colour) {
    const int x = IndexX(r.Left, index, ViewStart, PxPerSample);
    const int y = RoundHalfUp(cy - (OffsetY + static_cast<double>(value)) * PxPerCount);
    SelectPen(c, colour, print ? 3 : 0);
    Line(c, x, r.Top, x, r.Bottom);
    Line(c, r.Left, y, r.Left + tick, y);
    Line(c, x - tick, y, x + tick, y);
    Line(c, r.Right - tick, y, r.Right, y);
  };
  if (ShowCursorY) draw(CursorYIndex, CursorYValue, CursorYColor);
  if (ShowCursorX) draw(CursorXIndex, CursorXValue, CursorXColor);
}

void TDisplayA::DrawGrid(gui::TCanvas& c, bool print, const gui::TRect& r) {
  const gui::TColor colour = print ? gui::clBlack : GridColor;
  const double cy = CentreY(r);
  const double pps = PxPerSample * SampleRate;
  if (pps != 0) {
    if (const auto steps = TimeGridSteps(pps, r.Width())) {
      const double origin = r.Left + (static_cast<double>(TimeOrigin) - ViewStart) * PxPerSample;
      const TTickRange ticks =
          TickRange(origin, steps->Step, r.Left, r.Right, TotalSamples * steps->Units / SampleRate);
      SelectPen(c, colour, 0, gui::psDot);
      for (int64_t k = ticks.First; k <= ticks.Last; ++k) {
        const int x = RoundHalfUp(origin + static_cast<double>(k) * steps->Step);
        Line(c, x, r.Top, x, r.Bottom);
      }
    }
  }
  SelectPen(c, colour, 0);
  const int y0 = RoundHalfUp(cy - OffsetY * PxPerCount);
  Line(c, r.Left, y0, r.Right, y0);
  const bool sameScale = print || !ShowA || !ShowB || RangeA == RangeB;
  if (!sameScale || !(PxPerCount > 0) || RangeA == 0) return;
  const double d = (r.Height() * 0.5 / RangeA) * FullScale / SpanY;
  const auto steps = ValueSteps(d, 20 * ScaleY, 100 * ScaleY);
  if (!steps) return;
  SelectPen(c, colour, 0, gui::psDot);
  ForEachLevel(cy - OffsetY * PxPerCount, steps->Step, r.Top, r.Bottom,
               [&](int64_t, double y, bool) { Line(c, r.Left, Trunc(y), r.Right, Trunc(y)); });
}

void TDisplayA::DrawCursorMarks(gui::TCanvas& c, bool print, const gui::TRect& band) {
  DrawCursorMarksOf(c, print, band, PxPerSample, 0,
                    {{CursorYIndex, CursorYColor, u"Y"}, {CursorXIndex, CursorXColor, u"X"}});
}

void TDisplayA::DrawTimeLabels(gui::TCanvas& c, bool print, const gui::TRect& band) {
  Fill(c, band, print ? gui::clWhite : BandColor);
  if (SampleRate == 0) return;
  const double pps = PxPerSample * SampleRate;
  const auto steps = TimeLabelSteps(pps, band.Width());
  if (!steps) return;
  SelectFont(c, print, DpiY(print), false, print ? gui::clBlack : TimeTextColor);
  c.SetTextAlign(gui::TA_CENTER | gui::TA_BOTTOM);
  const double origin = band.Left + (static_cast<double>(TimeOrigin) - ViewStart) * PxPerSample;
  const TTickRange ticks =
      TickRange(origin, steps->Step, band.Left, band.Right, TotalSamples * steps->Units / SampleRate);
  for (int64_t k = ticks.First; k <= ticks.Last; ++k) {
    const double x = origin + static_cast<double>(k) * steps->Step;
    const std::u16string text = TimeLabelText(static_cast<double>(k) * steps->Value, steps->Value, steps->Prefix);
    c.TextOut(CentredLabelX(RoundHalfUp(x), c.TextWidth(text), band.Left, band.Right), band.Bottom - 1, text);
  }
}

void TDisplayA::DrawValueLabels(gui::TCanvas& c, bool print, const gui::TRect& band, int side) {
  const TValueBand vb = BeginValueBand(c, print, band, side);
  const int32_t range = vb.ChannelA ? RangeA : RangeB;
  if (range == 0) return;
  const gui::TColor ink = print ? gui::clBlack : ValueTextColor;
  const int h = SelectValueFont(c, print);
  c.SetTextAlign(gui::TA_LEFT | gui::TA_TOP);
  const double cy = CentreY(band);
  // Paper and the left band point at the plot from the band's right edge.
  const bool fromRight = vb.FromRight;
  const int inset = Trunc((fromRight ? 7 : 6) * ScaleX);
  const auto textBox = [&](double y) {
    const int t = Trunc(y) - h / 2, b = Trunc(y) + h / 2;
    return fromRight ? gui::Rect(band.Left, t, band.Right - inset, b) : gui::Rect(band.Left + inset, t, band.Right, b);
  };
  const unsigned align = (fromRight ? gui::DT_RIGHT : gui::DT_LEFT) | gui::DT_VCENTER | gui::DT_SINGLELINE;
  const auto marker = [&](int y, gui::TColor colour) {
    const int dx1 = Trunc(1 * ScaleX), dx2 = Trunc(2 * ScaleX), dx3 = Trunc(3 * ScaleX), dy = Trunc(2 * ScaleY);
    if (fromRight)
      Triangle(c, {band.Right - dx1, y}, {band.Right - dx3, y - dy}, {band.Right - dx3, y + dy}, colour, 0);
    else
      Triangle(c, {band.Left, y}, {band.Left + dx2, y - dy}, {band.Left + dx2, y + dy}, colour, 0);
  };
  const int32_t offset = side == 0 || print ? OffsetA : OffsetB;
  const int y0 = RoundHalfUp(cy - (static_cast<double>(OffsetY) + offset) * PxPerCount);
  marker(y0, ink);
  gui::TRect zero = textBox(y0);
  c.DrawText(std::u16string_view(u"0"), zero, align);
  const double d = (band.Height() * 0.5 / range) * FullScale / SpanY;
  const auto steps = ValueSteps(d, 20 * ScaleY, 100 * ScaleY);
  if (steps) {
    ForEachLevel(cy - OffsetY * PxPerCount, steps->Step, band.Top, band.Bottom, [&](int64_t i, double y, bool above) {
      const double v = static_cast<double>(i) * steps->Increment * 0.5;
      gui::TRect box = textBox(y);
      if (!LabelClearsUnit(box, UnitBoxBottom(band.Top, h, steps->Thousands))) return;
      c.DrawText(ValueLabelText(above ? v : -v), box, align);
    });
  }
  if (ShowCursorY) marker(RoundHalfUp(cy - (OffsetY + static_cast<double>(CursorYValue)) * PxPerCount), CursorYColor);
  if (ShowCursorX) marker(RoundHalfUp(cy - (OffsetY + static_cast<double>(CursorXValue)) * PxPerCount), CursorXColor);
  DrawBandUnit(c, band, vb, steps && steps->Thousands, h);
}
