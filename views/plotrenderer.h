#pragma once
// What the two plot renderers, TDisplayA (time) and TDisplayFFT (spectrum),
// share: the fields of every plot (paint box, margins, view, units, show
// flags, colours, print scale) and the frame of its drawing. A paint lays the
// plot area, the top band with the cursor marks, the bottom band with the
// axis labels, the value bands and the four corners out in the paint box and
// draws them off screen, copied in one step; a print puts one channel's plot
// area, marks, labels and value band on paper and frames it; a press is
// classified against the marks, the front-channel corner and the plot.
//
// Each renderer names its drawing steps (TDrawSteps) and is built on
// TPlotRendererOf<itself>, which gives it Paint, PaintTo and Print. Neither
// has virtual operations: a renderer is a plain drawing object whose owner
// writes the fields and calls Paint.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "canvas.h"
#include "color.h"
#include "geometry.h"
#include "plotgeometry.h"
#include "viewnavigation.h"

namespace gui {
class TPaintBox;
}

class TPlotRenderer {
 public:
  gui::TPaintBox* PaintBox = nullptr;
  double ScaleX = 1.0, ScaleY = 1.0;  // marks: 1 on screen, printer / screen ppi on paper
  int32_t PrinterDpiX = 0, PrinterDpiY = 0;
  uint8_t Suppress = 0;  // Paint draws nothing
  uint8_t AFront = 1;    // trace A after (in front of) trace B
  uint8_t SolidA = 1, SolidB = 1;
  int32_t MarginTop = 0, MarginBottom = 0, MarginLeft = 0, MarginRight = 0;
  int32_t ViewStart = 0;
  int32_t ViewWidth = 5;
  int32_t OffsetY = 0;
  int32_t SpanY = 1;
  std::u16string UnitA, UnitB;
  uint8_t ShowA = 0, ShowB = 0;
  double SampleRate = 10.0;  // Hz
  uint8_t ShowCursorX = 0, ShowCursorY = 0;
  uint8_t ShowGrid = 1;
  gui::TColor BackColor = 0, GridColor = 0, BandColor = 0, ValueBandColor = 0, ValueTextColor = 0, ColorA = 0,
              ColorB = 0, CursorXColor = 0, CursorYColor = 0;

  TPlotView View() const { return {ViewStart, ViewWidth, OffsetY, SpanY}; }
  void SetView(const TPlotView& v);
  // The plot area's height: the paint box less the top and bottom bands.
  int32_t PlotHeight() const { return Height() - MarginTop - MarginBottom; }

 protected:
  // Marks the paint box opaque (nothing is erased before a paint).
  explicit TPlotRenderer(gui::TPaintBox* paintBox);

  // A renderer's own drawing steps; `print` draws for paper (white
  // backgrounds, black texts and grid).
  struct TDrawSteps {
    // The pixel scales for a plot area of that size; false when the view
    // has none (nothing is drawn then).
    std::function<bool(int plotWidth, int plotHeight)> Measure;
    // The plot area with the channels selected: 0 both, 1 A, 2 B.
    std::function<void(gui::TCanvas&, bool print, const gui::TRect&, int channels)> PlotArea;
    std::function<void(gui::TCanvas&, bool print, const gui::TRect& band)> CursorMarks;
    std::function<void(gui::TCanvas&, bool print, const gui::TRect& band)> AxisLabels;
    // A value band: side 0 left, 1 right.
    std::function<void(gui::TCanvas&, bool print, const gui::TRect& band, int side)> ValueLabels;
    // Paper's mark scale: the exact ratio of printer to screen resolution, or
    // its integer quotient.
    bool ExactPrintScale = true;
  };
  template <class TRenderer>
  static TDrawSteps MakeSteps(TRenderer* r, bool (TRenderer::*measure)(int, int),
                              void (TRenderer::*plotArea)(gui::TCanvas&, bool, const gui::TRect&, int),
                              void (TRenderer::*marks)(gui::TCanvas&, bool, const gui::TRect&),
                              void (TRenderer::*labels)(gui::TCanvas&, bool, const gui::TRect&),
                              void (TRenderer::*values)(gui::TCanvas&, bool, const gui::TRect&, int),
                              bool exactPrintScale) {
    return {[=](int w, int h) { return (r->*measure)(w, h); },
            [=](gui::TCanvas& c, bool p, const gui::TRect& a, int ch) { (r->*plotArea)(c, p, a, ch); },
            [=](gui::TCanvas& c, bool p, const gui::TRect& b) { (r->*marks)(c, p, b); },
            [=](gui::TCanvas& c, bool p, const gui::TRect& b) { (r->*labels)(c, p, b); },
            [=](gui::TCanvas& c, bool p, const gui::TRect& b, int side) { (r->*values)(c, p, b, side); },
            exactPrintScale};
  }

  void PaintSteps(const TDrawSteps& steps);
  bool PaintStepsTo(gui::TCanvas& c, int width, int height, const TDrawSteps& steps);
  void PrintSteps(int channel, gui::TCanvas& printer, const gui::TCanvas& screen, const gui::TRect& rect,
                  const TDrawSteps& steps);

  // A cursor whose mark a press in the top band toggles.
  struct TMarkToggle {
    int32_t Index;
    uint8_t& Shown;
  };
  // The common part of a hit test at paint-box (x, y): a press on a mark
  // toggles its cursor's line; 2 when the bottom-left corner swapped the
  // front channel (and the plot was repainted); 0 inside the plot over one
  // of `total` positions (x becomes plot-relative); -1 elsewhere.
  int32_t HitFrame(int& x, int y, std::initializer_list<TMarkToggle> marks, double pxPerIndex, int32_t total,
                   const TDrawSteps& steps);

  // Calls trace(true) for A and trace(false) for B among the channels
  // selected (0 both, 1 A, 2 B), the back channel first.
  void DrawTracesInOrder(int channels, const std::function<void(bool channelA)>& trace) const;

  // The top band with a mark per cursor not at position 0: a triangle
  // `lift` pixels above the band's bottom and the cursor's letter.
  struct TCursorMark {
    int32_t Index;
    gui::TColor Colour;
    const char16_t* Letter;
  };
  void DrawCursorMarksOf(gui::TCanvas& c, bool print, const gui::TRect& band, double pxPerIndex, int lift,
                         std::initializer_list<TCursorMark> marks);

  // A value band filled, and the channel whose range and unit it shows: on
  // paper or with both or neither channel present the side's, else the
  // present one's.
  struct TValueBand {
    gui::TColor Fill = 0;
    bool ChannelA = true;
    bool FromRight = true;  // labels end at the band's right edge (side 0, paper)
  };
  TValueBand BeginValueBand(gui::TCanvas& c, bool print, const gui::TRect& band, int side) const;
  // The labels' font in the value text colour; the text height.
  int SelectValueFont(gui::TCanvas& c, bool print) const;
  // The unit box at the top of the band, with "x10 ³" when the labels count
  // thousands.
  void DrawBandUnit(gui::TCanvas& c, const gui::TRect& band, const TValueBand& vb, bool thousands,
                    int textHeight) const;

  int DpiY(bool print) const { return print ? PrinterDpiY : 96; }
  int Width() const;
  int Height() const;

 private:
  int FWidth = 0, FHeight = 0;  // the size last drawn, without a paint box
};

// Paint, PaintTo and Print of a renderer from its drawing steps (the
// renderer's private Steps(), reached as a friend).
template <class TRenderer>
class TPlotRendererOf : public TPlotRenderer {
 public:
  // Draws the view into the paint box.
  void Paint() { PaintSteps(Self().Steps()); }
  // The same view on any canvas of that size (Paint draws it off screen).
  // False, drawing nothing, while suppressed or without a view.
  bool PaintTo(gui::TCanvas& canvas, int width, int height) {
    return PaintStepsTo(canvas, width, height, Self().Steps());
  }
  // Channel 1 (A) or 2 (B) with its grid, cursors and labels into `rect` of
  // a printer canvas; `screen` gives the screen's resolution.
  void Print(int channel, gui::TCanvas& printer, const gui::TCanvas& screen, const gui::TRect& rect) {
    PrintSteps(channel, printer, screen, rect, Self().Steps());
  }

 protected:
  using TPlotRenderer::TPlotRenderer;

 private:
  TRenderer& Self() { return static_cast<TRenderer&>(*this); }
};
