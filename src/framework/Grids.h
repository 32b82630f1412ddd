// Grids the framework draws itself: rows and columns of cells with fixed
// (heading) rows and columns at the top and left, a current cell moved by
// the mouse and the keyboard, and scrolling by the window's scroll bars.
#pragma once

#include <algorithm>
#include <vector>

#include "framework/CommonControls.h"

namespace nuvskin {

enum TGridOption { goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
                   goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect,
                   goAlwaysShowEditor, goThumbTracking };
NUV_ENUM(TGridOption, "goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
         "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving", "goEditing", "goTabs",
         "goRowSelect", "goAlwaysShowEditor", "goThumbTracking");
using TGridOptions = Set<TGridOption>;

enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
NUV_ENUM(TGridDrawStateFlag, "gdSelected", "gdFocused", "gdFixed");
using TGridDrawState = Set<TGridDrawStateFlag>;


// A block of cells: Left/Right are columns, Top/Bottom rows, inclusive.
struct TGridRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TGridRect&) const = default;
};

class TCustomGrid;

// The text editor over the current cell of a grid with goEditing: F2, Enter
// or a typed character opens it; Enter keeps the text, Esc drops it.
class TInplaceEdit : public TWinControl {
  NUV_CLASS(TInplaceEdit, TWinControl)
  explicit TInplaceEdit(TComponent* owner);
  TCustomGrid* Grid() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  bool DoKeyDown(WORD& key, TShiftState shift) override;
};

class TCustomGrid : public TCustomControl {
  NUV_CLASS(TCustomGrid, TCustomControl)
  explicit TCustomGrid(TComponent* owner);

  int ColCount() const { return colCount_; }
  void SetColCount(int value);
  int RowCount() const { return rowCount_; }
  void SetRowCount(int value);
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int value);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int value);
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor value);
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int value);  // resets every column's width
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int value);  // resets every row's height
  int ColWidths(int index) const;
  void SetColWidths(int index, int value);
  int RowHeights(int index) const;
  void SetRowHeights(int index, int value);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int value);
  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  // Fill cells with their colours and draw texts before OnDrawCell (true by default).
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool value);

  // The current cell.
  int Col() const { return col_; }
  void SetCol(int value) { FocusCell(value, row_, true); }
  int Row() const { return row_; }
  void SetRow(int value) { FocusCell(col_, value, true); }
  // The selected block (the current cell, or a range with goRangeSelect).
  TGridRect Selection() const;
  void SetSelection(const TGridRect& value);
  // The first scrollable row and column shown.
  int TopRow() const { return topRow_; }
  void SetTopRow(int value) { ScrollTo(leftCol_, value); }
  int LeftCol() const { return leftCol_; }
  void SetLeftCol(int value) { ScrollTo(value, topRow_); }
  int VisibleRowCount();
  int VisibleColCount();

  // Whether the in-place editor is shown over the current cell.
  bool EditorMode() const;
  void SetEditorMode(bool value);
  TInplaceEdit* InplaceEditor() const { return editor_; }

  // A cell's rectangle in the client area; empty when it is not shown.
  RECT CellRect(int col, int row);
  // The cell at a client point; false outside every cell.
  bool MouseToCell(int x, int y, int& col, int& row);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Resize() override;
  bool DoKeyDown(WORD& key, TShiftState shift) override;
  bool DoKeyPress(wchar_t& key) override;
  // The text the in-place editor starts with, and where its result goes.
  virtual std::wstring GetEditText(int col, int row);
  virtual void SetEditText(int col, int row, const std::wstring& value);
  virtual bool CanEditShow() const;
  // Draws one cell's content inside `rect` (the canvas is already filled).
  virtual void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) = 0;
  virtual bool SelectCell(int col, int row);
  virtual void ColCountChanged() {}
  virtual void RowCountChanged() {}
  // Moves the current cell (and, unless `moveAnchor` is false, the range anchor).
  void FocusCell(int col, int row, bool moveAnchor);
  void InvalidateCells(const TGridRect& cells);

 private:
  friend class TInplaceEdit;
  // Shown columns (rows) in screen order: the fixed ones, then the scrolled
  // ones from LeftCol (TopRow).
  int FirstShownCol() const { return fixedCols_ > 0 ? 0 : leftCol_; }
  int NextShownCol(int c) const { return c + 1 == fixedCols_ ? std::max(c + 1, leftCol_) : c + 1; }
  int FirstShownRow() const { return fixedRows_ > 0 ? 0 : topRow_; }
  int NextShownRow(int r) const { return r + 1 == fixedRows_ ? std::max(r + 1, topRow_) : r + 1; }
  // The column (row) whose right (bottom) grid line is at a client point in
  // the fixed cells, for goColSizing (goRowSizing).
  bool SizingLineAt(int x, int y, bool& column, int& index);
  void ShowEditor();
  // Takes the editor away, keeping its text in the cell when `keep`.
  void HideEditor(bool keep);
  void ScrollTo(int leftCol, int topRow);
  void MakeVisible(int col, int row);
  void UpdateScrollBars();
  void ScrollMessage(int bar, WORD code);
  int MaxTopRow();
  int MaxLeftCol();
  void KeyMove(WORD key, TShiftState shift);
  // How many whole scrollable rows (columns) fit from `top` (`left`) on.
  int RowsFitFrom(int top);
  int ColsFitFrom(int left);
  int colCount_ = 5, rowCount_ = 5, fixedCols_ = 1, fixedRows_ = 1;
  int defaultColWidth_ = 64, defaultRowHeight_ = 24, gridLineWidth_ = 1;
  std::vector<int> colWidths_, rowHeights_;
  TColor fixedColor_ = clBtnFace;
  TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TScrollStyle scrollBars_ = ssBoth;
  TBorderStyle borderStyle_ = bsSingle;
  int col_ = 1, row_ = 1, anchorCol_ = 1, anchorRow_ = 1;
  int topRow_ = 1, leftCol_ = 1;
  bool defaultDrawing_ = true;
  bool updatingScrollBars_ = false;
  TInplaceEdit* editor_ = nullptr;
  bool hidingEditor_ = false;
  bool selecting_ = false;  // the left button is down over the cells
  struct Sizing {
    bool active = false, column = false;
    int index = 0, start = 0, startSize = 0;
  } sizing_;
};

using TDrawCellEvent = Event<void(TObject* Sender, int ACol, int ARow, RECT Rect, TGridDrawState State)>;
using TSelectCellEvent = Event<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

// A grid whose cells the application draws (OnDrawCell).
class TCustomDrawGrid : public TCustomGrid {
  NUV_CLASS(TCustomDrawGrid, TCustomGrid)
  using TCustomGrid::TCustomGrid;

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;

 protected:
  void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
  bool SelectCell(int col, int row) override;
};

class TDrawGrid : public TCustomDrawGrid {
  NUV_CLASS(TDrawGrid, TCustomDrawGrid)
  static void Publish(ClassBuilder<TDrawGrid>& b);
  using TCustomDrawGrid::TCustomDrawGrid;
};

// A grid of texts.
class TStringGrid : public TDrawGrid {
  NUV_CLASS(TStringGrid, TDrawGrid)
  using TDrawGrid::TDrawGrid;

  // The text of a cell; empty outside the grid.
  std::wstring Cells(int col, int row) const;
  // Raises EInvalidOperation outside the grid.
  void SetCells(int col, int row, const std::wstring& value);

 protected:
  void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
  std::wstring GetEditText(int col, int row) override { return Cells(col, row); }
  void SetEditText(int col, int row, const std::wstring& value) override { SetCells(col, row, value); }
  // Texts of cells that left the grid go with them.
  void ColCountChanged() override;
  void RowCountChanged() override;

 private:
  // Row-major, as large as the grid ever was in each direction.
  std::vector<std::vector<std::wstring>> cells_;
};

}  // namespace nuvskin
