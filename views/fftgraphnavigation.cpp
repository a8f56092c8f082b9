// Moving through the spectrum: zoom on both axes and the history of views,
// the two scroll bars, the cursors X, Y and T, panning, the wheel and the
// shortcut keys. Every command ends by fitting both scroll bars to the new
// view, range and position together.
#include <cmath>

#include "formatting.h"
#include "formfftgraph.h"
#include "formtimegraph.h"
#include "spectrumnavigation.h"
#include "zelto.h"

TSpectrumView TfFFTGraph::View() const { return {Plot->ViewStart, Plot->ViewWidth, Plot->OffsetY, Plot->SpanY}; }

void TfFFTGraph::SetView(const TSpectrumView& v) {
  Plot->ViewStart = v.ViewStart;
  Plot->ViewWidth = v.ViewWidth;
  Plot->OffsetY = v.OffsetY;
  Plot->SpanY = v.SpanY;
}

void TfFFTGraph::BindNavigation() {
  const auto bind = [this](TBitmapButton* b, void (TfFFTGraph::*handler)(gui::TComponent*)) {
    b->OnClick = [this, handler](gui::TComponent* sender) { (this->*handler)(sender); };
  };
  bind(bZoomXIn, &TfFFTGraph::bZoomXInClick);
  bind(bZoomXOut, &TfFFTGraph::bZoomXOutClick);
  bind(bZoomYIn, &TfFFTGraph::bZoomYInClick);
  bind(bZoomYOut, &TfFFTGraph::bZoomYOutClick);
  bind(bZoomAll, &TfFFTGraph::bZoomAllClick);
  bind(bZoomPrev, &TfFFTGraph::bZoomPrevClick);
  bind(bZoomXY, &TfFFTGraph::bZoomXYClick);
  bind(bGotoT, &TfFFTGraph::bGotoCurClick);
  bind(bGotoX, &TfFFTGraph::bGotoCurClick);
  bind(bGotoY, &TfFFTGraph::bGotoCurClick);
  bind(bGotoTAndZoom, &TfFFTGraph::bGotoTAndZoomClick);
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
  pbFFT->OnMouseUp = [this](gui::TComponent*, gui::TMouseButton, gui::TShiftState, int, int) { DragAnchorX = -1; };
}

void TfFFTGraph::PushZoom() {
  ZoomHistory.Push(View());
  bZoomPrev->SetEnabled(true);
}

void TfFFTGraph::PopZoom() {
  const auto view = ZoomHistory.Pop();
  if (!view) return;
  SetView(*view);
  if (ZoomHistory.Count() == 0) bZoomPrev->SetEnabled(false);
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

void TfFFTGraph::bZoomXInClick(gui::TComponent*) {
  PushZoom();
  SetView(SpectrumZoomXIn(View(), Plot->TotalBins));
  RepaintPlot();
  SyncScrollBars();
}

void TfFFTGraph::bZoomXOutClick(gui::TComponent*) {
  PushZoom();
  SetView(SpectrumZoomXOut(View(), Plot->TotalBins));
  RepaintPlot();
  SyncScrollBars();
}

void TfFFTGraph::bZoomYInClick(gui::TComponent*) {
  const auto v = SpectrumZoomYIn(View(), Plot->RefSpan);
  if (!v) return;
  PushZoom();
  SetView(*v);
  RepaintPlot();
  SyncScrollBars();
}

void TfFFTGraph::bZoomYOutClick(gui::TComponent*) {
  const auto v = SpectrumZoomYOut(View(), Plot->RefSpan);
  if (!v) return;
  PushZoom();
  SetView(*v);
  RepaintPlot();
  SyncScrollBars();
}

// The whole spectrum at the span of a full-scale signal at bin 2 in the
// unit of channel B's sensor; without a sensor on B that span would be 0,
// so channel A's sensor gives it.
void TfFFTGraph::bZoomAllClick(gui::TComponent*) {
  if (!TheCore) return;
  PushZoom();
  const uint8_t channel = TheCore->VibSensorB.Sensitivity != 0 ? 1 : 0;
  SetView({0, Plot->TotalBins, 0, FullScaleSpan(2, channel)});
  RepaintPlot();
  SyncScrollBars();
}

void TfFFTGraph::bZoomPrevClick(gui::TComponent*) {
  PopZoom();
  RepaintPlot();
  SyncScrollBars();
}

void TfFFTGraph::bZoomXYClick(gui::TComponent*) {
  const auto v = SpectrumZoomToCursors(View(), Plot->CursorX, Plot->CursorY, Plot->TotalBins);
  if (!v) return;
  PushZoom();
  SetView(*v);
  RepaintPlot();
  SyncScrollBars();
}

void TfFFTGraph::bGotoCurClick(gui::TComponent* sender) {
  const int tag = sender->Tag();
  const int32_t p = tag == 1 ? Plot->CursorX : tag == 2 ? Plot->CursorY : Plot->CursorT;
  Plot->ViewStart = CentredStart(p, Plot->ViewWidth, Plot->TotalBins);
  (tag == 1 ? Plot->ShowCursorX : tag == 2 ? Plot->ShowCursorY : Plot->ShowCursorT) = 1;
  RepaintPlot();
  SyncScrollBars();
}

void TfFFTGraph::bGotoTAndZoomClick(gui::TComponent*) {
  PushZoom();
  SetView(SpectrumZoomToT(View(), Plot->CursorT, Plot->TotalBins));
  Plot->ShowCursorT = 1;
  RepaintPlot();
  SyncScrollBars();
}

void TfFFTGraph::pbFFTMouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (shift & gui::ssShift) {
    DragAnchorX = x;
    DragStartBin = Plot->ViewStart;
    return;
  }
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
  if (DragAnchorX == -1) return;
  const int32_t start = PannedStart(DragStartBin, DragAnchorX, x, Plot->PxPerBin, Plot->ViewWidth, Plot->TotalBins);
  Plot->ViewStart = start;
  SyncScrollBars();
  PlotSpectrum(false);
}

bool TfFFTGraph::DoMouseWheel(gui::TShiftState shift, int wheelDelta, gui::TPoint mousePos) {
  const gui::TPoint origin = pbFFT->ClientToScreen({0, 0});
  const bool over = mousePos.x >= origin.x && mousePos.x <= origin.x + pbFFT->Width() && mousePos.y >= origin.y &&
                    mousePos.y <= origin.y + pbFFT->Height();
  if (!over) return TWindowFrame::DoMouseWheel(shift, wheelDelta, mousePos);
  const bool vertical = (shift & gui::ssShift) != 0;
  if (wheelDelta > 0)
    vertical ? bZoomYInClick(this) : bZoomXInClick(this);
  else
    vertical ? bZoomYOutClick(this) : bZoomXOutClick(this);
  return true;
}

// X and Y: with Ctrl, or while the cursor is hidden, the cursor-position
// dialog places it; otherwise the view goes to it.
void TfFFTGraph::KeyCursor(char letter, bool ctrl) {
  const bool x = letter == 'X';
  const bool shown = x ? Plot->ShowCursorX : Plot->ShowCursorY;
  if (!ctrl && shown) {
    bGotoCurClick(x ? bGotoX : bGotoY);
    return;
  }
  const int32_t bin = AskCursorPosition(letter, x ? Plot->CursorX : Plot->CursorY);
  if (bin <= 0) return;
  (x ? Plot->CursorX : Plot->CursorY) = bin;
  (x ? Plot->ShowCursorX : Plot->ShowCursorY) = 1;
  RefreshInfoPanel();
  RepaintPlot();
}

void TfFFTGraph::KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) {
  const bool ctrl = (shift & gui::ssCtrl) != 0;
  const bool withShift = (shift & gui::ssShift) != 0;
  const auto ifEnabled = [](TBitmapButton* b) {
    if (b->Enabled()) b->Click();
  };
  if (key == 'X' || key == 'Y') {
    KeyCursor(static_cast<char>(key), ctrl);
  } else if (ctrl) {
    switch (key) {
      case 'I': withShift ? bZoomYInClick(bZoomYIn) : bZoomXInClick(bZoomXIn); break;
      case 'O': withShift ? bZoomYOutClick(bZoomYOut) : bZoomXOutClick(bZoomXOut); break;
      case 'U': bValueClick(bValue[0]); break;
      case 'R': bRmsTypeClick(bRmsType); break;
      case 'A': bZoomAllClick(bZoomAll); break;
      case 'W': bZoomXYClick(bZoomXY); break;
      case 'P': bZoomPrevClick(bZoomPrev); break;
      case 'T': bGotoTAndZoomClick(bGotoTAndZoom); break;
      case gui::VK_TAB:
        fTimeGraph && fTimeGraph->WindowVisible() ? bOscilloscopeClick(bOscilloscope) : bBalancingClick(bBalancing);
        break;
      default: break;
    }
  } else {
    switch (key) {
      case 'B': ifEnabled(bBalancing); break;
      case 'A': ifEnabled(bOscilloscope); break;
      case 'S': ifEnabled(bSetup); break;
      case gui::VK_SPACE: ifEnabled(bStartStop); break;
      case 'T': bGotoCurClick(bGotoT); break;
      default: break;
    }
  }
  TWindowFrame::KeyDown(key, shift);
}
