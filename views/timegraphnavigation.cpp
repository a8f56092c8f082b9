// Moving through the oscilloscope's record: zoom and its history, going to a
// cursor, the scroll bar, cursors and panning with the mouse, the wheel and
// the shortcut keys. Every command ends by fitting the scroll bar to the new
// view: the bar holds its position within its range (up to the record's
// length less the view less one), so a view placed against the record's end
// moves one sample left, and the view always starts where the bar stands.
#include <cmath>

#include "formatting.h"
#include "formtimegraph.h"
#include "timenavigation.h"
#include "zelto.h"

namespace {

TTimeView ViewOf(const TDisplayA& p) { return {p.ViewStart, p.ViewWidth, p.SpanY}; }

}  // namespace

void TfTimeGraph::SetView(int32_t start, int32_t width) {
  Plot->ViewStart = start;
  Plot->ViewWidth = width;
}

void TfTimeGraph::PushZoom() {
  ZoomHistory.Push({Plot->ViewStart, Plot->ViewWidth});
  bZoomPrev->SetEnabled(true);
}

// A view saved before the record length changed is fitted to the record
// the plot shows now.
void TfTimeGraph::PopZoom() {
  const auto entry = ZoomHistory.Pop();
  if (!entry) return;
  const TTimeView v = FitTimeView({entry->Start, entry->Width, Plot->SpanY}, Plot->TotalSamples);
  SetView(v.Start, v.Width);
  if (ZoomHistory.Count() == 0) bZoomPrev->SetEnabled(false);
}

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

void TfTimeGraph::bZoomInXClick(gui::TComponent*) {
  PushZoom();
  const TTimeView v = TimeZoomIn(ViewOf(*Plot), Plot->TotalSamples);
  SetView(v.Start, v.Width);
  Redraw();
  SyncScrollBar();
}

void TfTimeGraph::bZoomOutXClick(gui::TComponent*) {
  PushZoom();
  const TTimeView v = TimeZoomOut(ViewOf(*Plot), Plot->TotalSamples);
  SetView(v.Start, v.Width);
  Redraw();
  SyncScrollBar();
}

void TfTimeGraph::bZoomAllClick(gui::TComponent*) {
  PushZoom();
  const TTimeView v = TimeZoomAll(ViewOf(*Plot), Plot->TotalSamples, FullScale());
  SetView(v.Start, v.Width);
  Plot->OffsetY = 0;
  Plot->SpanY = v.SpanY;
  Redraw();
  SyncScrollBar();
}

void TfTimeGraph::bZoomPrevClick(gui::TComponent*) {
  PopZoom();
  Redraw();
  SyncScrollBar();
}

void TfTimeGraph::bZoomXYClick(gui::TComponent*) {
  const auto v = TimeZoomToCursors(ViewOf(*Plot), Plot->CursorXIndex, Plot->CursorYIndex, Plot->TotalSamples);
  if (!v) return;
  PushZoom();
  SetView(v->Start, v->Width);
  Redraw();
  RefreshReadout();
  SyncScrollBar();
}

void TfTimeGraph::bZoomInYClick(gui::TComponent*) {
  PushZoom();
  Plot->SpanY = TimeZoomInY(ViewOf(*Plot), FullScale()).SpanY;
  Redraw();
  SyncScrollBar();
}

void TfTimeGraph::bZoomOutYClick(gui::TComponent*) {
  PushZoom();
  Plot->SpanY = TimeZoomOutY(ViewOf(*Plot), FullScale()).SpanY;
  Redraw();
  SyncScrollBar();
}

void TfTimeGraph::bGotoCurClick(gui::TComponent* sender) {
  if (!TheCore) return;
  const int32_t p = sender->Tag() == 2 ? Plot->CursorYIndex : Plot->CursorXIndex;
  Plot->ViewStart = CentredStart(p, Plot->ViewWidth, TheCore->BuffLength);
  Redraw();
  SyncScrollBar();
}

void TfTimeGraph::pbAnalogMouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (shift & gui::ssShift) {
    DragAnchorX = x;
    DragStartSample = Plot->ViewStart;
    return;
  }
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
  if (DragAnchorX == -1 || !TheCore) return;
  const int32_t start =
      PannedStart(DragStartSample, DragAnchorX, x, Plot->PxPerSample, Plot->ViewWidth, TheCore->BuffLength);
  Plot->ViewStart = start;
  SyncScrollBar();
  Redraw();
}

bool TfTimeGraph::DoMouseWheel(gui::TShiftState shift, int wheelDelta, gui::TPoint mousePos) {
  const gui::TPoint origin = pbAnalog->ClientToScreen({0, 0});
  const bool over = mousePos.x >= origin.x && mousePos.x <= origin.x + pbAnalog->Width() && mousePos.y >= origin.y &&
                    mousePos.y <= origin.y + pbAnalog->Height();
  if (!over) return TWindowFrame::DoMouseWheel(shift, wheelDelta, mousePos);
  const bool vertical = (shift & gui::ssShift) != 0;
  if (wheelDelta > 0)
    vertical ? bZoomInYClick(this) : bZoomInXClick(this);
  else
    vertical ? bZoomOutYClick(this) : bZoomOutXClick(this);
  return true;
}

void TfTimeGraph::KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) {
  const bool ctrl = (shift & gui::ssCtrl) != 0;
  const bool withShift = (shift & gui::ssShift) != 0;
  const auto ifEnabled = [](TBitmapButton* b) {
    if (b->Enabled()) b->Click();
  };
  if (ctrl) {
    switch (key) {
      case 'I': withShift ? bZoomInYClick(bZoomInY) : bZoomInXClick(bZoomInX); break;
      case 'O': withShift ? bZoomOutYClick(bZoomOutY) : bZoomOutXClick(bZoomOutX); break;
      case 'A': bZoomAllClick(bZoomAll); break;
      case 'W': bZoomXYClick(bZoomXY); break;
      case 'P': bZoomPrevClick(bZoomPrev); break;
      case gui::VK_TAB: bBalancingClick(bBalancing); break;
      default: break;
    }
  } else {
    switch (key) {
      case 'B': ifEnabled(bBalancing); break;
      case 'F': ifEnabled(bSpectrum); break;
      case 'S': ifEnabled(bSetup); break;
      case 'X': bGotoCurClick(bGotoX); break;
      case 'Y': bGotoCurClick(bGotoY); break;
      case gui::VK_SPACE: ifEnabled(bStartStop); break;
      default: break;
    }
  }
  TWindowFrame::KeyDown(key, shift);
}
