#pragma once
// TDisplayFFT: the spectrum window's plot. It draws the amplitude of each
// bin of channels A and B on a linear or decibel axis, with a frequency
// grid, amplitude grid, three cursors (X, Y and T, the rotation frequency),
// frequency labels, amplitude labels per channel and the status corners of
// the oscilloscope's plot. It owns no data: the spectrum window writes the
// fields and calls Paint; the print page calls Print for one channel. The
// bins that fall on one pixel column are merged into the column's extremes
// before drawing, which leaves the pixels of the bin-by-bin path; the owner
// keeps the view within the spectrum.

#include <cstdint>
#include <string>

#include "canvas.h"
#include "color.h"
#include "geometry.h"

namespace gui {
class TPaintBox;
}

class TDisplayFFT {
 public:
  // Marks the paint box opaque (nothing is erased before a paint).
  explicit TDisplayFFT(gui::TPaintBox* paintBox);

  gui::TPaintBox* PaintBox = nullptr;
  double ScaleX = 1.0, ScaleY = 1.0;  // marks: 1 on screen, printer / screen ppi on paper
  int32_t PrinterDpiX = 0, PrinterDpiY = 0;
  uint8_t Suppress = 0;  // Paint draws nothing
  uint8_t AFront = 1;
  uint8_t SolidA = 1, SolidB = 1;  // the shown spectrum is current (solid) or being replaced (dotted)
  const double* DataA = nullptr;   // plot units per bin; bin 0 is never drawn
  const double* DataB = nullptr;
  int32_t TotalBins = 5;
  double SampleRate = 10.0;  // Hz
  // Samples transformed (an odd DFT window has one more than 2 x TotalBins);
  // 0 stands for 2 x TotalBins. Bin k lies at BinFrequency(k, SampleRate,
  // that length) Hz.
  int32_t TransformLength = 0;
  double RefSpan = 5.0;      // plot units of a channel's full scale; the 0 dB reference
  double RangeA = 5.0, RangeB = 5.0;
  std::u16string UnitA, UnitB;
  int32_t ViewStart = 0;
  int32_t ViewWidth = 5;
  int32_t OffsetY = 0;  // plot units, decibels on the decibel axis
  int32_t SpanY = 5;    // plot units across the height; SpanY / RefSpan x 100 dB on the decibel axis
  double PxPerBin = 0;  // computed by Paint and Print
  double PxPerUnit = 0;
  uint8_t ShowA = 0, ShowB = 0;
  uint8_t LogScale = 0;
  uint8_t WholeSpectrum = 1;  // set by Paint: the spectrum fills the view
  uint8_t ShowCursorX = 0, ShowCursorY = 0, ShowCursorT = 0;
  int32_t CursorX = 0, CursorY = 0, CursorT = 0;
  uint8_t ShowGrid = 1;
  int32_t MarginTop = 12, MarginBottom = 12, MarginLeft = 0, MarginRight = 0;
  gui::TColor BackColor = 0, GridColor = 0, BandColor = 0, LabelColor = 0, ValueBandColor = 0, ValueTextColor = 0,
              ColorA = 0, ColorB = 0, CursorXColor = 0, CursorYColor = 0, CursorTColor = 0;

  void Paint();
  // The same view on any canvas of that size; false while suppressed.
  bool PaintTo(gui::TCanvas& canvas, int width, int height);
  // Channel 1 (A) or 2 (B) into `rect` of a printer canvas.
  void Print(int channel, gui::TCanvas& printer, const gui::TCanvas& screen, const gui::TRect& rect);
  // 0 inside the plot over the spectrum (x becomes plot-relative, y stays),
  // 2 the front channel was swapped (and the plot repainted), -1 elsewhere;
  // a press on a cursor's mark toggles that cursor's line.
  int32_t HitTest(int& x, int& y);

 private:
  void Measure(int plotWidth, int plotHeight);
  void DrawPlotArea(gui::TCanvas& c, bool print, const gui::TRect& r, int channels);
  void DrawTrace(gui::TCanvas& c, bool print, const gui::TRect& r, bool channelA);
  void DrawGrid(gui::TCanvas& c, bool print, const gui::TRect& r);
  void DrawCursorMarks(gui::TCanvas& c, bool print, const gui::TRect& band);
  void DrawFrequencyLabels(gui::TCanvas& c, bool print, const gui::TRect& band);
  void DrawAmplitudeLabels(gui::TCanvas& c, bool print, const gui::TRect& band, int side);
  void DrawLogLabels(gui::TCanvas& c, bool print, const gui::TRect& band, int side);
  void DrawValueBand(gui::TCanvas& c, bool print, const gui::TRect& band, int side);
  int DpiY(bool print) const { return print ? PrinterDpiY : 96; }
  int Width() const;
  int Height() const;

  int FWidth = 0, FHeight = 0;
};
