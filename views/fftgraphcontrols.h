#pragma once
// The components of the spectrum window: the plot's paint box and its two
// scroll bars, the tool bar, the status line and the read-out panel with
// three cursor rows, the band RMS, the spectrum and window type and the DFT
// progress. Built and named as the window's descriptions name them.

#include <array>

#include "progressbar.h"
#include "timer.h"
#include "viewcontrols.h"

namespace gui {
class TForm;
class TPanel;
}  // namespace gui

// The spectrum window's own components besides the signal windows' shared
// ones (TSignalViewControls).
struct TFFTGraphControls {
  gui::TPaintBox* pbFFT = nullptr;
  gui::TScrollBar* sbScrollX = nullptr;
  gui::TScrollBar* sbScrollY = nullptr;

  TBitmapButton* bZoomXOut = nullptr;
  TBitmapButton* bZoomXIn = nullptr;
  TBitmapButton* bZoomYOut = nullptr;
  TBitmapButton* bZoomYIn = nullptr;
  TBitmapButton* bLogLin = nullptr;
  TBitmapButton* bGotoT = nullptr;
  TBitmapButton* bGotoTAndZoom = nullptr;
  TBitmapButton* bOscilloscope = nullptr;

  // Read-out rows 1 to 3 (index 0 to 2).
  std::array<TBitmapButton*, 3> bMeasCur{};
  std::array<TBitmapButton*, 3> bMeasCh{};
  std::array<TBitmapButton*, 3> bFreq{};
  std::array<TBitmapButton*, 3> bValue{};
  std::array<TPanelEx*, 3> pePhase{};
  TBitmapButton* bRmsType = nullptr;
  TBitmapButton* bRmsValueA = nullptr;
  TBitmapButton* bRmsValueB = nullptr;
  TBitmapButton* bSpectrumType = nullptr;
  TBitmapButton* bWindowType = nullptr;
  TPanelEx* pProgressLabel = nullptr;
  TPanelEx* pProgressValue = nullptr;
  gui::TProgressBar* pbProgress = nullptr;
  gui::TTimer* tProgress = nullptr;
};

void BuildFFTGraphControls(TSignalViewControls& v, TFFTGraphControls& c, gui::TForm* form, gui::TPanel* panel);
// From the bottom up: read-out, status line, tool bar, the horizontal bar
// under the plot area, the paint box and the vertical bar beside it.
void LayoutFFTGraph(TSignalViewControls& v, TFFTGraphControls& c, gui::TPanel* panel, int marginLeft,
                    int marginRight);
