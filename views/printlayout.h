#pragma once
// The layout of the printed oscilloscope and spectrum pages, in printer
// pixels: margins of one centimetre, the title line, the plot area, the
// settings block, the read-out grid copied from the window and the footer.
// Every coordinate is computed in floating point and truncated toward zero.
// Only the side margins follow the horizontal resolution; every other
// distance, horizontal ones included, follows the vertical one.

#include <cstdint>
#include <vector>

#include "geometry.h"

struct TPageMetrics {
  double CmX = 0, CmY = 0;  // pixels per centimetre
  int Left = 0;             // mL: left margin, and the right margin's width
  int Top = 0;              // mT: top margin, and the bottom margin's height
  int Right = 0;            // R = HORZRES - mL
  int Bottom = 0;           // B = VERTRES - mT
  int LineHeight = 0;       // LH: the pitch of the settings lines
};
// lineHeight: tmHeight + tmInternalLeading of the font the page starts with.
TPageMetrics PageMetrics(int horzRes, int vertRes, int dpiX, int dpiY, int lineHeight);

// The title's anchor (centred, top) and the channel name's (right, top).
gui::TPoint TitlePoint(const TPageMetrics& m);
gui::TPoint ChannelNamePoint(const TPageMetrics& m);
// The rectangle the renderer prints its plot into.
gui::TRect PrintPlotArea(const TPageMetrics& m);
// Settings line `line`: its label's and its value's left-top corner.
gui::TPoint SettingsLabelPoint(const TPageMetrics& m, int line);
gui::TPoint SettingsValuePoint(const TPageMetrics& m, int line);

// What a box of the read-out grid shows: the caption of a read-out control
// of the window, or the fixed text "X Y".
enum TPrintCell : uint8_t {
  // oscilloscope
  pcCurPos1Label,
  pcCurPos1Value,
  pcVoltCur1,
  pcVoltCh1,
  pcVoltValue1,
  pcCurPos2Label,
  pcCurPos2Value,
  pcVoltCur2,
  pcVoltCh2,
  pcVoltValue2,
  pcMeasType,
  pcMeasValA,
  pcMeasValB,
  pcDist1Value,
  pcDist2Value,
  pcVoltDistCh,
  pcVoltDistValue,
  // spectrum, rows 1 to 3
  pcMeasCur1,
  pcMeasCh1,
  pcFreq1,
  pcValue1,
  pcPhase1,
  pcMeasCur2,
  pcMeasCh2,
  pcFreq2,
  pcValue2,
  pcPhase2,
  pcMeasCur3,
  pcMeasCh3,
  pcFreq3,
  pcValue3,
  pcPhase3,
  // both
  pcCursorLetters,
};
struct TPrintBox {
  gui::TRect Box;
  TPrintCell Cell = pcCursorLetters;
};
// The oscilloscope's grid: four rows of a left and a right group.
std::vector<TPrintBox> TimePrintGrid(const TPageMetrics& m);
// The spectrum's grid: three rows of five boxes.
std::vector<TPrintBox> SpectrumPrintGrid(const TPageMetrics& m);

// The footer: the rule from the left margin to half of R, and the credit
// line's anchor (left, bottom).
struct TFooterLayout {
  gui::TPoint RuleFrom, RuleTo;
  gui::TPoint Text;
};
TFooterLayout FooterLayout(const TPageMetrics& m);
