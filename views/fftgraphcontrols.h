#pragma once
// The components of the spectrum window: the plot's paint box and its two
// scroll bars, the tool bar, the status line and the read-out panel with
// three cursor rows, the band RMS, the spectrum and window type and the DFT
// progress. Built and named as the window's descriptions name them.

#include <array>

#include "bitmapbutton.h"
#include "paintbox.h"
#include "panelex.h"
#include "progressbar.h"
#include "scrollbar.h"
#include "timer.h"
#include "viewcontrols.h"

namespace gui {
class TForm;
class TPanel;
}  // namespace gui

struct TFFTGraphControls : TViewStatusControls {
  TBitmapButton* bCloseC = nullptr;
  TBitmapButton* bMaximize = nullptr;
  TBitmapButton* bMinimize = nullptr;
  gui::TPaintBox* pbFFT = nullptr;
  gui::TScrollBar* sbScrollX = nullptr;
  gui::TScrollBar* sbScrollY = nullptr;

  TPanelEx* peButtons = nullptr;
  TBitmapButton* bZoomXOut = nullptr;
  TBitmapButton* bZoomXIn = nullptr;
  TBitmapButton* bZoomYOut = nullptr;
  TBitmapButton* bZoomYIn = nullptr;
  TBitmapButton* bZoomXY = nullptr;
  TBitmapButton* bZoomPrev = nullptr;
  TBitmapButton* bZoomAll = nullptr;
  TBitmapButton* bLogLin = nullptr;
  TBitmapButton* bGotoT = nullptr;
  TBitmapButton* bGotoX = nullptr;
  TBitmapButton* bGotoY = nullptr;
  TBitmapButton* bGotoTAndZoom = nullptr;
  TBitmapButton* bDisplayChannels = nullptr;
  TBitmapButton* bAsyncFile = nullptr;
  TBitmapButton* bPrint = nullptr;
  TBitmapButton* bSetup = nullptr;
  TBitmapButton* bBalancing = nullptr;
  TBitmapButton* bOscilloscope = nullptr;
  TBitmapButton* bStartStop = nullptr;

  TPanelEx* peInfo = nullptr;
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

constexpr int FFTGraphPanelWidth = 780;
constexpr int FFTGraphPanelHeight = 537;

void BuildFFTGraphControls(TFFTGraphControls& c, gui::TForm* form, gui::TPanel* panel);
// From the bottom up: read-out, status line, tool bar, the horizontal bar
// under the plot area, the paint box and the vertical bar beside it.
void LayoutFFTGraph(TFFTGraphControls& c, gui::TPanel* panel, int marginLeft, int marginRight);
