#pragma once
// TDisplayA: the oscilloscope's plot. It draws the samples of channels A and
// B against time with a time grid, value grid, two cursors (X and Y), time
// labels, value labels per channel and small status corners. It owns no
// data: the oscilloscope window writes every input into the fields below and
// calls Paint; the print page calls Print for one channel. Paint draws the
// whole view off screen and copies it in one step. With more than five
// samples per pixel the trace becomes one minimum-to-maximum stroke per
// pixel column (decimation.h); paper always gets every sample.

#include <cstdint>
#include <string>

#include "canvas.h"
#include "color.h"
#include "geometry.h"

namespace gui {
class TPaintBox;
}

class TDisplayA {
 public:
  // Marks the paint box opaque (nothing is erased before a paint).
  explicit TDisplayA(gui::TPaintBox* paintBox);

  gui::TPaintBox* PaintBox = nullptr;
  double ScaleX = 1.0, ScaleY = 1.0;  // marks: 1 on screen, printer / screen ppi on paper
  int32_t PrinterDpiX = 0, PrinterDpiY = 0;
  uint8_t Suppress = 0;  // Paint draws nothing
  uint8_t AFront = 1;    // trace A after (in front of) trace B
  uint8_t SolidA = 1, SolidB = 1;
  const float* DataA = nullptr;  // ADC counts; null: not drawn
  const float* DataB = nullptr;
  int32_t MarginTop = 0, MarginBottom = 0, MarginLeft = 0, MarginRight = 0;
  int32_t ViewStart = 0;
  int32_t ViewWidth = 5;
  int32_t OffsetY = 0;
  int32_t SpanY = 1;
  int32_t FullScale = 5;
  int32_t RangeA = 5, RangeB = 5;  // full scale in display units
  std::u16string UnitA, UnitB;
  uint8_t ShowA = 0, ShowB = 0;
  int32_t TotalSamples = 5;
  double SampleRate = 10.0;
  double PxPerSample = 0;  // computed by Paint and Print
  double PxPerCount = 0;
  int32_t OffsetA = 0, OffsetB = 0;
  int32_t TimeOrigin = 0;
  int32_t CursorXIndex = 0, CursorXValue = 0;
  int32_t CursorYIndex = 0, CursorYValue = 0;
  uint8_t ShowCursorX = 0, ShowCursorY = 0;
  uint8_t ShowGrid = 1;
  gui::TColor BackColor = 0, GridColor = 0, BandColor = 0, TimeTextColor = 0, ValueBandColor = 0, ValueTextColor = 0,
              ColorA = 0, ColorB = 0, CursorXColor = 0, CursorYColor = 0;

  // Draws the view into the paint box.
  void Paint();
  // The same view on any canvas of that size (Paint draws it off screen).
  // False, drawing nothing, while suppressed or without a view.
  bool PaintTo(gui::TCanvas& canvas, int width, int height);
  // Channel 1 (A) or 2 (B) with its grid, cursors, time and value labels
  // into `rect` of a printer canvas; `screen` gives the screen's resolution.
  void Print(int channel, gui::TCanvas& printer, const gui::TCanvas& screen, const gui::TRect& rect);
  // A press at paint-box (x, y): 0 inside the plot over samples (x, y become
  // plot coordinates, y counted up from the centre line), 2 the front
  // channel was swapped (and the plot repainted), -1 elsewhere. A press on a
  // cursor's mark in the top band toggles that cursor's line.
  int32_t HitTest(int& x, int& y);
  int32_t PlotHeight() const;

 private:
  void DrawPlotArea(gui::TCanvas& c, bool print, const gui::TRect& r, int channels);
  void DrawTrace(gui::TCanvas& c, bool print, const gui::TRect& r, bool channelA);
  void DrawGrid(gui::TCanvas& c, bool print, const gui::TRect& r);
  void DrawCursorLines(gui::TCanvas& c, bool print, const gui::TRect& r);
  void DrawCursorMarks(gui::TCanvas& c, bool print, const gui::TRect& band);
  void DrawTimeLabels(gui::TCanvas& c, bool print, const gui::TRect& band);
  void DrawValueLabels(gui::TCanvas& c, bool print, const gui::TRect& band, int side);
  int DpiY(bool print) const { return print ? PrinterDpiY : 96; }
  int Width() const;
  int Height() const;

  int FWidth = 0, FHeight = 0;  // the size last drawn, without a paint box
};
