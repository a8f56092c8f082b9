#include "displayfft.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

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

int32_t TDisplayFFT::HitTest(int& x, int& y) {
  return HitFrame(x, y, {{CursorX, ShowCursorX}, {CursorY, ShowCursorY}, {CursorT, ShowCursorT}}, PxPerBin, TotalBins,
                  Steps());
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
  if (ShowCursorY) cursor(CursorY, CursorYColor);
  if (ShowCursorX) cursor(CursorX, CursorXColor);
}

void TDisplayFFT::DrawTrace(gui::TCanvas& c, bool print, const gui::TRect& r, bool channelA) {
  const double* data = channelA ? DataA : DataB;
  if (TotalBins == 0 || !data || !(channelA ? ShowA : ShowB) || !WholeSpectrum) return;
  // One style for both traces: the spectra are replaced together.
  SelectPen(c, channelA ? ColorA : ColorB, print ? 5 : 0, SolidA ? gui::psSolid : gui::psDot);
  const auto y = [&](double v) {
    if (!LogScale) return RoundHalfUp((r.Bottom - 1) - (OffsetY + v) * PxPerUnit);
    if (!(v > 0) || !(RefSpan > 0)) return r.Bottom;
    return RoundHalfUp(r.Top - (OffsetY + 20 * std::log10(v / RefSpan)) * PxPerUnit);
  };
  std::vector<gui::TPoint> points;
  points.reserve(static_cast<size_t>(std::max(ViewWidth, 0)));
  for (int64_t i = 0; i < ViewWidth; ++i) {
    const int64_t bin = ViewStart + i;
    if (bin <= 0) continue;
    if (bin >= TotalBins) break;
    points.push_back({r.Left + RoundHalfUp(static_cast<double>(i) * PxPerBin), y(data[bin])});
  }
  ForEachClippedRun(CollapseColumns(points), r.Inflate(2, 2),
                    [&](const std::vector<gui::TPoint>& run) { c.Polyline(run); });
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
                    {{CursorY, CursorYColor, u"Y"}, {CursorX, CursorXColor, u"X"}, {CursorT, CursorTColor, u"T"}});
}

void TDisplayFFT::DrawFrequencyLabels(gui::TCanvas& c, bool print, const gui::TRect& band) {
  Fill(c, band, print ? gui::clWhite : BandColor);
  SelectFont(c, print, DpiY(print), false, print ? gui::clBlack : LabelColor);
  c.SetTextAlign(gui::TA_CENTER | gui::TA_BOTTOM);
  ForEachFrequency(*this, band, ScaleX, [&](double x, double value, const char16_t* unit) {
    c.TextOut(RoundHalfUp(x), band.Bottom, FrequencyLabelText(value, unit));
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
    for (int64_t i = FirstIndex(-shift, steps->Step);; ++i) {
      const double y = band.Bottom - (static_cast<double>(i) * steps->Step + shift);
      if (!(y > band.Top)) break;
      if (y >= band.Bottom) continue;
      gui::TRect box = LabelBox(band, y, h, vb.FromRight, ScaleX);
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
      c.DrawText(DecibelLabelText(static_cast<double>(i) * steps->Increment), box, LabelAlign(vb.FromRight));
    }
  }
  DrawBandUnit(c, band, vb, false, h);
}
