#include "fftgraphcontrols.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "form.h"
#include "panel.h"

namespace {

void BuildRows(TSignalViewControls& v, TFFTGraphControls& c, gui::TForm* f) {
  gui::TWinControl* p = v.peInfo;
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

void BuildReadout(TSignalViewControls& v, TFFTGraphControls& c, gui::TForm* f, gui::TPanel* panel) {
  BuildReadoutPanel(v, f, panel);
  BuildRows(v, c, f);
  gui::TWinControl* p = v.peInfo;
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

void BuildFFTGraphControls(TSignalViewControls& v, TFFTGraphControls& c, gui::TForm* form, gui::TPanel* panel) {
  c.pbFFT = CreatePlotBox(form, panel, "pbFFT");
  c.sbScrollX = CreateViewScrollBar(form, panel, "sbScrollX", false);
  c.sbScrollY = CreateViewScrollBar(form, panel, "sbScrollY", true);
  BuildSignalToolBar(v, form, panel,
                     {{"bZoomXOut", vgZoomOutX, &c.bZoomXOut},
                      {"bZoomXIn", vgZoomInX, &c.bZoomXIn},
                      {"bZoomYOut", vgZoomOutY, &c.bZoomYOut},
                      {"bZoomYIn", vgZoomInY, &c.bZoomYIn},
                      {"bZoomXY", vgZoomXY, &v.bZoomXY},
                      {"bZoomPrev", vgZoomPrev, &v.bZoomPrev},
                      {"bZoomAll", vgZoomAll, &v.bZoomAll},
                      {"bLogLin", vgLogLin, &c.bLogLin},
                      {"bGotoT", vgGotoT, &c.bGotoT},
                      {"bGotoX", vgGotoX, &v.bGotoX, 1},
                      {"bGotoY", vgGotoY, &v.bGotoY, 2},
                      {"bGotoTAndZoom", vgGotoTAndZoom, &c.bGotoTAndZoom},
                      {"bDisplayChannels", vgChannelsAB, &v.bDisplayChannels, 2}},
                     {"bOscilloscope", vgOscilloscope, &c.bOscilloscope});
  BuildStatusLine(v, form, panel);
  BuildReadout(v, c, form, panel);
  c.tProgress = new gui::TTimer(form);
  c.tProgress->SetName("tProgress");
  c.tProgress->SetInterval(333);
  c.tProgress->SetEnabled(false);
}

void LayoutFFTGraph(TSignalViewControls& v, TFFTGraphControls& c, gui::TPanel* panel, int marginLeft,
                    int marginRight) {
  const int w = panel->Width();
  const int barWidth = c.sbScrollY->Width();
  const int scrollTop = LayoutSignalPanels(v, panel) - c.sbScrollX->Height() - 4;
  c.sbScrollX->SetBounds(marginLeft + 6, scrollTop, std::max(0, w - 10 - marginLeft - marginRight - barWidth - 4),
                         c.sbScrollX->Height());
  c.pbFFT->SetBounds(5, 5, std::max(0, w - 10 - barWidth - 2), std::max(0, scrollTop - 6));
  c.sbScrollY->SetBounds(w - 5 - barWidth - 1, 5, barWidth, std::max(0, c.pbFFT->Height() - 1));
}
