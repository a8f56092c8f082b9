#include "timegraphcontrols.h"

#include <algorithm>

#include "form.h"
#include "panel.h"

namespace {

void BuildToolBar(TTimeGraphControls& c, gui::TForm* f, gui::TPanel* panel) {
  c.peButtons = CreateViewPanel(f, panel, "peButtons", 770, 35, ToolBarFace, ToolBarBorder);
  gui::TWinControl* bar = c.peButtons;
  const auto left = [](int i) { return 4 + 28 * i; };
  c.bZoomOutX = CreateToolButton(f, bar, "bZoomOutX", left(0), vgZoomOutX);
  c.bZoomInX = CreateToolButton(f, bar, "bZoomInX", left(1), vgZoomInX);
  c.bZoomOutY = CreateToolButton(f, bar, "bZoomOutY", left(2), vgZoomOutY);
  c.bZoomInY = CreateToolButton(f, bar, "bZoomInY", left(3), vgZoomInY);
  c.bZoomPrev = CreateToolButton(f, bar, "bZoomPrev", left(4), vgZoomPrev);
  c.bZoomAll = CreateToolButton(f, bar, "bZoomAll", left(5), vgZoomAll);
  c.bZoomXY = CreateToolButton(f, bar, "bZoomXY", left(6), vgZoomXY);
  c.bGotoX = CreateToolButton(f, bar, "bGotoX", left(7), vgGotoX);
  c.bGotoX->SetTag(1);
  c.bGotoY = CreateToolButton(f, bar, "bGotoY", left(8), vgGotoY);
  c.bGotoY->SetTag(2);
  c.bDisplayChannels = CreateToolButton(f, bar, "bDisplayChannels", left(9), vgChannelsAB);
  const int startStop = 770 - 4 - 70;
  const auto right = [startStop](int i) { return startStop - 28 * i; };
  c.bAsyncFile = CreateToolButton(f, bar, "bAsyncFile", right(6), vgAsyncFile);
  c.bPrint = CreateToolButton(f, bar, "bPrint", right(5), vgPrint);
  c.bSetup = CreateToolButton(f, bar, "bSetup", right(4), vgSetup);
  c.bBalancing = CreateToolButton(f, bar, "bBalancing", right(3), vgBalancing);
  c.bSpectrum = CreateToolButton(f, bar, "bSpectrum", right(2), vgSpectrum);
  c.bStartStop = CreateToolButton(f, bar, "bStartStop", startStop, vgStart);
  c.bStartStop->SetWidth(70);
  c.bStartStop->Font().SetStyle(gui::fsBold);
  c.bStartStop->SetGap(4);
}

void BuildReadout(TTimeGraphControls& c, gui::TForm* f, gui::TPanel* panel) {
  c.peInfo = CreateViewPanel(f, panel, "peInfo", 770, 48, ToolBarFace, ToolBarBorder);
  gui::TWinControl* p = c.peInfo;
  const auto letter = [&](const char* name, int left, int top, int tag) {
    TBitmapButton* b = CreateReadoutButton(f, p, name, left, top, 20, true);
    b->SetTag(tag);
    return b;
  };
  const auto value = [&](const char* name, int left, int top, int width, int tag) {
    TBitmapButton* b = CreateReadoutButton(f, p, name, left, top, width, false);
    b->SetTag(tag);
    return b;
  };
  c.bCurPos1Label = letter("bCurPos1Label", 3, 3, 1);
  c.bCurPos1Value = value("bCurPos1Value", 23, 3, 168, 0);
  c.bVoltCur1 = letter("bVoltCur1", 193, 3, 1);
  c.bVoltCh1 = letter("bVoltCh1", 213, 3, 1);
  c.bVoltValue1 = value("bVoltValue1", 233, 3, 151, 0);
  c.bCurPos2Label = letter("bCurPos2Label", 386, 3, 2);
  c.bCurPos2Value = value("bCurPos2Value", 406, 3, 168, 0);
  c.bVoltCur2 = letter("bVoltCur2", 576, 3, 2);
  c.bVoltCh2 = letter("bVoltCh2", 596, 3, 2);
  c.bVoltValue2 = value("bVoltValue2", 616, 3, 151, 0);
  for (TBitmapButton* b : {c.bCurPos1Label, c.bCurPos2Label}) b->Font().SetStyle(gui::fsBold);
  // The cursor times are shown, not clicked.
  for (TBitmapButton* b : {c.bCurPos1Value, c.bCurPos2Value}) {
    b->SetStyle(bsPanel);
    b->SetFlat(true);
  }
  c.bMeasType = CreateReadoutButton(f, p, "bMeasType", 3, 25, 49, true);
  c.bMeasValA = value("bMeasValA", 52, 25, 102, 0);
  c.bMeasValB = value("bMeasValB", 154, 25, 102, 0);
  c.pDist1Cursors = CreateReadoutPanel(f, p, "pDist1Cursors", 258, 25, 33);
  c.lDist1CurX = CreateReadoutLabel(f, c.pDist1Cursors, "lDist1CurX", 5, u"X");
  c.lDist1CurY = CreateReadoutLabel(f, c.pDist1Cursors, "lDist1CurY", 18, u"Y");
  c.bDist1Value = value("bDist1Value", 291, 25, 129, 1);
  c.pDist2Cursors = CreateReadoutPanel(f, p, "pDist2Cursors", 422, 25, 33);
  c.lDist2CurX = CreateReadoutLabel(f, c.pDist2Cursors, "lDist2CurX", 5, u"X");
  c.lDist2CurY = CreateReadoutLabel(f, c.pDist2Cursors, "lDist2CurY", 18, u"Y");
  c.bDist2Value = value("bDist2Value", 455, 25, 129, 2);
  c.pVoltDistCursors = CreateReadoutPanel(f, p, "pVoltDistCursors", 586, 25, 33);
  c.lVoltCurX = CreateReadoutLabel(f, c.pVoltDistCursors, "lVoltCurX", 5, u"X");
  c.lVoltCurY = CreateReadoutLabel(f, c.pVoltDistCursors, "lVoltCurY", 18, u"Y");
  c.bVoltDistCh = letter("bVoltDistCh", 619, 25, 0);
  c.bVoltDistValue = value("bVoltDistValue", 638, 25, 129, 0);
}

}  // namespace

void BuildTimeGraphControls(TTimeGraphControls& c, gui::TForm* form, gui::TPanel* panel) {
  c.pbAnalog = new gui::TPaintBox(form);
  c.pbAnalog->SetParent(panel);
  c.pbAnalog->SetName("pbAnalog");
  c.sbScroll = new gui::TScrollBar(form);
  c.sbScroll->SetParent(panel);
  c.sbScroll->SetName("sbScroll");
  c.sbScroll->SetHeight(16);
  c.sbScroll->SetPageSize(0);
  c.sbScroll->SetTabStop(false);
  BuildToolBar(c, form, panel);
  BuildStatusLine(c, form, panel);
  BuildReadout(c, form, panel);
}

void LayoutTimeGraph(TTimeGraphControls& c, gui::TPanel* panel, int marginLeft, int marginRight) {
  const int w = panel->Width(), h = panel->Height();
  c.peInfo->SetBounds(5, h - c.peInfo->Height() - 5, c.peInfo->Width(), c.peInfo->Height());
  c.peStatus->SetBounds(5, c.peInfo->Top() - c.peStatus->Height() - 4, c.peStatus->Width(), c.peStatus->Height());
  c.peButtons->SetBounds(5, c.peStatus->Top() - c.peButtons->Height() - 4, c.peButtons->Width(), c.peButtons->Height());
  const int scrollTop = c.peButtons->Top() - c.sbScroll->Height() - 4;
  c.sbScroll->SetBounds(marginLeft + 6, scrollTop, std::max(0, w - 10 - marginLeft - marginRight - 2),
                        c.sbScroll->Height());
  c.pbAnalog->SetBounds(5, 5, std::max(0, w - 10), std::max(0, scrollTop - 6));
}
