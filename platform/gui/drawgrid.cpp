#include "drawgrid.h"

#include <QScrollBar>

#include <algorithm>

#include "qtaccess_qt.h"
#include "safecall_qt.h"

namespace gui {

struct TDrawGrid::Impl {
  QScrollBar* Vertical = nullptr;
  QScrollBar* Horizontal = nullptr;
};

TDrawGrid::TDrawGrid(TComponent* owner) : TCustomControl(owner), FImpl(std::make_unique<Impl>()) {
  QWidget* w = detail::QtAccess::Widget(*this);
  FImpl->Vertical = new QScrollBar(Qt::Vertical, w);
  FImpl->Horizontal = new QScrollBar(Qt::Horizontal, w);
  for (QScrollBar* bar : {FImpl->Vertical, FImpl->Horizontal}) bar->setFocusPolicy(Qt::NoFocus);
  QObject::connect(FImpl->Vertical, &QScrollBar::valueChanged, FImpl->Vertical, [this](int v) {
    detail::SafeCall([this, v] { SetTopRow(FFixedRows + v); });
  });
  QObject::connect(FImpl->Horizontal, &QScrollBar::valueChanged, FImpl->Horizontal, [this](int v) {
    detail::SafeCall([this, v] { SetLeftCol(FFixedCols + v); });
  });
  FColWidths.assign(5, FDefaultColWidth);
  FRowHeights.assign(5, FDefaultRowHeight);
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 320, 120);
  LayoutScrollBars();
}

TDrawGrid::~TDrawGrid() = default;

void TDrawGrid::SetColCount(int count) {
  FColWidths.resize(static_cast<size_t>(std::max(count, FFixedCols + 1)), FDefaultColWidth);
  MoveTo(std::min(FCol, ColCount() - 1), FRow);
}

void TDrawGrid::SetRowCount(int count) {
  FRowHeights.resize(static_cast<size_t>(std::max(count, FFixedRows + 1)), FDefaultRowHeight);
  MoveTo(FCol, std::min(FRow, RowCount() - 1));
}

void TDrawGrid::SetFixedCols(int count) {
  FFixedCols = std::clamp(count, 0, ColCount() - 1);
  FLeftCol = std::max(FLeftCol, FFixedCols);
  MoveTo(std::max(FCol, FFixedCols), FRow);
}

void TDrawGrid::SetFixedRows(int count) {
  FFixedRows = std::clamp(count, 0, RowCount() - 1);
  FTopRow = std::max(FTopRow, FFixedRows);
  MoveTo(FCol, std::max(FRow, FFixedRows));
}

void TDrawGrid::SetDefaultColWidth(int width) {
  FDefaultColWidth = width;
  std::fill(FColWidths.begin(), FColWidths.end(), width);
  LayoutScrollBars();
  Invalidate();
}

void TDrawGrid::SetDefaultRowHeight(int height) {
  FDefaultRowHeight = height;
  std::fill(FRowHeights.begin(), FRowHeights.end(), height);
  LayoutScrollBars();
  Invalidate();
}

int TDrawGrid::ColWidths(int col) const {
  return col >= 0 && col < ColCount() ? FColWidths[static_cast<size_t>(col)] : 0;
}

void TDrawGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= ColCount()) return;
  FColWidths[static_cast<size_t>(col)] = width;
  LayoutScrollBars();
  Invalidate();
}

int TDrawGrid::RowHeights(int row) const {
  return row >= 0 && row < RowCount() ? FRowHeights[static_cast<size_t>(row)] : 0;
}

void TDrawGrid::SetRowHeights(int row, int height) {
  if (row < 0 || row >= RowCount()) return;
  FRowHeights[static_cast<size_t>(row)] = height;
  LayoutScrollBars();
  Invalidate();
}

void TDrawGrid::SetGridLineWidth(int width) {
  FLineWidth = std::max(0, width);
  LayoutScrollBars();
  Invalidate();
}

void TDrawGrid::SetOptions(TGridOptions options) {
  FOptions = options;
  FImpl->Vertical->setTracking((options & goThumbTracking) != 0);
  FImpl->Horizontal->setTracking((options & goThumbTracking) != 0);
  MoveTo(FCol, FRow);
}

void TDrawGrid::SetFixedColor(TColor color) {
  FFixedColor = color;
  Invalidate();
}

void TDrawGrid::SetScrollBars(TScrollStyle scrollBars) {
  FScrollBars = scrollBars;
  LayoutScrollBars();
}

TGridAxis TDrawGrid::ColAxis() const { return TGridAxis{FColWidths, FFixedCols, FLeftCol, FLineWidth}; }
TGridAxis TDrawGrid::RowAxis() const { return TGridAxis{FRowHeights, FFixedRows, FTopRow, FLineWidth}; }

int TDrawGrid::CellsWidth() const {
  return Width() - (FImpl->Vertical->isVisibleTo(detail::QtAccess::Widget(*this)) ? FImpl->Vertical->width() : 0);
}

int TDrawGrid::CellsHeight() const {
  return Height() -
         (FImpl->Horizontal->isVisibleTo(detail::QtAccess::Widget(*this)) ? FImpl->Horizontal->height() : 0);
}

int TDrawGrid::VisibleRowCount() const { return FullyVisibleCount(RowAxis(), CellsHeight(), FTopRow); }

// Shows a scroll bar where the cells do not fit, with the range of the
// first scrolled row or column.
void TDrawGrid::LayoutScrollBars() {
  const int extent = 16;
  QScrollBar* v = FImpl->Vertical;
  QScrollBar* h = FImpl->Horizontal;
  const bool wantV = FScrollBars == ssVertical || FScrollBars == ssBoth;
  const bool wantH = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
  const int maxTop = MaxFirst(RowAxis(), Height() - (wantH ? extent : 0));
  const int maxLeft = MaxFirst(ColAxis(), Width() - (wantV ? extent : 0));
  const bool showV = wantV && maxTop > FFixedRows;
  const bool showH = wantH && maxLeft > FFixedCols;
  v->setVisible(showV);
  h->setVisible(showH);
  v->setGeometry(Width() - extent, 0, extent, Height() - (showH ? extent : 0));
  h->setGeometry(0, Height() - extent, Width() - (showV ? extent : 0), extent);
  const QSignalBlocker bv(v), bh(h);
  const int lastTop = MaxFirst(RowAxis(), CellsHeight());
  const int lastLeft = MaxFirst(ColAxis(), CellsWidth());
  v->setRange(0, std::max(0, lastTop - FFixedRows));
  h->setRange(0, std::max(0, lastLeft - FFixedCols));
  FTopRow = std::clamp(FTopRow, FFixedRows, std::max(FFixedRows, lastTop));
  FLeftCol = std::clamp(FLeftCol, FFixedCols, std::max(FFixedCols, lastLeft));
  v->setValue(FTopRow - FFixedRows);
  h->setValue(FLeftCol - FFixedCols);
}

void TDrawGrid::SetTopRow(int row) {
  const int top = std::clamp(row, FFixedRows, std::max(FFixedRows, MaxFirst(RowAxis(), CellsHeight())));
  if (top == FTopRow) return;
  FTopRow = top;
  LayoutScrollBars();
  Invalidate();
}

void TDrawGrid::SetLeftCol(int col) {
  const int left = std::clamp(col, FFixedCols, std::max(FFixedCols, MaxFirst(ColAxis(), CellsWidth())));
  if (left == FLeftCol) return;
  FLeftCol = left;
  LayoutScrollBars();
  Invalidate();
}

void TDrawGrid::SetSelection(const TGridRect& selection) {
  FSelection = selection;
  FCol = selection.Left;
  FRow = selection.Top;
  ScrollIntoView();
  Invalidate();
}

void TDrawGrid::MoveTo(int col, int row) {
  FCol = std::clamp(col, FFixedCols, ColCount() - 1);
  FRow = std::clamp(row, FFixedRows, RowCount() - 1);
  if (FOptions & goRowSelect)
    FSelection = {FFixedCols, FRow, ColCount() - 1, FRow};
  else
    FSelection = {FCol, FRow, FCol, FRow};
  ScrollIntoView();
  LayoutScrollBars();
  Invalidate();
}

void TDrawGrid::TryMoveTo(int col, int row) {
  col = std::clamp(col, FFixedCols, ColCount() - 1);
  row = std::clamp(row, FFixedRows, RowCount() - 1);
  if (SelectCell(col, row)) MoveTo(col, row);
}

void TDrawGrid::ScrollIntoView() {
  if (FRow < FTopRow) FTopRow = FRow;
  while (FRow >= FTopRow + std::max(1, VisibleRowCount()) && FTopRow < FRow) ++FTopRow;
  if (FCol < FLeftCol) FLeftCol = FCol;
  while (FCol >= FLeftCol + std::max(1, FullyVisibleCount(ColAxis(), CellsWidth(), FLeftCol)) && FLeftCol < FCol)
    ++FLeftCol;
}

TRect TDrawGrid::CellRect(int col, int row) const {
  int x = -1, w = 0, y = -1, h = 0;
  for (const TGridSpan& s : VisibleSpans(ColAxis(), CellsWidth()))
    if (s.Index == col) x = s.Start, w = s.Size;
  for (const TGridSpan& s : VisibleSpans(RowAxis(), CellsHeight()))
    if (s.Index == row) y = s.Start, h = s.Size;
  if (x < 0 || y < 0) return {};
  return Bounds(x, y, w, h);
}

bool TDrawGrid::MouseToCell(int x, int y, int& col, int& row) const {
  col = CellAtPixel(ColAxis(), CellsWidth(), x);
  row = CellAtPixel(RowAxis(), CellsHeight(), y);
  return col >= 0 && row >= 0;
}

TGridDrawState TDrawGrid::StateOf(int col, int row) const {
  if (col < FFixedCols || row < FFixedRows) return gdFixed;
  TGridDrawState state = 0;
  if (col >= FSelection.Left && col <= FSelection.Right && row >= FSelection.Top && row <= FSelection.Bottom)
    state |= gdSelected;
  if (col == FCol && row == FRow && Focused()) state |= gdFocused;
  return state;
}

void TDrawGrid::DrawCell(int col, int row, TRect rect, TGridDrawState state) {
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

bool TDrawGrid::SelectCell(int col, int row) {
  bool canSelect = true;
  if (OnSelectCell) OnSelectCell(this, col, row, canSelect);
  return canSelect;
}

void TDrawGrid::Paint() {
  TCanvas& c = Canvas();
  c.Brush().Color = Color();
  c.Brush().Style = bsSolid;
  c.FillRect(ClientRect());
  const std::vector<TGridSpan> cols = VisibleSpans(ColAxis(), CellsWidth());
  const std::vector<TGridSpan> rows = VisibleSpans(RowAxis(), CellsHeight());
  for (const TGridSpan& r : rows) {
    for (const TGridSpan& k : cols) {
      const TRect rect = Bounds(k.Start, r.Start, k.Size, r.Size);
      const TGridDrawState state = StateOf(k.Index, r.Index);
      c.Font().Assign(Font());
      // A cell drawn with the canvas font shows a disabled grid greyed.
      if (!Enabled()) c.Font().SetColor(clGrayText);
      c.Brush().Style = bsSolid;
      c.Brush().Color = (state & gdFixed) ? FixedColor() : Color();
      if (FDefaultDrawing && (state & gdSelected)) {
        c.Brush().Color = clHighlight;
        c.Font().SetColor(clHighlightText);
      }
      if (FDefaultDrawing) c.FillRect(rect);
      DrawCell(k.Index, r.Index, rect, state);
      if (FDefaultDrawing && (state & gdFocused) && !(FOptions & goRowSelect)) c.DrawFocusRect(rect);
      if (FLineWidth <= 0) continue;
      const bool fixed = (state & gdFixed) != 0;
      c.Brush().Color = fixed ? clGray : clSilver;
      if (fixed ? (FOptions & goFixedVertLine) : (FOptions & goVertLine))
        c.FillRect(Bounds(rect.Right, rect.Top, FLineWidth, r.Size + FLineWidth));
      if (fixed ? (FOptions & goFixedHorzLine) : (FOptions & goHorzLine))
        c.FillRect(Bounds(rect.Left, rect.Bottom, k.Size + FLineWidth, FLineWidth));
    }
  }
}

void TDrawGrid::Resize() {
  LayoutScrollBars();
  TCustomControl::Resize();
}

void TDrawGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (CanFocus()) SetFocus();
  int col = 0, row = 0;
  if (button == mbLeft && MouseToCell(x, y, col, row) && col >= FFixedCols && row >= FFixedRows)
    TryMoveTo((FOptions & goRowSelect) ? FCol : col, row);
  TCustomControl::MouseDown(button, shift, x, y);
}

void TDrawGrid::KeyDown(TVirtualKey& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const int page = std::max(1, VisibleRowCount());
  switch (key) {
    case VK_UP: TryMoveTo(FCol, FRow - 1); break;
    case VK_DOWN: TryMoveTo(FCol, FRow + 1); break;
    case VK_LEFT: TryMoveTo(FCol - 1, FRow); break;
    case VK_RIGHT: TryMoveTo(FCol + 1, FRow); break;
    case VK_PRIOR: TryMoveTo(FCol, FRow - page); break;
    case VK_NEXT: TryMoveTo(FCol, FRow + page); break;
    case VK_HOME: TryMoveTo(FCol, FFixedRows); break;
    case VK_END: TryMoveTo(FCol, RowCount() - 1); break;
    default: break;
  }
}

bool TDrawGrid::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  if (TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  TryMoveTo(FCol, FRow + (wheelDelta < 0 ? 1 : -1));
  return true;
}

}  // namespace gui
