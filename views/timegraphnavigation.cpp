// Moving through the oscilloscope's record: zoom and going to a cursor with
// the record's limits, the scroll bar, cursors and panning with the mouse,
// and the keys X and Y. Every command ends by fitting the scroll bar to the
// new view: the bar holds its position within its range (up to the record's
// length less the view less one), so a view placed against the record's end
// moves one sample left, and the view always starts where the bar stands.
#include <cmath>

#include "formatting.h"
#include "formtimegraph.h"
#include "timenavigation.h"
#include "zelto.h"

void TfTimeGraph::SyncScrollBar() {
  const TScrollSetting s = TimeScrollSetting(Plot->TotalSamples, Plot->ViewWidth, Plot->ViewStart);
  sbScroll->SetEnabled(s.Enabled);
  if (s.Enabled) {
    // The range and the position together: a position set against the
    // range of an earlier view would be clamped to that view's limit.
    sbScroll->SetParams(s.Position, s.Min, s.Max);
    if (Plot->ViewStart != sbScroll->Position()) {
      Plot->ViewStart = sbScroll->Position();
      Redraw();
    }
  }
  sbScroll->Repaint();
}

void TfTimeGraph::sbScrollChange(gui::TComponent*) {
  Plot->ViewStart = sbScroll->Position();
  Redraw();
}

void TfTimeGraph::bZoomAllClick(gui::TComponent*) {
  TPlotView v = TimeZoomAll(Plot->View(), Plot->TotalSamples, FullScale());
  v.OffsetY = 0;
  ApplyZoom(v);
}

void TfTimeGraph::bZoomXYClick(gui::TComponent*) {
  const auto v = ZoomToCursors(Plot->View(), Plot->CursorXIndex, Plot->CursorYIndex, Plot->TotalSamples,
                               MinTimeViewWidth);
  if (!v) return;
  ApplyZoom(v);
  RefreshReadout();
}

void TfTimeGraph::bZoomInYClick(gui::TComponent*) { ApplyZoom(TimeZoomInY(Plot->View(), FullScale())); }

void TfTimeGraph::bZoomOutYClick(gui::TComponent*) { ApplyZoom(TimeZoomOutY(Plot->View(), FullScale())); }

void TfTimeGraph::bGotoCurClick(gui::TComponent* sender) {
  if (!TheCore) return;
  const int32_t p = sender->Tag() == 2 ? Plot->CursorYIndex : Plot->CursorXIndex;
  Plot->ViewStart = CentredStart(p, Plot->ViewWidth, Plot->TotalSamples);
  ViewChanged();
}

void TfTimeGraph::pbAnalogMouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (StartPan(shift, x)) return;
  if (Plot->HitTest(x, y) == 0 && button != gui::mbMiddle) {
    const int32_t index = Round(x / Plot->PxPerSample) + Plot->ViewStart;
    const int32_t value = Plot->PxPerCount > 0 ? Round(y / Plot->PxPerCount) : 0;
    if (button == gui::mbLeft) {
      Plot->ShowCursorX = 1;
      Plot->CursorXIndex = index;
      Plot->CursorXValue = value;
    } else {
      Plot->ShowCursorY = 1;
      Plot->CursorYIndex = index;
      Plot->CursorYValue = value;
    }
  }
  Redraw();
  RefreshReadout();
}

void TfTimeGraph::pbAnalogMouseMove(gui::TShiftState, int x, int) {
  if (!TheCore || !PanTo(x, Plot->PxPerSample, Plot->TotalSamples)) return;
  SyncScrollBar();
  Redraw();
}

// X and Y without Ctrl go to their cursor.
bool TfTimeGraph::ViewKey(gui::TVirtualKey key, bool ctrl) {
  if (ctrl || (key != 'X' && key != 'Y')) return false;
  bGotoCurClick(key == 'X' ? bGotoX : bGotoY);
  return true;
}
