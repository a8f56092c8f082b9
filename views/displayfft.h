#pragma once
// TDisplayFFT: the spectrum window's plot. It draws the amplitude of each
// bin of channels A and B on a linear or decibel axis, with a frequency
// grid, amplitude grid, three cursors (X, Y and T, the rotation frequency),
// frequency labels, amplitude labels per channel and the status corners of
// the oscilloscope's plot. It owns no data: the spectrum window writes the
// fields below and those of every plot (plotrenderer.h) and calls Paint; the
// print page calls Print for one channel. The bins that fall on one pixel
// column are merged into the column's extremes before drawing, which leaves
// the pixels of the bin-by-bin path; the owner keeps the view within the
// spectrum.

#include <cstdint>

#include "plotrenderer.h"

// Of the fields every plot has: OffsetY and SpanY are plot units, OffsetY
// decibels on the decibel axis, where the height spans SpanY / RefSpan x
// 100 dB; SolidA and SolidB go together: the spectrum shown is current
// (solid) or being replaced (dotted).
class TDisplayFFT : public TPlotRendererOf<TDisplayFFT> {
 public:
  explicit TDisplayFFT(gui::TPaintBox* paintBox);

  const double* DataA = nullptr;  // plot units per bin; bin 0 is never drawn
  const double* DataB = nullptr;
  int32_t TotalBins = 5;
  // Samples transformed (an odd DFT window has one more than 2 x TotalBins);
  // 0 stands for 2 x TotalBins. Bin k lies at BinFrequency(k, SampleRate,
  // that length) Hz.
  int32_t TransformLength = 0;
  double RefSpan = 5.0;  // plot units of a channel's full scale; the 0 dB reference
  double RangeA = 5.0, RangeB = 5.0;
  double PxPerBin = 0;  // computed by Paint and Print
  double PxPerUnit = 0;
  uint8_t LogScale = 0;
  uint8_t WholeSpectrum = 1;  // set by Paint: the spectrum fills the view
  uint8_t ShowCursorT = 0;
  // X and Y as the user placed them, perhaps on a longer transform.
  int32_t CursorX = 0, CursorY = 0, CursorT = 0;
  gui::TColor LabelColor = 0, CursorTColor = 0;

  // The bin a cursor stands on in this spectrum: a position beyond the last
  // bin is drawn on the last bin.
  int32_t DrawnBin(int32_t cursor) const;

  // 0 inside the plot over the spectrum (x becomes plot-relative, y stays),
  // 2 the front channel was swapped (and the plot repainted), -1 elsewhere;
  // a press on a cursor's mark toggles that cursor's line.
  int32_t HitTest(int& x, int& y);

 private:
  friend class TPlotRendererOf<TDisplayFFT>;
  TDrawSteps Steps();
  bool Measure(int plotWidth, int plotHeight);
  void DrawPlotArea(gui::TCanvas& c, bool print, const gui::TRect& r, int channels);
  void DrawTrace(gui::TCanvas& c, bool print, const gui::TRect& r, bool channelA);
  void DrawGrid(gui::TCanvas& c, bool print, const gui::TRect& r);
  void DrawCursorMarks(gui::TCanvas& c, bool print, const gui::TRect& band);
  void DrawFrequencyLabels(gui::TCanvas& c, bool print, const gui::TRect& band);
  void DrawAmplitudeLabels(gui::TCanvas& c, bool print, const gui::TRect& band, int side);
  void DrawLogLabels(gui::TCanvas& c, bool print, const gui::TRect& band, int side);
  void DrawValueBand(gui::TCanvas& c, bool print, const gui::TRect& band, int side);
};
