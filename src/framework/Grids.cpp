#include "framework/Grids.h"

#include <algorithm>

namespace nuvskin {

namespace {

bool Contains(const TGridRect& r, int col, int row) {
  return col >= r.Left && col <= r.Right && row >= r.Top && row <= r.Bottom;
}

}  // namespace

// --- TInplaceEdit -----------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomGrid* TInplaceEdit::Grid() const { return dynamic_cast<TCustomGrid*>(Parent()); }

void TInplaceEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = L"EDIT";
  params.Style |= ES_AUTOHSCROLL;
}

void TInplaceEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      // Enter, Esc and Tab belong to the editor, not to the form's buttons.
      m.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
      return;
    case WM_CHAR:
      if (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE || m.WParam == VK_TAB) {
        m.Result = 0;  // no beep: DoKeyDown already acted
        return;
      }
      break;
    case WM_KILLFOCUS:
      TWinControl::WndProc(m);
      if (TCustomGrid* grid = Grid()) grid->HideEditor(true);
      return;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

bool TInplaceEdit::DoKeyDown(WORD& key, TShiftState shift) {
  if (TWinControl::DoKeyDown(key, shift)) return true;
  TCustomGrid* grid = Grid();
  if (!grid) return false;
  switch (key) {
    case VK_RETURN:
    case VK_ESCAPE:
      grid->HideEditor(key == VK_RETURN);
      return true;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_TAB:
      // Leaving the cell keeps the text and moves on as the grid would.
      grid->HideEditor(true);
      if (key != VK_TAB || grid->options_.Contains(goTabs)) grid->KeyMove(key, shift);
      return true;
    default:
      return false;
  }
}

// --- TCustomGrid: properties ----------------------------------------------------

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 320, 120);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetControlStyle(ControlStyle() + TControlStyle{csOpaque} - TControlStyle{csAcceptsControls});
  colWidths_.assign(static_cast<std::size_t>(colCount_), defaultColWidth_);
  rowHeights_.assign(static_cast<std::size_t>(rowCount_), defaultRowHeight_);
}

void TCustomGrid::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.ExStyle |= BorderExStyle(borderStyle_);
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
}

void TCustomGrid::CreateHandle() {
  TCustomControl::CreateHandle();
  UpdateScrollBars();
}

void TCustomGrid::SetColCount(int value) {
  value = std::max(1, value);
  if (value == colCount_) return;
  HideEditor(true);
  if (value <= fixedCols_) fixedCols_ = value - 1;
  colCount_ = value;
  colWidths_.resize(static_cast<std::size_t>(value), defaultColWidth_);
  col_ = std::clamp(col_, fixedCols_, colCount_ - 1);
  anchorCol_ = std::clamp(anchorCol_, fixedCols_, colCount_ - 1);
  leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, colCount_ - 1));
  ColCountChanged();
  Invalidate();
  UpdateScrollBars();
}

void TCustomGrid::SetRowCount(int value) {
  value = std::max(1, value);
  if (value == rowCount_) return;
  HideEditor(true);
  if (value <= fixedRows_) fixedRows_ = value - 1;
  rowCount_ = value;
  rowHeights_.resize(static_cast<std::size_t>(value), defaultRowHeight_);
  row_ = std::clamp(row_, fixedRows_, rowCount_ - 1);
  anchorRow_ = std::clamp(anchorRow_, fixedRows_, rowCount_ - 1);
  topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, rowCount_ - 1));
  RowCountChanged();
  Invalidate();
  UpdateScrollBars();
}

void TCustomGrid::SetFixedCols(int value) {
  if (value < 0) throw EInvalidOperation("Fixed column count cannot be negative");
  if (value >= colCount_) throw EInvalidOperation("Fixed column count must be less than column count");
  fixedCols_ = value;
  col_ = std::max(col_, value);
  anchorCol_ = std::max(anchorCol_, value);
  leftCol_ = std::max(leftCol_, value);
  Invalidate();
  UpdateScrollBars();
}

void TCustomGrid::SetFixedRows(int value) {
  if (value < 0) throw EInvalidOperation("Fixed row count cannot be negative");
  if (value >= rowCount_) throw EInvalidOperation("Fixed row count must be less than row count");
  fixedRows_ = value;
  row_ = std::max(row_, value);
  anchorRow_ = std::max(anchorRow_, value);
  topRow_ = std::max(topRow_, value);
  Invalidate();
  UpdateScrollBars();
}

void TCustomGrid::SetFixedColor(TColor value) {
  fixedColor_ = value;
  Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int value) {
  defaultColWidth_ = std::max(0, value);
  std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
  Invalidate();
  UpdateScrollBars();
}

void TCustomGrid::SetDefaultRowHeight(int value) {
  defaultRowHeight_ = std::max(0, value);
  std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
  Invalidate();
  UpdateScrollBars();
}

int TCustomGrid::ColWidths(int index) const {
  return index >= 0 && index < colCount_ ? colWidths_[static_cast<std::size_t>(index)] : defaultColWidth_;
}

void TCustomGrid::SetColWidths(int index, int value) {
  if (index < 0 || index >= colCount_) throw EInvalidOperation("Grid index out of range");
  colWidths_[static_cast<std::size_t>(index)] = std::max(0, value);
  Invalidate();
  UpdateScrollBars();
}

int TCustomGrid::RowHeights(int index) const {
  return index >= 0 && index < rowCount_ ? rowHeights_[static_cast<std::size_t>(index)] : defaultRowHeight_;
}

void TCustomGrid::SetRowHeights(int index, int value) {
  if (index < 0 || index >= rowCount_) throw EInvalidOperation("Grid index out of range");
  rowHeights_[static_cast<std::size_t>(index)] = std::max(0, value);
  Invalidate();
  UpdateScrollBars();
}

void TCustomGrid::SetGridLineWidth(int value) {
  gridLineWidth_ = std::max(0, value);
  Invalidate();
  UpdateScrollBars();
}

void TCustomGrid::SetOptions(TGridOptions value) {
  options_ = value;
  if (!options_.Contains(goRangeSelect)) {
    anchorCol_ = col_;
    anchorRow_ = row_;
  }
  Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TCustomGrid::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomGrid::SetDefaultDrawing(bool value) {
  defaultDrawing_ = value;
  Invalidate();
}

// --- TCustomGrid: geometry ------------------------------------------------------

RECT TCustomGrid::CellRect(int col, int row) {
  RECT r{};
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return r;
  if ((col >= fixedCols_ && col < leftCol_) || (row >= fixedRows_ && row < topRow_)) return r;
  int x = 0, y = 0;
  for (int c = FirstShownCol(); c < col; c = NextShownCol(c))
    x += ColWidths(c) + gridLineWidth_;
  for (int rr = FirstShownRow(); rr < row; rr = NextShownRow(rr))
    y += RowHeights(rr) + gridLineWidth_;
  const RECT client = ClientRect();
  if (x >= client.right || y >= client.bottom) return r;
  return RECT{x, y, x + ColWidths(col), y + RowHeights(row)};
}

bool TCustomGrid::MouseToCell(int x, int y, int& col, int& row) {
  col = row = -1;
  if (x < 0 || y < 0) return false;
  int left = 0;
  for (int c = FirstShownCol(); c < colCount_; c = NextShownCol(c)) {
    const int right = left + ColWidths(c) + gridLineWidth_;
    if (x < right) {
      col = c;
      break;
    }
    left = right;
  }
  int top = 0;
  for (int r = FirstShownRow(); r < rowCount_; r = NextShownRow(r)) {
    const int bottom = top + RowHeights(r) + gridLineWidth_;
    if (y < bottom) {
      row = r;
      break;
    }
    top = bottom;
  }
  return col >= 0 && row >= 0;
}

int TCustomGrid::RowsFitFrom(int top) {
  int avail = ClientRect().bottom;
  for (int r = 0; r < fixedRows_; ++r) avail -= RowHeights(r) + gridLineWidth_;
  int count = 0;
  for (int r = top; r < rowCount_; ++r) {
    avail -= RowHeights(r) + gridLineWidth_;
    if (avail < 0) break;
    ++count;
  }
  return count;
}

int TCustomGrid::ColsFitFrom(int left) {
  int avail = ClientRect().right;
  for (int c = 0; c < fixedCols_; ++c) avail -= ColWidths(c) + gridLineWidth_;
  int count = 0;
  for (int c = left; c < colCount_; ++c) {
    avail -= ColWidths(c) + gridLineWidth_;
    if (avail < 0) break;
    ++count;
  }
  return count;
}

int TCustomGrid::VisibleRowCount() { return RowsFitFrom(topRow_); }

int TCustomGrid::VisibleColCount() { return ColsFitFrom(leftCol_); }

int TCustomGrid::MaxTopRow() {
  int avail = ClientRect().bottom;
  for (int r = 0; r < fixedRows_; ++r) avail -= RowHeights(r) + gridLineWidth_;
  int r = rowCount_ - 1;
  while (r >= fixedRows_ && avail - (RowHeights(r) + gridLineWidth_) >= 0) avail -= RowHeights(r--) + gridLineWidth_;
  return std::clamp(r + 1, fixedRows_, std::max(fixedRows_, rowCount_ - 1));
}

int TCustomGrid::MaxLeftCol() {
  int avail = ClientRect().right;
  for (int c = 0; c < fixedCols_; ++c) avail -= ColWidths(c) + gridLineWidth_;
  int c = colCount_ - 1;
  while (c >= fixedCols_ && avail - (ColWidths(c) + gridLineWidth_) >= 0) avail -= ColWidths(c--) + gridLineWidth_;
  return std::clamp(c + 1, fixedCols_, std::max(fixedCols_, colCount_ - 1));
}

// --- TCustomGrid: scrolling -----------------------------------------------------

void TCustomGrid::UpdateScrollBars() {
  if (!HandleAllocated() || updatingScrollBars_) return;
  updatingScrollBars_ = true;
  // Showing a bar shrinks the client area, which may call for the other bar.
  for (int pass = 0; pass < 3; ++pass) {
    const RECT before = ClientRect();
    const int maxTop = MaxTopRow(), maxLeft = MaxLeftCol();
    topRow_ = std::clamp(topRow_, fixedRows_, maxTop);
    leftCol_ = std::clamp(leftCol_, fixedCols_, maxLeft);
    auto apply = [&](int bar, bool wanted, int fixed, int count, int max, int pos) {
      const bool needed = wanted && max > fixed;
      ::ShowScrollBar(WindowHandle(), bar, needed);
      if (!needed) return;
      SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, count - fixed - 1,
                    static_cast<UINT>(count - max), pos - fixed, 0};
      ::SetScrollInfo(WindowHandle(), bar, &si, TRUE);
    };
    apply(SB_VERT, scrollBars_ == ssVertical || scrollBars_ == ssBoth, fixedRows_, rowCount_, maxTop, topRow_);
    apply(SB_HORZ, scrollBars_ == ssHorizontal || scrollBars_ == ssBoth, fixedCols_, colCount_, maxLeft, leftCol_);
    const RECT after = ClientRect();
    if (after.right == before.right && after.bottom == before.bottom) break;
  }
  updatingScrollBars_ = false;
}

void TCustomGrid::ScrollTo(int leftCol, int topRow) {
  HideEditor(true);
  leftCol = std::clamp(leftCol, fixedCols_, HandleAllocated() ? MaxLeftCol() : std::max(fixedCols_, colCount_ - 1));
  topRow = std::clamp(topRow, fixedRows_, HandleAllocated() ? MaxTopRow() : std::max(fixedRows_, rowCount_ - 1));
  if (leftCol == leftCol_ && topRow == topRow_) return;
  leftCol_ = leftCol;
  topRow_ = topRow;
  Invalidate();
  UpdateScrollBars();
}

void TCustomGrid::MakeVisible(int col, int row) {
  int left = leftCol_, top = topRow_;
  if (col >= fixedCols_) {
    if (col < left) left = col;
    while (left < col && (col - left + 1 > ColsFitFrom(left))) ++left;
  }
  if (row >= fixedRows_) {
    if (row < top) top = row;
    while (top < row && (row - top + 1 > RowsFitFrom(top))) ++top;
  }
  ScrollTo(left, top);
}

void TCustomGrid::ScrollMessage(int bar, WORD code) {
  const bool vertical = bar == SB_VERT;
  const int pos = vertical ? topRow_ : leftCol_;
  const int fixed = vertical ? fixedRows_ : fixedCols_;
  const int page = std::max(1, vertical ? VisibleRowCount() : VisibleColCount());
  int next = pos;
  switch (code) {
    case SB_LINEUP: next = pos - 1; break;
    case SB_LINEDOWN: next = pos + 1; break;
    case SB_PAGEUP: next = pos - page; break;
    case SB_PAGEDOWN: next = pos + page; break;
    case SB_TOP: next = fixed; break;
    case SB_BOTTOM: next = vertical ? rowCount_ : colCount_; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      if (code == SB_THUMBTRACK && !options_.Contains(goThumbTracking)) return;
      SCROLLINFO si{sizeof(si), SIF_TRACKPOS, 0, 0, 0, 0, 0};
      if (!::GetScrollInfo(WindowHandle(), bar, &si)) return;
      next = fixed + si.nTrackPos;
      break;
    }
    default: return;
  }
  if (vertical)
    ScrollTo(leftCol_, next);
  else
    ScrollTo(next, topRow_);
}

void TCustomGrid::Resize() {
  HideEditor(true);
  UpdateScrollBars();
  TCustomControl::Resize();
}

// --- TCustomGrid: selection ------------------------------------------------------

TGridRect TCustomGrid::Selection() const {
  const bool range = options_.Contains(goRangeSelect);
  TGridRect r;
  r.Top = range ? std::min(anchorRow_, row_) : row_;
  r.Bottom = range ? std::max(anchorRow_, row_) : row_;
  if (options_.Contains(goRowSelect)) {
    r.Left = fixedCols_;
    r.Right = colCount_ - 1;
  } else {
    r.Left = range ? std::min(anchorCol_, col_) : col_;
    r.Right = range ? std::max(anchorCol_, col_) : col_;
  }
  return r;
}

void TCustomGrid::SetSelection(const TGridRect& value) {
  InvalidateCells(Selection());
  anchorCol_ = std::clamp(value.Left, fixedCols_, colCount_ - 1);
  anchorRow_ = std::clamp(value.Top, fixedRows_, rowCount_ - 1);
  col_ = std::clamp(value.Right, fixedCols_, colCount_ - 1);
  row_ = std::clamp(value.Bottom, fixedRows_, rowCount_ - 1);
  InvalidateCells(Selection());
}

bool TCustomGrid::SelectCell(int, int) { return true; }

void TCustomGrid::FocusCell(int col, int row, bool moveAnchor) {
  col = std::clamp(col, fixedCols_, colCount_ - 1);
  row = std::clamp(row, fixedRows_, rowCount_ - 1);
  if ((col != col_ || row != row_) && !SelectCell(col, row)) return;
  HideEditor(true);
  InvalidateCells(Selection());
  col_ = col;
  row_ = row;
  if (moveAnchor || !options_.Contains(goRangeSelect)) {
    anchorCol_ = col;
    anchorRow_ = row;
  }
  InvalidateCells(Selection());
  if (HandleAllocated()) MakeVisible(col, row);
  if (options_.Contains(goAlwaysShowEditor) && HandleAllocated() && Focused()) ShowEditor();
}

void TCustomGrid::InvalidateCells(const TGridRect& cells) {
  if (!HandleAllocated()) return;
  RECT area{};
  const RECT client = ClientRect();
  for (int c : {cells.Left, cells.Right})
    for (int r : {cells.Top, cells.Bottom}) {
      // Corners scrolled away count as the edge of the client area.
      RECT cell = CellRect(c, r);
      if (::IsRectEmpty(&cell)) {
        cell = client;
      }
      ::UnionRect(&area, &area, &cell);
    }
  ::InflateRect(&area, gridLineWidth_ + 1, gridLineWidth_ + 1);
  ::InvalidateRect(WindowHandle(), &area, FALSE);
}

// --- TCustomGrid: in-place editing ------------------------------------------------

std::wstring TCustomGrid::GetEditText(int, int) { return {}; }

void TCustomGrid::SetEditText(int, int, const std::wstring&) {}

bool TCustomGrid::CanEditShow() const { return options_.Contains(goEditing) && !options_.Contains(goRowSelect); }

bool TCustomGrid::EditorMode() const { return editor_ && editor_->Visible(); }

void TCustomGrid::SetEditorMode(bool value) {
  if (value)
    ShowEditor();
  else
    HideEditor(true);
}

void TCustomGrid::ShowEditor() {
  if (!CanEditShow() || !HandleAllocated()) return;
  MakeVisible(col_, row_);
  const RECT cell = CellRect(col_, row_);
  if (::IsRectEmpty(&cell)) return;
  if (!editor_) {
    editor_ = Create<TInplaceEdit>(this);
    editor_->SetParent(this);
  }
  editor_->SetBoundsRect(cell);
  editor_->SetText(GetEditText(col_, row_));
  editor_->SetVisible(true);
  editor_->SetFocus();
  ::SendMessageW(editor_->Handle(), EM_SETSEL, 0, -1);
}

void TCustomGrid::HideEditor(bool keep) {
  if (!EditorMode() || hidingEditor_) return;
  hidingEditor_ = true;
  try {
    if (keep) SetEditText(col_, row_, editor_->Text());
    const bool hadFocus = editor_->Focused();
    editor_->SetVisible(false);
    if (hadFocus && CanFocus()) SetFocus();
  } catch (...) {
    hidingEditor_ = false;
    throw;
  }
  hidingEditor_ = false;
  InvalidateCells(TGridRect{col_, row_, col_, row_});
}

bool TCustomGrid::DoKeyPress(wchar_t& key) {
  if (TCustomControl::DoKeyPress(key)) return true;
  // A typed character starts editing with that character.
  if (key >= L' ' && CanEditShow() && !EditorMode()) {
    ShowEditor();
    if (EditorMode()) {
      editor_->SetText(L"");
      ::SendMessageW(editor_->Handle(), WM_CHAR, key, 0);
      return true;
    }
  }
  return false;
}

void TCustomGrid::KeyMove(WORD key, TShiftState shift) {
  const bool extend = shift.Contains(ssShift) && options_.Contains(goRangeSelect);
  const bool ctrl = shift.Contains(ssCtrl);
  const bool rowSelect = options_.Contains(goRowSelect);
  int col = col_, row = row_;
  switch (key) {
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_LEFT:
      if (rowSelect) {
        ScrollTo(leftCol_ - 1, topRow_);
        return;
      }
      --col;
      break;
    case VK_RIGHT:
      if (rowSelect) {
        ScrollTo(leftCol_ + 1, topRow_);
        return;
      }
      ++col;
      break;
    case VK_PRIOR: row -= std::max(1, VisibleRowCount()); break;
    case VK_NEXT: row += std::max(1, VisibleRowCount()); break;
    case VK_HOME:
      if (ctrl || rowSelect) row = fixedRows_; else col = fixedCols_;
      break;
    case VK_END:
      if (ctrl || rowSelect) row = rowCount_ - 1; else col = colCount_ - 1;
      break;
    case VK_TAB:
      // Along the row, then on to the next (or previous) one.
      if (shift.Contains(ssShift)) {
        if (--col < fixedCols_) {
          col = colCount_ - 1;
          if (--row < fixedRows_) row = rowCount_ - 1;
        }
      } else if (++col >= colCount_) {
        col = fixedCols_;
        if (++row >= rowCount_) row = fixedRows_;
      }
      FocusCell(col, row, true);
      return;
    default: return;
  }
  FocusCell(col, row, !extend);
}

bool TCustomGrid::DoKeyDown(WORD& key, TShiftState shift) {
  if (TCustomControl::DoKeyDown(key, shift)) return true;
  switch (key) {
    case VK_F2:
    case VK_RETURN:
      if (!CanEditShow()) return false;
      ShowEditor();
      return true;
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END:
      KeyMove(key, shift);
      return true;
    case VK_TAB:
      if (!options_.Contains(goTabs)) return false;
      KeyMove(key, shift);
      return true;
    default:
      return false;
  }
}

bool TCustomGrid::SizingLineAt(int x, int y, bool& column, int& index) {
  constexpr int kGrip = 3;  // pixels either side of a line that grab it
  int fixedHeight = 0, fixedWidth = 0;
  for (int r = 0; r < fixedRows_; ++r) fixedHeight += RowHeights(r) + gridLineWidth_;
  for (int c = 0; c < fixedCols_; ++c) fixedWidth += ColWidths(c) + gridLineWidth_;
  if (options_.Contains(goColSizing) && y >= 0 && y < fixedHeight) {
    int right = 0;
    for (int c = FirstShownCol(); c < colCount_; c = NextShownCol(c)) {
      right += ColWidths(c);
      if (x >= right - kGrip && x < right + gridLineWidth_ + kGrip) {
        column = true;
        index = c;
        return true;
      }
      right += gridLineWidth_;
    }
  }
  if (options_.Contains(goRowSizing) && x >= 0 && x < fixedWidth) {
    int bottom = 0;
    for (int r = FirstShownRow(); r < rowCount_; r = NextShownRow(r)) {
      bottom += RowHeights(r);
      if (y >= bottom - kGrip && y < bottom + gridLineWidth_ + kGrip) {
        column = false;
        index = r;
        return true;
      }
      bottom += gridLineWidth_;
    }
  }
  return false;
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    HideEditor(true);
    if (CanFocus() && !Focused()) SetFocus();
    bool column;
    int index;
    if (SizingLineAt(x, y, column, index)) {
      sizing_ = Sizing{true, column, index, column ? x : y, column ? ColWidths(index) : RowHeights(index)};
      TCustomControl::MouseDown(button, shift, x, y);
      return;
    }
    int col, row;
    if (MouseToCell(x, y, col, row) && col >= fixedCols_ && row >= fixedRows_) {
      FocusCell(col, row, !(shift.Contains(ssShift) && options_.Contains(goRangeSelect)));
      selecting_ = true;
    }
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
  if (sizing_.active && shift.Contains(ssLeft)) {
    const int size = std::max(0, sizing_.startSize + (sizing_.column ? x : y) - sizing_.start);
    if (sizing_.column)
      SetColWidths(sizing_.index, size);
    else
      SetRowHeights(sizing_.index, size);
  } else if (selecting_ && shift.Contains(ssLeft) && options_.Contains(goRangeSelect)) {
    int col, row;
    if (MouseToCell(x, y, col, row) && col >= fixedCols_ && row >= fixedRows_) FocusCell(col, row, false);
  } else if (!shift.Contains(ssLeft)) {
    selecting_ = false;
  }
  TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    sizing_.active = false;
    selecting_ = false;
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

// --- TCustomGrid: painting and messages ------------------------------------------

void TCustomGrid::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  const RECT client = ClientRect();
  const TGridRect selection = Selection();
  const bool focused = Focused();
  const bool rowSelect = options_.Contains(goRowSelect);
  const int lw = gridLineWidth_;
  int y = 0;
  for (int row = FirstShownRow(); row < rowCount_ && y < client.bottom; row = NextShownRow(row)) {
    const int h = RowHeights(row);
    int x = 0;
    for (int col = FirstShownCol(); col < colCount_ && x < client.right; col = NextShownCol(col)) {
      const int w = ColWidths(col);
      const bool fixed = col < fixedCols_ || row < fixedRows_;
      const RECT cell{x, y, x + w, y + h};
      TGridDrawState state;
      if (fixed) state.Include(gdFixed);
      const bool current = col == col_ && row == row_;
      if (!fixed && Contains(selection, col, row) &&
          (!current || rowSelect || options_.Contains(goDrawFocusSelected) || !focused))
        state.Include(gdSelected);
      if (!fixed && current && focused) state.Include(gdFocused);
      // The grid lines right of and below the cell.
      if (lw > 0) {
        const bool vline = options_.Contains(fixed ? goFixedVertLine : goVertLine);
        const bool hline = options_.Contains(fixed ? goFixedHorzLine : goHorzLine);
        const TColor cellColor = fixed ? fixedColor_ : Color();
        const TColor lineColor = fixed ? clBtnShadow : clSilver;
        canvas->Brush()->SetColor(vline ? lineColor : cellColor);
        canvas->FillRect(RECT{x + w, y, x + w + lw, y + h + lw});
        canvas->Brush()->SetColor(hline ? lineColor : cellColor);
        canvas->FillRect(RECT{x, y + h, x + w, y + h + lw});
      }
      if (defaultDrawing_) {
        canvas->Brush()->SetColor(fixed ? fixedColor_ : state.Contains(gdSelected) ? clHighlight : Color());
        canvas->FillRect(cell);
        canvas->Font()->SetColor(state.Contains(gdSelected) ? clHighlightText : Font()->Color());
        if (fixed && options_.Contains(goFixedVertLine) && options_.Contains(goFixedHorzLine)) {
          RECT edge = cell;
          ::DrawEdge(canvas->Handle(), &edge, BDR_RAISEDINNER, BF_RECT);
        }
      }
      DrawCell(col, row, cell, state);
      if (defaultDrawing_ && state.Contains(gdFocused) && !rowSelect) {
        canvas->Brush()->SetColor(Color());
        canvas->DrawFocusRect(cell);
      }
      x += w + lw;
    }
    // What lies right of the last column.
    if (x < client.right) {
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(RECT{x, y, client.right, y + h + lw});
    }
    y += h + lw;
  }
  if (y < client.bottom) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(RECT{0, y, client.right, client.bottom});
  }
}

void TCustomGrid::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS | (options_.Contains(goTabs) ? DLGC_WANTTAB : 0);
      return;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (m.LParam == 0) {  // our own bars
        ScrollMessage(m.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(m.WParam));
        m.Result = 0;
        return;
      }
      break;
    case WM_MOUSEWHEEL: {
      const int delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
      ScrollTo(leftCol_, topRow_ - delta / WHEEL_DELTA * 3);
      m.Result = 0;
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomControl::WndProc(m);
      InvalidateCells(Selection());
      return;
    case WM_SETCURSOR:
      if (LOWORD(m.LParam) == HTCLIENT && !sizing_.active) {
        POINT p;
        bool column;
        int index;
        if (::GetCursorPos(&p) && ::ScreenToClient(WindowHandle(), &p) && SizingLineAt(p.x, p.y, column, index)) {
          ::SetCursor(::LoadCursorW(nullptr, column ? IDC_SIZEWE : IDC_SIZENS));
          m.Result = TRUE;
          return;
        }
      }
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

// --- TCustomDrawGrid, TDrawGrid, TStringGrid ---------------------------------------

void TCustomDrawGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

bool TCustomDrawGrid::SelectCell(int col, int row) {
  bool can = true;
  if (OnSelectCell) OnSelectCell(this, col, row, can);
  return can;
}

void TDrawGrid::Publish(ClassBuilder<TDrawGrid>& b) {
  PublishControl(b, {"Align", "Anchors", "BevelEdges", "BiDiMode", "Color", "Constraints", "Enabled", "Font",
                     "Hint", "ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu", "Visible", "TabOrder",
                     "TabStop", "OnClick", "OnDblClick", "OnEnter", "OnExit"});
  PublishBorderStyle(b);
  b.Integer("ColCount", &TDrawGrid::ColCount, &TDrawGrid::SetColCount);
  b.Integer("DefaultColWidth", &TDrawGrid::DefaultColWidth, &TDrawGrid::SetDefaultColWidth);
  b.Boolean("DefaultDrawing", &TDrawGrid::DefaultDrawing, &TDrawGrid::SetDefaultDrawing);
  b.Integer("DefaultRowHeight", &TDrawGrid::DefaultRowHeight, &TDrawGrid::SetDefaultRowHeight);
  b.Integer("FixedColor", &TDrawGrid::FixedColor, &TDrawGrid::SetFixedColor).typeName = "TColor";
  b.Integer("FixedCols", &TDrawGrid::FixedCols, &TDrawGrid::SetFixedCols);
  b.Integer("RowCount", &TDrawGrid::RowCount, &TDrawGrid::SetRowCount);
  b.Integer("FixedRows", &TDrawGrid::FixedRows, &TDrawGrid::SetFixedRows);
  b.Integer("GridLineWidth", &TDrawGrid::GridLineWidth, &TDrawGrid::SetGridLineWidth);
  b.SetOf("Options", "TGridOptions", &TDrawGrid::Options, &TDrawGrid::SetOptions);
  b.Enum("ScrollBars", &TDrawGrid::ScrollBars, &TDrawGrid::SetScrollBars);
}

std::wstring TStringGrid::Cells(int col, int row) const {
  if (row < 0 || row >= static_cast<int>(cells_.size())) return {};
  const auto& line = cells_[static_cast<std::size_t>(row)];
  return col >= 0 && col < static_cast<int>(line.size()) ? line[static_cast<std::size_t>(col)] : std::wstring();
}

void TStringGrid::SetCells(int col, int row, const std::wstring& value) {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
    throw EInvalidOperation("Grid index out of range");
  if (static_cast<int>(cells_.size()) <= row) cells_.resize(static_cast<std::size_t>(row) + 1);
  auto& line = cells_[static_cast<std::size_t>(row)];
  if (static_cast<int>(line.size()) <= col) line.resize(static_cast<std::size_t>(col) + 1);
  line[static_cast<std::size_t>(col)] = value;
  InvalidateCells(TGridRect{col, row, col, row});
}

void TStringGrid::ColCountChanged() {
  for (auto& line : cells_)
    if (static_cast<int>(line.size()) > ColCount()) line.resize(static_cast<std::size_t>(ColCount()));
}

void TStringGrid::RowCountChanged() {
  if (static_cast<int>(cells_.size()) > RowCount()) cells_.resize(static_cast<std::size_t>(RowCount()));
}

void TStringGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
  if (DefaultDrawing()) {
    const std::wstring text = Cells(col, row);
    if (!text.empty()) {
      Canvas()->Brush()->SetStyle(bsClear);
      Canvas()->TextRect(rect, rect.left + 2, rect.top + 2, text);
      Canvas()->Brush()->SetStyle(bsSolid);
    }
  }
  TDrawGrid::DrawCell(col, row, rect, state);
}

}  // namespace nuvskin
