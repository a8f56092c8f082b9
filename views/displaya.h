#pragma once
// TDisplayA: the oscilloscope's plot. It draws the samples of channels A and
// B against time with a time grid, value grid, two cursors (X and Y), time
// labels, value labels per channel and small status corners. It owns no
// data: the oscilloscope window writes every input into the fields below and
// those of every plot (plotrenderer.h) and calls Paint; the print page calls
// Print for one channel. With more than five
// samples per pixel the trace becomes one minimum-to-maximum stroke per
// pixel column (decimation.h); paper always gets every sample.

#include <cstdint>

#include "plotrenderer.h"

class TDisplayA : public TPlotRendererOf<TDisplayA> {
 public:
  explicit TDisplayA(gui::TPaintBox* paintBox);

  const float* DataA = nullptr;  // ADC counts; null: not drawn
  const float* DataB = nullptr;
  int32_t FullScale = 5;
  int32_t RangeA = 5, RangeB = 5;  // full scale in display units
  int32_t TotalSamples = 5;
  double PxPerSample = 0;  // computed by Paint and Print
  double PxPerCount = 0;
  int32_t OffsetA = 0, OffsetB = 0;
  int32_t TimeOrigin = 0;
  int32_t CursorXIndex = 0, CursorXValue = 0;
  int32_t CursorYIndex = 0, CursorYValue = 0;
  gui::TColor TimeTextColor = 0;

  // A press at paint-box (x, y): 0 inside the plot over samples (x, y become
  // plot coordinates, y counted up from the centre line), 2 the front
  // channel was swapped (and the plot repainted), -1 elsewhere. A press on a
  // cursor's mark in the top band toggles that cursor's line.
  int32_t HitTest(int& x, int& y);

 private:
  friend class TPlotRendererOf<TDisplayA>;
  TDrawSteps Steps();
  bool Measure(int plotWidth, int plotHeight);
  void DrawPlotArea(gui::TCanvas& c, bool print, const gui::TRect& r, int channels);
  void DrawTrace(gui::TCanvas& c, bool print, const gui::TRect& r, bool channelA);
  void DrawGrid(gui::TCanvas& c, bool print, const gui::TRect& r);
  void DrawCursorLines(gui::TCanvas& c, bool print, const gui::TRect& r);
  void DrawCursorMarks(gui::TCanvas& c, bool print, const gui::TRect& band);
  void DrawTimeLabels(gui::TCanvas& c, bool print, const gui::TRect& band);
  void DrawValueLabels(gui::TCanvas& c, bool print, const gui::TRect& band, int side);
};
