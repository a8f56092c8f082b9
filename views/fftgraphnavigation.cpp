// Moving through the spectrum: zoom on both axes within the spectrum's
// limits, the two scroll bars, the cursors X, Y and T, panning, and the keys
// of the spectrum window. Every command ends by fitting both scroll bars to
// the new view, range and position together.
#include <cmath>

#include "formatting.h"
#include "formfftgraph.h"
#include "formtimegraph.h"
#include "spectrumnavigation.h"
#include "zelto.h"

void TfFFTGraph::BindNavigation() {
  BindClick(bZoomYIn, &TfFFTGraph::bZoomYInClick);
  BindClick(bZoomYOut, &TfFFTGraph::bZoomYOutClick);
  BindClick(bGotoT, &TfFFTGraph::bGotoCurClick);
  BindClick(bGotoTAndZoom, &TfFFTGraph::bGotoTAndZoomClick);
  sbScrollX->OnChange = [this](gui::TComponent*) {
    Plot->ViewStart = sbScrollX->Position();
    RepaintPlot();
  };
  sbScrollY->OnChange = [this](gui::TComponent*) {
    Plot->OffsetY = sbScrollY->Position();
    RepaintPlot();
  };
  sbScrollY->OnContextPopup = [this](gui::TComponent*, gui::TPoint, bool& handled) {
    sbScrollY->SetPosition(0);
    handled = true;
  };
  pbFFT->OnMouseDown = [this](gui::TComponent*, gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    pbFFTMouseDown(button, shift, x, y);
  };
  pbFFT->OnMouseMove = [this](gui::TComponent*, gui::TShiftState shift, int x, int y) { pbFFTMouseMove(shift, x, y); };
}

void TfFFTGraph::SyncScrollBars() {
  const TScrollSetting x = SpectrumScrollX(Plot->TotalBins, Plot->ViewWidth, Plot->ViewStart);
  sbScrollX->SetEnabled(x.Enabled);
  // The range and the position together: a position set against the range
  // of an earlier view would be clamped to that view's limit.
  if (x.Enabled) sbScrollX->SetParams(x.Position, x.Min, x.Max);
  sbScrollX->Repaint();
  const TScrollSetting y = SpectrumScrollY(LinearScale != 0, Plot->RefSpan, Plot->OffsetY);
  sbScrollY->SetParams(y.Position, y.Min, y.Max);
}

// Y zoom beyond its limits is refused silently.
void TfFFTGraph::bZoomYInClick(gui::TComponent*) { ApplyZoom(SpectrumZoomYIn(Plot->View(), Plot->RefSpan)); }

void TfFFTGraph::bZoomYOutClick(gui::TComponent*) { ApplyZoom(SpectrumZoomYOut(Plot->View(), Plot->RefSpan)); }

// The whole spectrum at the span of a full-scale signal at bin 2 in the
// unit of channel B's sensor; without a sensor on B that span would be 0,
// so channel A's sensor gives it.
void TfFFTGraph::bZoomAllClick(gui::TComponent*) {
  if (!TheCore) return;
  const uint8_t channel = TheCore->ShownConditions().SensorB.Sensitivity != 0 ? 1 : 0;
  ApplyZoom(TPlotView{0, Plot->TotalBins, 0, FullScaleSpan(2, channel)});
}

void TfFFTGraph::bZoomXYClick(gui::TComponent*) {
  ApplyZoom(ZoomToCursors(Plot->View(), Plot->DrawnBin(Plot->CursorX), Plot->DrawnBin(Plot->CursorY), Plot->TotalBins,
                          MinSpectrumViewWidth));
}

void TfFFTGraph::bGotoCurClick(gui::TComponent* sender) {
  const int tag = sender->Tag();
  const int32_t p = tag == 1 ? Plot->DrawnBin(Plot->CursorX) : tag == 2 ? Plot->DrawnBin(Plot->CursorY) : Plot->CursorT;
  Plot->ViewStart = CentredStart(p, Plot->ViewWidth, Plot->TotalBins);
  (tag == 1 ? Plot->ShowCursorX : tag == 2 ? Plot->ShowCursorY : Plot->ShowCursorT) = 1;
  ViewChanged();
}

void TfFFTGraph::bGotoTAndZoomClick(gui::TComponent*) {
  Plot->ShowCursorT = 1;
  ApplyZoom(SpectrumZoomToT(Plot->View(), Plot->CursorT, Plot->TotalBins));
}

void TfFFTGraph::pbFFTMouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (StartPan(shift, x)) return;
  // The cursor is counted from the view's start, whatever position a
  // disabled scroll bar still holds.
  if (Plot->HitTest(x, y) == 0 && button != gui::mbMiddle) {
    const int32_t bin = Round(x / Plot->PxPerBin) + Plot->ViewStart;
    if (button == gui::mbLeft) {
      Plot->CursorX = bin;
      Plot->ShowCursorX = 1;
    } else {
      Plot->CursorY = bin;
      Plot->ShowCursorY = 1;
    }
  }
  RefreshInfoPanel();
  PlotSpectrum(false);
}

void TfFFTGraph::pbFFTMouseMove(gui::TShiftState, int x, int) {
  if (!PanTo(x, Plot->PxPerBin, Plot->TotalBins)) return;
  SyncScrollBars();
  PlotSpectrum(false);
}

void TfFFTGraph::PlaceCursor(char letter, int32_t lowest) {
  const bool x = letter == 'X';
  const int32_t bin = AskCursorPosition(letter, CursorBin(letter));
  if (bin < lowest) return;
  (x ? Plot->CursorX : Plot->CursorY) = bin;
  (x ? Plot->ShowCursorX : Plot->ShowCursorY) = 1;
  RefreshInfoPanel();
  RepaintPlot();
}

// X and Y: with Ctrl, or while the cursor is hidden, the cursor-position
// dialog places it (a bin of 0 or less is ignored); otherwise the view goes
// to it. Ctrl+Tab goes to the oscilloscope while it is shown.
bool TfFFTGraph::ViewKey(gui::TVirtualKey key, bool ctrl) {
  if (key == 'X' || key == 'Y') {
    const bool shown = key == 'X' ? Plot->ShowCursorX : Plot->ShowCursorY;
    if (!ctrl && shown)
      bGotoCurClick(key == 'X' ? bGotoX : bGotoY);
    else
      PlaceCursor(static_cast<char>(key), 1);
    return true;
  }
  if (!ctrl) {
    if (key == 'T') bGotoCurClick(bGotoT);
    return key == 'T';
  }
  switch (key) {
    case 'U': bValueClick(bValue[0]); return true;
    case 'R': bRmsTypeClick(bRmsType); return true;
    case 'T': bGotoTAndZoomClick(bGotoTAndZoom); return true;
    case gui::VK_TAB:
      fTimeGraph && fTimeGraph->WindowVisible() ? bOscilloscopeClick(bOscilloscope) : bBalancingClick(bBalancing);
      return true;
    default: return false;
  }
}
