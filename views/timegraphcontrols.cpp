#include "timegraphcontrols.h"

#include <algorithm>

#include "form.h"
#include "panel.h"

namespace {

void BuildReadout(TSignalViewControls& v, TTimeGraphControls& c, gui::TForm* f, gui::TPanel* panel) {
  BuildReadoutPanel(v, f, panel);
  gui::TWinControl* p = v.peInfo;
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

void BuildTimeGraphControls(TSignalViewControls& v, TTimeGraphControls& c, gui::TForm* form, gui::TPanel* panel) {
  c.pbAnalog = CreatePlotBox(form, panel, "pbAnalog");
  c.sbScroll = CreateViewScrollBar(form, panel, "sbScroll", false);
  c.sbScroll->SetPageSize(0);
  BuildSignalToolBar(v, form, panel,
                     {{"bZoomOutX", vgZoomOutX, &c.bZoomOutX},
                      {"bZoomInX", vgZoomInX, &c.bZoomInX},
                      {"bZoomOutY", vgZoomOutY, &c.bZoomOutY},
                      {"bZoomInY", vgZoomInY, &c.bZoomInY},
                      {"bZoomPrev", vgZoomPrev, &v.bZoomPrev},
                      {"bZoomAll", vgZoomAll, &v.bZoomAll},
                      {"bZoomXY", vgZoomXY, &v.bZoomXY},
                      {"bGotoX", vgGotoX, &v.bGotoX, 1},
                      {"bGotoY", vgGotoY, &v.bGotoY, 2},
                      {"bDisplayChannels", vgChannelsAB, &v.bDisplayChannels}},
                     {"bSpectrum", vgSpectrum, &c.bSpectrum});
  BuildStatusLine(v, form, panel);
  BuildReadout(v, c, form, panel);
}

void LayoutTimeGraph(TSignalViewControls& v, TTimeGraphControls& c, gui::TPanel* panel, int marginLeft,
                     int marginRight) {
  const int w = panel->Width();
  const int scrollTop = LayoutSignalPanels(v, panel) - c.sbScroll->Height() - 4;
  c.sbScroll->SetBounds(marginLeft + 6, scrollTop, std::max(0, w - 10 - marginLeft - marginRight - 2),
                        c.sbScroll->Height());
  c.pbAnalog->SetBounds(5, 5, std::max(0, w - 10), std::max(0, scrollTop - 6));
}
