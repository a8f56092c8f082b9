#include "plotrenderer.h"

#include <algorithm>

#include "bitmap.h"
#include "paintbox.h"
#include "plotpainter.h"

using plotpainter::Fill;
using plotpainter::SelectFont;
using plotpainter::SelectPen;

TPlotRenderer::TPlotRenderer(gui::TPaintBox* paintBox) : PaintBox(paintBox) {
  if (PaintBox) PaintBox->SetControlStyle(PaintBox->ControlStyle() | gui::csOpaque | gui::csFramed);
}

void TPlotRenderer::SetView(const TPlotView& v) {
  ViewStart = v.ViewStart;
  ViewWidth = v.ViewWidth;
  OffsetY = v.OffsetY;
  SpanY = v.SpanY;
}

int TPlotRenderer::Width() const { return PaintBox ? PaintBox->Width() : FWidth; }
int TPlotRenderer::Height() const { return PaintBox ? PaintBox->Height() : FHeight; }

void TPlotRenderer::PaintSteps(const TDrawSteps& steps) {
  if (!PaintBox) return;
  const int w = PaintBox->Width(), h = PaintBox->Height();
  if (w <= 0 || h <= 0) return;
  gui::TBitmap bitmap(w, h);
  if (PaintStepsTo(bitmap.Canvas(), w, h, steps)) PaintBox->Canvas().Draw(0, 0, bitmap);
}

bool TPlotRenderer::PaintStepsTo(gui::TCanvas& c, int width, int height, const TDrawSteps& steps) {
  if (Suppress || width <= 0 || height <= 0) return false;
  if (!steps.Measure(width - MarginLeft - MarginRight, height - MarginTop - MarginBottom)) return false;
  FWidth = width;
  FHeight = height;
  ScaleX = ScaleY = 1.0;
  c.SetBkMode(gui::bkTransparent);
  const TPlotAreas a = PlotAreas(width, height, {MarginTop, MarginBottom, MarginLeft, MarginRight});
  steps.PlotArea(c, false, a.Plot, 0);
  if (MarginTop > 0) steps.CursorMarks(c, false, a.TopBand);
  if (MarginBottom > 0) steps.AxisLabels(c, false, a.BottomBand);
  if (MarginLeft > 0) steps.ValueLabels(c, false, a.LeftBand, 0);
  if (MarginRight > 0) steps.ValueLabels(c, false, a.RightBand, 1);
  const plotpainter::TCornerAreas corners{a.TopLeft,     a.TopRight,       a.BottomLeft,   a.BottomRight,
                                          MarginTop > 0, MarginBottom > 0, MarginLeft > 0, MarginRight > 0};
  plotpainter::DrawCorners(c, corners, {ShowA != 0, ShowB != 0, AFront != 0, ColorA, ColorB, ValueBandColor});
  return true;
}

// Half an inch on the left for the value band, a fifth of an inch above and
// below for the marks and the labels.
void TPlotRenderer::PrintSteps(int channel, gui::TCanvas& printer, const gui::TCanvas& screen, const gui::TRect& rect,
                               const TDrawSteps& steps) {
  PrinterDpiX = printer.PixelsPerInchX();
  PrinterDpiY = printer.PixelsPerInchY();
  const int screenX = std::max(screen.PixelsPerInchX(), 1), screenY = std::max(screen.PixelsPerInchY(), 1);
  ScaleX = steps.ExactPrintScale ? static_cast<double>(PrinterDpiX) / screenX : PrinterDpiX / screenX;
  ScaleY = steps.ExactPrintScale ? static_cast<double>(PrinterDpiY) / screenY : PrinterDpiY / screenY;
  const gui::TRect plot =
      gui::Rect(rect.Left + PrinterDpiX / 2, rect.Top + PrinterDpiY / 5, rect.Right, rect.Bottom - PrinterDpiY / 5);
  if (!steps.Measure(plot.Width(), plot.Height())) return;
  printer.SetBkMode(gui::bkTransparent);
  const bool channelA = channel == 1;
  steps.PlotArea(printer, true, plot, channelA ? 1 : 2);
  steps.CursorMarks(printer, true, gui::Rect(plot.Left, rect.Top, rect.Right, rect.Top + PrinterDpiY / 5));
  steps.AxisLabels(printer, true, gui::Rect(plot.Left, rect.Bottom - PrinterDpiY / 5, rect.Right, rect.Bottom));
  steps.ValueLabels(printer, true, gui::Rect(rect.Left, plot.Top, rect.Left + PrinterDpiX / 2, plot.Bottom),
                    channelA ? 0 : 1);
  SelectPen(printer, gui::clBlack, 0);
  printer.Brush().Style = gui::bsClear;
  printer.Rectangle(plot);
}

int32_t TPlotRenderer::HitFrame(int& x, int y, std::initializer_list<TMarkToggle> marks, double pxPerIndex,
                                int32_t total, const TDrawSteps& steps) {
  const TPlotMargins m{MarginTop, MarginBottom, MarginLeft, MarginRight};
  if (y <= MarginTop) {
    for (const TMarkToggle& mark : marks)
      if (NearCursorMark(x, m, mark.Index, ViewStart, pxPerIndex)) mark.Shown = !mark.Shown;
  }
  if (InFrontCorner(x, y, Height(), m)) {
    AFront = !AFront;
    PaintSteps(steps);
    return 2;
  }
  if (!InPlotArea(x, y, Width(), Height(), m)) return -1;
  if (IndexAt(x - MarginLeft, pxPerIndex, ViewStart, total) < 0) return -1;
  x -= MarginLeft;
  return 0;
}

void TPlotRenderer::DrawTracesInOrder(int channels, const std::function<void(bool channelA)>& trace) const {
  const bool a = channels != 2, b = channels != 1;
  if (AFront == 0) {
    if (a) trace(true);
    if (b) trace(false);
  } else {
    if (b) trace(false);
    if (a) trace(true);
  }
}

void TPlotRenderer::DrawCursorMarksOf(gui::TCanvas& c, bool print, const gui::TRect& band, double pxPerIndex,
                                      int lift, std::initializer_list<TCursorMark> marks) {
  Fill(c, band, print ? gui::clWhite : BandColor);
  SelectFont(c, print, DpiY(print), true, CursorYColor);
  c.SetTextAlign(gui::TA_CENTER | gui::TA_TOP);
  const int dx = static_cast<int>(2 * ScaleX), dy = static_cast<int>(2 * ScaleY);
  for (const TCursorMark& mark : marks) {
    if (mark.Index == 0) continue;
    const int x = IndexX(band.Left, mark.Index, ViewStart, pxPerIndex);
    const int b = band.Bottom - lift;
    plotpainter::Triangle(c, {x, b}, {x - dx, b - dy}, {x + dx, b - dy}, mark.Colour, print ? 3 : 0);
    c.Font().SetColor(mark.Colour);
    c.TextOut(x + 1, band.Top + 1, std::u16string_view(mark.Letter));
  }
}

TPlotRenderer::TValueBand TPlotRenderer::BeginValueBand(gui::TCanvas& c, bool print, const gui::TRect& band,
                                                        int side) const {
  TValueBand vb;
  vb.Fill = print ? gui::clWhite : ValueBandColor;
  Fill(c, band, vb.Fill);
  vb.ChannelA = print || ShowA == ShowB ? side == 0 : ShowA != 0;
  vb.FromRight = side == 0 || print;
  return vb;
}

int TPlotRenderer::SelectValueFont(gui::TCanvas& c, bool print) const {
  SelectFont(c, print, DpiY(print), false, print ? gui::clBlack : ValueTextColor);
  return c.GetTextMetrics().Height;
}

void TPlotRenderer::DrawBandUnit(gui::TCanvas& c, const gui::TRect& band, const TValueBand& vb, bool thousands,
                                 int textHeight) const {
  plotpainter::DrawUnitBox(c, band, vb.ChannelA ? UnitA : UnitB, thousands, vb.Fill, textHeight);
}
