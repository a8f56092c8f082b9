#pragma once
// TDrawGrid: a grid of cells its owner draws. DrawCell (default: OnDrawCell)
// paints each visible cell on Canvas() with the cell's rectangle and state;
// before it the canvas has the grid's font and the brush colour of the cell
// (FixedColor for fixed cells, the highlight for selected cells when
// DefaultDrawing is on, else Color), and with DefaultDrawing the cell is
// filled with it. Fixed rows and columns stay while the rest scrolls. A
// click or a key moves the current cell after OnSelectCell allows it;
// goRowSelect selects whole rows.

#include <vector>

#include "customcontrol.h"
#include "gridlayout.h"
#include "memo.h"

namespace gui {

using TGridOptions = uint32_t;
constexpr TGridOptions goFixedVertLine = 0x0001;
constexpr TGridOptions goFixedHorzLine = 0x0002;
constexpr TGridOptions goVertLine = 0x0004;
constexpr TGridOptions goHorzLine = 0x0008;
constexpr TGridOptions goRangeSelect = 0x0010;
constexpr TGridOptions goDrawFocusSelected = 0x0020;
constexpr TGridOptions goRowSelect = 0x0040;
constexpr TGridOptions goThumbTracking = 0x0080;

using TGridDrawState = uint8_t;
constexpr TGridDrawState gdSelected = 0x01;
constexpr TGridDrawState gdFocused = 0x02;
constexpr TGridDrawState gdFixed = 0x04;

// Selected cells: columns Left..Right, rows Top..Bottom (inclusive).
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

using TDrawCellEvent =
    std::function<void(TComponent* sender, int col, int row, TRect rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(TComponent* sender, int col, int row, bool& canSelect)>;

class TDrawGrid : public TCustomControl {
 public:
  explicit TDrawGrid(TComponent* owner);
  ~TDrawGrid() override;

  int ColCount() const { return static_cast<int>(FColWidths.size()); }
  void SetColCount(int count);
  int RowCount() const { return static_cast<int>(FRowHeights.size()); }
  void SetRowCount(int count);
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int count);
  int FixedRows() const { return FFixedRows; }
  void SetFixedRows(int count);
  int DefaultColWidth() const { return FDefaultColWidth; }
  void SetDefaultColWidth(int width);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int height);
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int RowHeights(int row) const;
  void SetRowHeights(int row, int height);
  int GridLineWidth() const { return FLineWidth; }
  void SetGridLineWidth(int width);
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions options);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool on) { FDefaultDrawing = on; }
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor color);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle scrollBars);

  int Col() const { return FCol; }
  int Row() const { return FRow; }
  // Moves the current cell (no OnSelectCell), scrolling it into view.
  void SetCol(int col) { MoveTo(col, FRow); }
  void SetRow(int row) { MoveTo(FCol, row); }
  const TGridRect& Selection() const { return FSelection; }
  void SetSelection(const TGridRect& selection);
  int TopRow() const { return FTopRow; }
  void SetTopRow(int row);
  int LeftCol() const { return FLeftCol; }
  void SetLeftCol(int col);
  // How many scrolled rows show wholly.
  int VisibleRowCount() const;

  // The rectangle of a cell in client coordinates (empty when scrolled
  // away).
  TRect CellRect(int col, int row) const;
  // The cell at a client point; false when none.
  bool MouseToCell(int x, int y, int& col, int& row) const;

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;

 protected:
  virtual void DrawCell(int col, int row, TRect rect, TGridDrawState state);
  virtual bool SelectCell(int col, int row);
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(TVirtualKey& key, TShiftState shift) override;
  bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;

 private:
  struct Impl;
  void MoveTo(int col, int row);
  void TryMoveTo(int col, int row);
  void ScrollIntoView();
  void LayoutScrollBars();
  TGridDrawState StateOf(int col, int row) const;
  TGridAxis ColAxis() const;
  TGridAxis RowAxis() const;
  int CellsWidth() const;
  int CellsHeight() const;

  std::unique_ptr<Impl> FImpl;
  std::vector<int> FColWidths;
  std::vector<int> FRowHeights;
  int FFixedCols = 1;
  int FFixedRows = 1;
  int FDefaultColWidth = 64;
  int FDefaultRowHeight = 24;
  int FLineWidth = 1;
  TGridOptions FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
  bool FDefaultDrawing = true;
  TColor FFixedColor = clBtnFace;
  TScrollStyle FScrollBars = ssBoth;
  int FCol = 1;
  int FRow = 1;
  int FTopRow = 1;
  int FLeftCol = 1;
  TGridRect FSelection{1, 1, 1, 1};
};

}  // namespace gui
