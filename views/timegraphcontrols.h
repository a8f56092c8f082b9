#pragma once
// The components of the oscilloscope window: the plot's paint box and scroll
// bar, the tool bar, the status line and the read-out panel. Built and named
// as the window's descriptions name them; laid out from the bottom of the
// work panel up.

#include "viewcontrols.h"

namespace gui {
class TForm;
class TPanel;
}  // namespace gui

// The oscilloscope's own components besides the signal windows' shared ones
// (TSignalViewControls).
struct TTimeGraphControls {
  gui::TPaintBox* pbAnalog = nullptr;
  gui::TScrollBar* sbScroll = nullptr;

  TBitmapButton* bZoomOutX = nullptr;
  TBitmapButton* bZoomInX = nullptr;
  TBitmapButton* bZoomOutY = nullptr;
  TBitmapButton* bZoomInY = nullptr;
  TBitmapButton* bSpectrum = nullptr;

  TBitmapButton* bCurPos1Label = nullptr;
  TBitmapButton* bCurPos1Value = nullptr;
  TBitmapButton* bVoltCur1 = nullptr;
  TBitmapButton* bVoltCh1 = nullptr;
  TBitmapButton* bVoltValue1 = nullptr;
  TBitmapButton* bCurPos2Label = nullptr;
  TBitmapButton* bCurPos2Value = nullptr;
  TBitmapButton* bVoltCur2 = nullptr;
  TBitmapButton* bVoltCh2 = nullptr;
  TBitmapButton* bVoltValue2 = nullptr;
  TBitmapButton* bMeasType = nullptr;
  TBitmapButton* bMeasValA = nullptr;
  TBitmapButton* bMeasValB = nullptr;
  TPanelEx* pDist1Cursors = nullptr;
  TLabelEx* lDist1CurX = nullptr;
  TLabelEx* lDist1CurY = nullptr;
  TBitmapButton* bDist1Value = nullptr;
  TPanelEx* pDist2Cursors = nullptr;
  TLabelEx* lDist2CurX = nullptr;
  TLabelEx* lDist2CurY = nullptr;
  TBitmapButton* bDist2Value = nullptr;
  TPanelEx* pVoltDistCursors = nullptr;
  TLabelEx* lVoltCurX = nullptr;
  TLabelEx* lVoltCurY = nullptr;
  TBitmapButton* bVoltDistCh = nullptr;
  TBitmapButton* bVoltDistValue = nullptr;
};

void BuildTimeGraphControls(TSignalViewControls& v, TTimeGraphControls& c, gui::TForm* form, gui::TPanel* panel);
// From the bottom up: read-out, status line, tool bar, scroll bar under the
// plot area (marginLeft, marginRight), paint box.
void LayoutTimeGraph(TSignalViewControls& v, TTimeGraphControls& c, gui::TPanel* panel, int marginLeft,
                     int marginRight);
