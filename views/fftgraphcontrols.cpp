#include "fftgraphcontrols.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "form.h"
#include "panel.h"

namespace {

void BuildToolBar(TFFTGraphControls& c, gui::TForm* f, gui::TPanel* panel) {
  c.peButtons = CreateViewPanel(f, panel, "peButtons", 770, 35, ToolBarFace, ToolBarBorder);
  gui::TWinControl* bar = c.peButtons;
  int i = 0;
  const auto next = [&](const char* name, TViewGlyph glyph) {
    return CreateToolButton(f, bar, name, 4 + 28 * i++, glyph);
  };
  c.bZoomXOut = next("bZoomXOut", vgZoomOutX);
  c.bZoomXIn = next("bZoomXIn", vgZoomInX);
  c.bZoomYOut = next("bZoomYOut", vgZoomOutY);
  c.bZoomYIn = next("bZoomYIn", vgZoomInY);
  c.bZoomXY = next("bZoomXY", vgZoomXY);
  c.bZoomPrev = next("bZoomPrev", vgZoomPrev);
  c.bZoomAll = next("bZoomAll", vgZoomAll);
  c.bLogLin = next("bLogLin", vgLogLin);
  c.bGotoT = next("bGotoT", vgGotoT);
  c.bGotoX = next("bGotoX", vgGotoX);
  c.bGotoX->SetTag(1);
  c.bGotoY = next("bGotoY", vgGotoY);
  c.bGotoY->SetTag(2);
  c.bGotoTAndZoom = next("bGotoTAndZoom", vgGotoTAndZoom);
  c.bDisplayChannels = next("bDisplayChannels", vgChannelsAB);
  c.bDisplayChannels->SetTag(2);
  const int startStop = 770 - 4 - 70;
  const auto right = [&](const char* name, int k, TViewGlyph glyph) {
    return CreateToolButton(f, bar, name, startStop - 28 * k, glyph);
  };
  c.bAsyncFile = right("bAsyncFile", 6, vgAsyncFile);
  c.bPrint = right("bPrint", 5, vgPrint);
  c.bSetup = right("bSetup", 4, vgSetup);
  c.bBalancing = right("bBalancing", 3, vgBalancing);
  c.bOscilloscope = right("bOscilloscope", 2, vgOscilloscope);
  c.bStartStop = CreateToolButton(f, bar, "bStartStop", startStop, vgStart);
  c.bStartStop->SetWidth(70);
  c.bStartStop->Font().SetStyle(gui::fsBold);
  c.bStartStop->SetGap(4);
}

void BuildRows(TFFTGraphControls& c, gui::TForm* f) {
  gui::TWinControl* p = c.peInfo;
  const std::array<int, 3> lefts = {3, 259, 514};
  const std::array<int, 3> phaseWidths = {47, 46, 47};
  for (int r = 0; r < 3; ++r) {
    const std::string n = std::to_string(r + 1);
    const int x = lefts[static_cast<size_t>(r)];
    c.bMeasCur[r] = CreateReadoutButton(f, p, ("bMeasCur" + n).c_str(), x, 3, 20, true);
    c.bMeasCur[r]->Font().SetStyle(gui::fsBold);
    c.bMeasCh[r] = CreateReadoutButton(f, p, ("bMeasCh" + n).c_str(), x + 20, 3, 20, true);
    c.bFreq[r] = CreateReadoutButton(f, p, ("bFreq" + n).c_str(), x + 40, 3, 70, false);
    c.bValue[r] = CreateReadoutButton(f, p, ("bValue" + n).c_str(), x + 110, 3, 96, false);
    c.pePhase[r] = CreateReadoutPanel(f, p, ("pePhase" + n).c_str(), x + 206, 3, phaseWidths[static_cast<size_t>(r)]);
    for (gui::TControl* control :
         std::initializer_list<gui::TControl*>{c.bMeasCur[r], c.bMeasCh[r], c.bFreq[r], c.bValue[r], c.pePhase[r]})
      control->SetTag(r + 1);
  }
}

void BuildReadout(TFFTGraphControls& c, gui::TForm* f, gui::TPanel* panel) {
  c.peInfo = CreateViewPanel(f, panel, "peInfo", 770, 48, ToolBarFace, ToolBarBorder);
  BuildRows(c, f);
  gui::TWinControl* p = c.peInfo;
  c.bRmsType = CreateReadoutButton(f, p, "bRmsType", 3, 25, 147, true);
  c.bRmsType->SetTag(3);
  c.bRmsValueA = CreateReadoutButton(f, p, "bRmsValueA", 150, 25, 110, false);
  c.bRmsValueB = CreateReadoutButton(f, p, "bRmsValueB", 260, 25, 110, false);
  c.bSpectrumType = CreateReadoutButton(f, p, "bSpectrumType", 373, 25, 64, true);
  c.bSpectrumType->SetTag(3);
  c.bWindowType = CreateReadoutButton(f, p, "bWindowType", 437, 25, 121, false);
  c.pProgressLabel = CreateReadoutPanel(f, p, "pProgressLabel", 561, 25, 20);
  c.pProgressLabel->SetCaptionW(u"%");
  c.pProgressValue = CreateReadoutPanel(f, p, "pProgressValue", 581, 25, 186);
  c.pbProgress = new gui::TProgressBar(f);
  c.pbProgress->SetParent(c.pProgressValue);
  c.pbProgress->SetName("pbProgress");
  c.pbProgress->SetBounds(3, 3, 180, 14);
  c.pbProgress->SetRange(0, 100);
  c.pbProgress->SetShowHint(true);
}

}  // namespace

void BuildFFTGraphControls(TFFTGraphControls& c, gui::TForm* form, gui::TPanel* panel) {
  c.pbFFT = new gui::TPaintBox(form);
  c.pbFFT->SetParent(panel);
  c.pbFFT->SetName("pbFFT");
  c.sbScrollX = new gui::TScrollBar(form);
  c.sbScrollX->SetParent(panel);
  c.sbScrollX->SetName("sbScrollX");
  c.sbScrollX->SetHeight(16);
  c.sbScrollX->SetTabStop(false);
  c.sbScrollY = new gui::TScrollBar(form);
  c.sbScrollY->SetParent(panel);
  c.sbScrollY->SetName("sbScrollY");
  c.sbScrollY->SetKind(gui::sbVertical);
  c.sbScrollY->SetWidth(16);
  c.sbScrollY->SetTabStop(false);
  BuildToolBar(c, form, panel);
  BuildStatusLine(c, form, panel);
  BuildReadout(c, form, panel);
  c.tProgress = new gui::TTimer(form);
  c.tProgress->SetName("tProgress");
  c.tProgress->SetInterval(333);
  c.tProgress->SetEnabled(false);
}

void LayoutFFTGraph(TFFTGraphControls& c, gui::TPanel* panel, int marginLeft, int marginRight) {
  const int w = panel->Width(), h = panel->Height();
  c.peInfo->SetBounds(5, h - c.peInfo->Height() - 5, c.peInfo->Width(), c.peInfo->Height());
  c.peStatus->SetBounds(5, c.peInfo->Top() - c.peStatus->Height() - 4, c.peStatus->Width(), c.peStatus->Height());
  c.peButtons->SetBounds(5, c.peStatus->Top() - c.peButtons->Height() - 4, c.peButtons->Width(), c.peButtons->Height());
  const int barWidth = c.sbScrollY->Width();
  const int scrollTop = c.peButtons->Top() - c.sbScrollX->Height() - 4;
  c.sbScrollX->SetBounds(marginLeft + 6, scrollTop, std::max(0, w - 10 - marginLeft - marginRight - barWidth - 4),
                         c.sbScrollX->Height());
  c.pbFFT->SetBounds(5, 5, std::max(0, w - 10 - barWidth - 2), std::max(0, scrollTop - 6));
  c.sbScrollY->SetBounds(w - 5 - barWidth - 1, 5, barWidth, std::max(0, c.pbFFT->Height() - 1));
}
