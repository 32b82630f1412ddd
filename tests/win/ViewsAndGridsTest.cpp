// Tree views, list views and grids on real windows: what the user sees and
// selects, notifications reflected from the parent, and state that survives
// a new window. Ends with a screenshot of every common control on one form.
#include <gtest/gtest.h>

#include <vector>

#include "ComCtrlsTestSupport.h"
#include "framework/DateTimePicker.h"
#include "framework/Grids.h"
#include "framework/ListView.h"
#include "framework/RangeControls.h"
#include "framework/TabControls.h"
#include "framework/TreeView.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

std::wstring HeaderCaption(HWND header, int index) {
  wchar_t text[64] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = text;
  item.cchTextMax = 64;
  ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return text;
}

std::wstring ListText(HWND list, int item, int subItem) {
  wchar_t text[64] = {};
  LVITEMW lvi{};
  lvi.iSubItem = subItem;
  lvi.pszText = text;
  lvi.cchTextMax = 64;
  ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
  return text;
}

bool Empty(const RECT& r) { return ::IsRectEmpty(&r) != FALSE; }

// A tree of two roots; the first has three children, the second one.
struct SampleTree {
  TTreeNode* fruit;
  TTreeNode* apple;
  TTreeNode* pear;
  TTreeNode* plum;
  TTreeNode* tools;
  TTreeNode* hammer;
  explicit SampleTree(TTreeNodes* nodes) {
    fruit = nodes->Add(nullptr, L"Fruit");
    apple = nodes->AddChild(fruit, L"Apple");
    plum = nodes->AddChild(fruit, L"Plum");
    pear = nodes->Insert(plum, L"Pear");
    tools = nodes->Add(fruit, L"Tools");
    hammer = nodes->AddChild(tools, L"Hammer");
  }
};

}  // namespace

TEST(TreeView, NodesExpandAndSelectWithTheKeyboard) {
  FormFixture f;
  auto* tree = f.Add<TTreeView>(10, 10, 200, 200);
  SampleTree t(tree->Items());
  HWND wnd = tree->Handle();
  EXPECT_EQ(::SendMessageW(wnd, TVM_GETCOUNT, 0, 0), 6);
  EXPECT_EQ(tree->Items()->Count(), 6);
  EXPECT_EQ(tree->Items()->Item(2), t.pear);  // depth first, in sibling order
  EXPECT_EQ(t.pear->Index(), 1);
  EXPECT_EQ(t.hammer->Level(), 1);
  EXPECT_TRUE(HasStyle(wnd, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT));
  EXPECT_TRUE(::GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  std::vector<TTreeNode*> changes, expanded;
  tree->OnChange = [&](TObject*, TTreeNode* node) { changes.push_back(node); };
  tree->OnExpanded = [&](TObject*, TTreeNode* node) { expanded.push_back(node); };
  tree->SetSelected(t.fruit);
  EXPECT_TRUE(t.fruit->Selected());
  tree->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return tree->Focused(); }, 1000));
  // Right opens the selected node, Down moves to its first child.
  PostKeyPress(wnd, VK_RIGHT);
  ASSERT_TRUE(PumpUntil([&] { return t.fruit->Expanded(); }, 1000));
  ASSERT_EQ(expanded.size(), 1u);
  EXPECT_EQ(expanded[0], t.fruit);
  PostKeyPress(wnd, VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return tree->Selected() == t.apple; }, 1000));
  EXPECT_EQ(changes.back(), t.apple);
  EXPECT_FALSE(Empty(t.apple->DisplayRect(true)));
  EXPECT_TRUE(Empty(t.hammer->DisplayRect(true)));  // inside a closed node

  // A click on a node selects it.
  const RECT pear = t.pear->DisplayRect(true);
  PostClientClick(wnd, (pear.left + pear.right) / 2, (pear.top + pear.bottom) / 2);
  ASSERT_TRUE(PumpUntil([&] { return tree->Selected() == t.pear; }, 1000));
  EXPECT_EQ(tree->GetNodeAt((pear.left + pear.right) / 2, (pear.top + pear.bottom) / 2), t.pear);

  // OnChanging can keep the selection.
  tree->OnChanging = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
  PostKeyPress(wnd, VK_DOWN);
  PumpMessages(100);
  EXPECT_EQ(tree->Selected(), t.pear);
  tree->OnChanging = nullptr;
}

TEST(TreeView, NodesExpansionAndSelectionSurviveANewWindow) {
  FormFixture f;
  auto* tree = f.Add<TTreeView>(10, 10, 200, 200);
  SampleTree t(tree->Items());
  t.tools->Expand(false);
  tree->SetSelected(t.hammer);
  t.apple->SetText(L"Green apple");
  int changes = 0;
  tree->OnChange = [&](TObject*, TTreeNode*) { ++changes; };
  tree->SetShowLines(false);  // a new window
  EXPECT_EQ(changes, 0);      // getting the nodes back is no change
  HWND wnd = tree->Handle();
  EXPECT_FALSE(HasStyle(wnd, TVS_HASLINES));
  EXPECT_EQ(::SendMessageW(wnd, TVM_GETCOUNT, 0, 0), 6);
  EXPECT_TRUE(t.tools->Expanded());
  EXPECT_FALSE(t.fruit->Expanded());
  EXPECT_EQ(tree->Selected(), t.hammer);
  wchar_t text[32] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = t.apple->ItemId();
  item.pszText = text;
  item.cchTextMax = 32;
  ::SendMessageW(wnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"Green apple");
  tree->SetColor(clYellow);
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(wnd, TVM_GETBKCOLOR, 0, 0)), RGB(255, 255, 0));

  // A label edited in the window becomes the node's text.
  tree->SetFocus();
  HWND editor = reinterpret_cast<HWND>(
      ::SendMessageW(wnd, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(t.plum->ItemId())));
  ASSERT_NE(editor, nullptr);
  ::SetWindowTextW(editor, L"Damson");
  ::SendMessageW(wnd, TVM_ENDEDITLABELNOW, FALSE, 0);
  EXPECT_EQ(t.plum->Text(), L"Damson");
  tree->SetReadOnly(true);
  EXPECT_FALSE(HasStyle(tree->Handle(), TVS_EDITLABELS));
  wnd = tree->Handle();
  item.hItem = t.plum->ItemId();
  ::SendMessageW(wnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"Damson");

  // Deleting a branch takes its children along, in the window too.
  t.tools->Delete();
  EXPECT_EQ(tree->Items()->Count(), 4);
  EXPECT_EQ(::SendMessageW(wnd, TVM_GETCOUNT, 0, 0), 4);
  EXPECT_NE(tree->Selected(), t.hammer);
  // A node expanded before it has children opens when the first one comes.
  TTreeNode* empty = tree->Items()->Add(nullptr, L"Later");
  empty->Expand(false);
  TTreeNode* child = tree->Items()->AddChild(empty, L"Child");
  EXPECT_TRUE(empty->Expanded());
  EXPECT_EQ(child->Parent(), empty);
  tree->Items()->Clear();
  EXPECT_EQ(::SendMessageW(wnd, TVM_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(tree->Selected(), nullptr);
}

TEST(ListView, ReportStyleShowsColumnsAndSelects) {
  FormFixture f;
  auto* list = f.Add<TListView>(10, 10, 320, 200);
  list->SetViewStyle(vsReport);
  const wchar_t* captions[] = {L"Name", L"Size", L"Kind"};
  for (const wchar_t* caption : captions) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption(caption);
    column->SetWidth(90);
  }
  list->Columns()->Items(1)->SetAlignment(taRightJustify);
  list->Columns()->Items(2)->SetImageIndex(0);
  for (int i = 0; i < 4; ++i) {
    TListItem* item = list->Items()->Add();
    item->SetCaption(L"file" + std::to_wstring(i));
    item->SubItems()->Add(std::to_wstring(i * 100));
    item->SubItems()->Add(L"text");
  }
  HWND wnd = list->Handle();
  HWND header = list->HeaderHandle();
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header, reinterpret_cast<HWND>(::SendMessageW(wnd, LVM_GETHEADER, 0, 0)));
  EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(HeaderCaption(header, 1), L"Size");
  EXPECT_EQ(list->GetColumnFromIndex(2)->Caption(), L"Kind");
  EXPECT_EQ(list->GetColumnFromIndex(1)->Alignment(), taRightJustify);
  EXPECT_EQ(list->GetColumnFromIndex(2)->ImageIndex(), 0);
  EXPECT_EQ(list->Columns()->Count(), 3);
  EXPECT_EQ(::SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 4);
  EXPECT_EQ(ListText(wnd, 2, 1), L"200");
  EXPECT_EQ(ListText(wnd, 3, 2), L"text");

  std::vector<std::pair<TListItem*, bool>> selections;
  list->OnSelectItem = [&](TObject*, TListItem* item, bool selected) { selections.emplace_back(item, selected); };
  const RECT r = list->Items()->Item(2)->DisplayRect();
  ASSERT_FALSE(::IsRectEmpty(&r));
  PostClientClick(wnd, r.left + 10, (r.top + r.bottom) / 2);
  ASSERT_TRUE(PumpUntil([&] { return list->ItemIndex() == 2; }, 1000));
  EXPECT_EQ(list->Selected(), list->Items()->Item(2));
  ASSERT_FALSE(selections.empty());
  EXPECT_EQ(selections.back().first, list->Items()->Item(2));
  EXPECT_TRUE(selections.back().second);
  EXPECT_EQ(list->GetItemAt(r.left + 10, (r.top + r.bottom) / 2), list->Items()->Item(2));

  // The keyboard moves the selection; the old item reports its loss.
  list->SetFocus();
  PostKeyPress(wnd, VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return list->ItemIndex() == 3; }, 1000));
  bool lostTwo = false;
  for (auto& [item, selected] : selections) lostTwo = lostTwo || (item == list->Items()->Item(2) && !selected);
  EXPECT_TRUE(lostTwo);
  EXPECT_EQ(list->SelCount(), 1);
}

TEST(ListView, ColumnsItemsAndSelectionSurviveANewWindow) {
  FormFixture f;
  auto* list = f.Add<TListView>(10, 10, 320, 200);
  list->SetViewStyle(vsReport);
  list->Columns()->Add()->SetCaption(L"A");
  list->Columns()->Add()->SetCaption(L"B");
  for (const wchar_t* name : {L"one", L"two", L"three"}) {
    TListItem* item = list->Items()->Add();
    item->SetCaption(name);
    item->SubItems()->Add(std::wstring(name) + L"-b");
  }
  list->SetItemIndex(1);
  ::SendMessageW(list->Handle(), LVM_SETCOLUMNWIDTH, 0, 123);  // as a user dragging the divider
  int selections = 0;
  list->OnSelectItem = [&](TObject*, TListItem*, bool) { ++selections; };
  list->SetMultiSelect(true);  // a new window
  EXPECT_EQ(selections, 0);    // the restored selection is no change
  HWND wnd = list->Handle();
  list->SetColor(clAqua);
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(wnd, LVM_GETBKCOLOR, 0, 0)), RGB(0, 255, 255));
  EXPECT_FALSE(HasStyle(wnd, LVS_SINGLESEL));
  EXPECT_EQ(::SendMessageW(list->HeaderHandle(), HDM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(list->Columns()->Items(0)->Width(), 123);
  EXPECT_EQ(ListText(wnd, 2, 1), L"three-b");
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SelectAll();
  EXPECT_EQ(list->SelCount(), 3);
  list->ClearSelection();
  EXPECT_EQ(list->SelCount(), 0);

  // Adding a column in the middle keeps every sub-item text in its column.
  TListColumn* inserted = static_cast<TListColumn*>(list->Columns()->Insert(1));
  inserted->SetCaption(L"Mid");
  EXPECT_EQ(HeaderCaption(list->HeaderHandle(), 1), L"Mid");
  EXPECT_EQ(HeaderCaption(list->HeaderHandle(), 2), L"B");
  list->Items()->Item(0)->SubItems()->Add(L"third");
  EXPECT_EQ(ListText(wnd, 0, 2), L"third");

  list->Items()->Delete(0);
  EXPECT_EQ(::SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(ListText(wnd, 0, 0), L"two");
  list->SetViewStyle(vsList);
  EXPECT_EQ(::GetWindowLongPtrW(list->Handle(), GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
  list->Clear();
  EXPECT_EQ(::SendMessageW(list->Handle(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST(Grids, KeyboardMovesTheCurrentCellAndScrolls) {
  FormFixture f;
  auto* grid = f.Add<TStringGrid>(10, 10, 300, 200);
  grid->SetColCount(8);
  grid->SetRowCount(40);
  for (int r = 0; r < 40; ++r) grid->SetCells(0, r, L"row " + std::to_wstring(r));
  HWND wnd = grid->Handle();
  PumpMessages(30);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_TRUE(HasStyle(wnd, WS_VSCROLL));  // forty rows do not fit
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(::GetScrollInfo(wnd, SB_VERT, &si));
  EXPECT_EQ(si.nPos, 0);
  EXPECT_EQ(si.nMax, 38);  // rows 1..39

  std::vector<std::pair<int, int>> asked;
  grid->OnSelectCell = [&](TObject*, int col, int row, bool& can) {
    asked.emplace_back(col, row);
    can = !(col == 3 && row == 2);  // one cell refuses the focus
  };
  grid->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return grid->Focused(); }, 1000));
  PostKeyPress(wnd, VK_DOWN);
  PostKeyPress(wnd, VK_RIGHT);
  ASSERT_TRUE(PumpUntil([&] { return grid->Col() == 2 && grid->Row() == 2; }, 1000));
  PostKeyPress(wnd, VK_RIGHT);  // refused
  PumpMessages(50);
  EXPECT_EQ(grid->Col(), 2);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.back(), std::make_pair(3, 2));

  // Page down moves by the visible rows and scrolls the current row into view.
  const int visible = grid->VisibleRowCount();
  EXPECT_GT(visible, 3);
  PostKeyPress(wnd, VK_NEXT);
  ASSERT_TRUE(PumpUntil([&] { return grid->Row() == 2 + visible; }, 1000));
  EXPECT_GT(grid->TopRow(), 1);
  EXPECT_LE(grid->TopRow(), grid->Row());
  EXPECT_LT(grid->Row(), grid->TopRow() + grid->VisibleRowCount());
  ::GetScrollInfo(wnd, SB_VERT, &si);
  EXPECT_EQ(si.nPos, grid->TopRow() - grid->FixedRows());
  // Ctrl+End would need the real keyboard; End goes to the last column.
  PostKeyPress(wnd, VK_END);
  ASSERT_TRUE(PumpUntil([&] { return grid->Col() == 7; }, 1000));
  EXPECT_GT(grid->LeftCol(), 1);  // eight columns of 64 do not fit in 300 pixels

  // The scroll bar scrolls without moving the current cell.
  const int row = grid->Row(), top = grid->TopRow();
  ::SendMessageW(wnd, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(grid->TopRow(), top + 1);
  EXPECT_EQ(grid->Row(), row);
  ::SendMessageW(wnd, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(grid->TopRow() + grid->VisibleRowCount(), 40);
  ::SendMessageW(wnd, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(grid->TopRow(), 1);
  EXPECT_TRUE(Empty(grid->CellRect(1, row)));  // scrolled away
}

TEST(Grids, WithoutFixedCellsTheFirstShownCellIsTheScrolledOne) {
  FormFixture f;
  auto* grid = f.Add<TStringGrid>(10, 10, 200, 120);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetColCount(10);
  grid->SetRowCount(20);
  grid->Handle();
  grid->SetLeftCol(3);
  grid->SetTopRow(5);
  EXPECT_EQ(grid->LeftCol(), 3);
  EXPECT_EQ(grid->TopRow(), 5);
  EXPECT_EQ(grid->CellRect(3, 5).left, 0);
  EXPECT_EQ(grid->CellRect(3, 5).top, 0);
  EXPECT_EQ(grid->CellRect(4, 6).left, 65);
  EXPECT_TRUE(Empty(grid->CellRect(2, 5)));
  int col = -1, row = -1;
  ASSERT_TRUE(grid->MouseToCell(70, 30, col, row));
  EXPECT_EQ(col, 4);
  EXPECT_EQ(row, 6);
  PostClientClick(grid->Handle(), 5, 5);
  ASSERT_TRUE(PumpUntil([&] { return grid->Col() == 3 && grid->Row() == 5; }, 1000));
}

TEST(Grids, MouseSelectsCellsAndRanges) {
  FormFixture f;
  auto* grid = f.Add<TStringGrid>(10, 10, 340, 200);
  grid->SetDefaultColWidth(50);
  grid->SetDefaultRowHeight(20);
  HWND wnd = grid->Handle();
  RECT cell = grid->CellRect(3, 2);
  EXPECT_EQ(cell.left, 3 * 51);
  EXPECT_EQ(cell.top, 2 * 21);
  int col = 0, row = 0;
  EXPECT_TRUE(grid->MouseToCell(cell.left + 5, cell.top + 5, col, row));
  EXPECT_EQ(col, 3);
  EXPECT_EQ(row, 2);
  PostClientClick(wnd, cell.left + 5, cell.top + 5);
  ASSERT_TRUE(PumpUntil([&] { return grid->Col() == 3 && grid->Row() == 2; }, 1000));
  EXPECT_TRUE(grid->Focused());
  // Shift and a click stretch the selection from the current cell.
  const RECT corner = grid->CellRect(1, 4);
  const LPARAM at = MAKELPARAM(corner.left + 5, corner.top + 5);
  ::PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at);
  ::PostMessageW(wnd, WM_LBUTTONUP, MK_SHIFT, at);
  ASSERT_TRUE(PumpUntil([&] { return grid->Row() == 4; }, 1000));
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 2, 3, 4}));
  // A click on a fixed cell changes nothing.
  PostClientClick(wnd, 5, 5);
  PumpMessages(50);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_EQ(grid->Row(), 4);

  grid->SetOptions(grid->Options() + TGridOptions{goRowSelect});
  EXPECT_EQ(grid->Selection().Left, 1);
  EXPECT_EQ(grid->Selection().Right, 4);
  EXPECT_THROW(grid->SetFixedCols(5), EInvalidOperation);
  EXPECT_THROW(grid->SetCells(5, 0, L"x"), EInvalidOperation);
  grid->SetCells(4, 4, L"gone");
  grid->SetColCount(2);  // the current cell follows
  EXPECT_EQ(grid->Col(), 1);
  grid->SetColCount(5);
  EXPECT_EQ(grid->Cells(4, 4), L"");  // texts left with their column
  EXPECT_EQ(grid->Cells(9, 9), L"");
}

TEST(Grids, EditingInPlaceChangesTheCellText) {
  FormFixture f;
  auto* grid = f.Add<TStringGrid>(10, 10, 300, 150);
  grid->SetOptions(grid->Options() + TGridOptions{goEditing});
  grid->SetCells(1, 1, L"old");
  HWND wnd = grid->Handle();
  grid->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return grid->Focused(); }, 1000));
  PostKeyPress(wnd, VK_F2);
  ASSERT_TRUE(PumpUntil([&] { return grid->EditorMode(); }, 1000));
  TInplaceEdit* editor = grid->InplaceEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(WindowClassOf(editor->Handle()), "TInplaceEdit");
  EXPECT_EQ(editor->Text(), L"old");
  EXPECT_TRUE(editor->Focused());
  const RECT cell = grid->CellRect(1, 1);
  EXPECT_EQ(editor->Left(), cell.left);
  EXPECT_EQ(editor->Width(), cell.right - cell.left);
  // Typing replaces the selected text; Enter keeps it.
  for (wchar_t c : std::wstring(L"new")) ::PostMessageW(editor->Handle(), WM_CHAR, c, 1);
  PostKeyPress(editor->Handle(), VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return !grid->EditorMode(); }, 1000));
  EXPECT_EQ(grid->Cells(1, 1), L"new");
  EXPECT_TRUE(grid->Focused());

  // A character typed on the grid starts editing with it; Esc drops the edit.
  PostKeyPress(wnd, VK_DOWN);
  ::PostMessageW(wnd, WM_CHAR, L'Z', 1);
  ASSERT_TRUE(PumpUntil([&] { return grid->EditorMode() && editor->Text() == L"Z"; }, 1000));
  EXPECT_EQ(grid->Row(), 2);
  PostKeyPress(editor->Handle(), VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !grid->EditorMode(); }, 1000));
  EXPECT_EQ(grid->Cells(1, 2), L"");
  // Down in the editor keeps the text and moves on.
  ::PostMessageW(wnd, WM_CHAR, L'Q', 1);
  ASSERT_TRUE(PumpUntil([&] { return grid->EditorMode() && editor->Text() == L"Q"; }, 1000));
  PostKeyPress(editor->Handle(), VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return grid->Row() == 3; }, 1000));
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(grid->Cells(1, 2), L"Q");
  // With goAlwaysShowEditor the editor follows the current cell.
  grid->SetOptions(grid->Options() + TGridOptions{goAlwaysShowEditor});
  PostKeyPress(wnd, VK_UP);
  ASSERT_TRUE(PumpUntil([&] { return grid->EditorMode(); }, 1000));
  EXPECT_EQ(editor->Text(), L"Q");
  PostKeyPress(editor->Handle(), VK_UP);
  ASSERT_TRUE(PumpUntil([&] { return grid->Row() == 1 && grid->EditorMode(); }, 1000));
  EXPECT_EQ(editor->Text(), L"new");
  PostKeyPress(editor->Handle(), VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !grid->EditorMode(); }, 1000));
  // Without goEditing nothing opens.
  grid->SetOptions(grid->Options() - TGridOptions{goEditing, goAlwaysShowEditor});
  PostKeyPress(wnd, VK_F2);
  PumpMessages(50);
  EXPECT_FALSE(grid->EditorMode());
}

TEST(Grids, DraggingFixedCellLinesResizesColumnsAndRows) {
  FormFixture f;
  auto* grid = f.Add<TStringGrid>(10, 10, 340, 200);
  grid->SetOptions(grid->Options() + TGridOptions{goColSizing, goRowSizing});
  HWND wnd = grid->Handle();
  // The line right of column 1 in the fixed row: x = 64 + 1 + 64.
  const int line = 2 * 64 + 1;
  ASSERT_TRUE(MoveCursorTo(grid->ClientToScreen(POINT{line, 10})));
  ::SendMessageW(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZEWE));
  ::PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(line, 10));
  ::PostMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(line + 30, 12));
  ::PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(line + 30, 12));
  ASSERT_TRUE(PumpUntil([&] { return grid->ColWidths(1) == 94; }, 1000));
  EXPECT_EQ(grid->ColWidths(0), 64);
  EXPECT_EQ(grid->Col(), 1);  // sizing selects nothing
  EXPECT_EQ(grid->CellRect(2, 1).left, 64 + 1 + 94 + 1);
  // A row line in the fixed column: below row 2, made smaller.
  const int rowLine = 3 * 24 + 2;
  ::PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, rowLine));
  ::PostMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, rowLine - 10));
  ::PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(20, rowLine - 10));
  ASSERT_TRUE(PumpUntil([&] { return grid->RowHeights(2) == 14; }, 1000));
  // Lines inside the scrollable cells are no handles.
  ::PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(line, 60));
  ::PostMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(line + 30, 60));
  ::PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(line + 30, 60));
  PumpMessages(50);
  EXPECT_EQ(grid->ColWidths(1), 94);
}

TEST(Grids, PaintsFixedCellsInFixedColorAndTheSelectionHighlighted) {
  FormFixture f;
  auto* grid = f.Add<TStringGrid>(10, 10, 300, 150);
  grid->SetFixedColor(RGB(0, 128, 0));
  grid->SetCol(2);
  grid->SetRow(2);
  grid->SetOptions(grid->Options() + TGridOptions{goDrawFocusSelected});
  grid->SetCells(1, 1, L"Hi");
  int drawn = 0;
  grid->OnDrawCell = [&](TObject*, int, int, RECT, TGridDrawState) { ++drawn; };
  grid->Repaint();
  PumpMessages(50);
  EXPECT_GT(drawn, 0);
  Image shot = CaptureWindow(grid->Handle());
  RECT client;
  ::GetClientRect(grid->Handle(), &client);
  POINT origin{0, 0};
  ::ClientToScreen(grid->Handle(), &origin);
  RECT window;
  ::GetWindowRect(grid->Handle(), &window);
  const int dx = origin.x - window.left, dy = origin.y - window.top;
  auto pixel = [&](int x, int y) { return shot.At(dx + x, dy + y); };
  const RECT fixed = grid->CellRect(0, 3);
  EXPECT_EQ(pixel((fixed.left + fixed.right) / 2, (fixed.top + fixed.bottom) / 2), Rgb(0, 128, 0));
  const RECT selected = grid->CellRect(2, 2);
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(pixel(selected.left + 4, selected.bottom - 4),
            Rgb(GetRValue(highlight), GetGValue(highlight), GetBValue(highlight)));
  const RECT plain = grid->CellRect(3, 3);
  EXPECT_EQ(pixel((plain.left + plain.right) / 2, (plain.top + plain.bottom) / 2), Rgb(255, 255, 255));
}

TEST(CommonControls, ScreenshotOfEveryControlOnOneForm) {
  FormFixture f(640, 420);
  f.Form()->SetCaption(L"Common controls");
  auto* progress = f.Add<TProgressBar>(10, 10, 200, 18);
  progress->SetPosition(60);
  auto* track = f.Add<TTrackBar>(10, 36, 200, 40);
  track->SetSelStart(3);
  track->SetSelEnd(6);
  track->SetPosition(4);
  auto* edit = f.Add<TTestEdit>(10, 86, 60, 22);
  auto* updown = f.Add<TUpDown>(70, 86, 17, 22);
  updown->SetPosition(7);
  updown->SetAssociate(edit);
  auto* picker = f.Add<TDateTimePicker>(100, 86, 120, 22);
  picker->SetDate(TDateTime::EncodeDate(2024, 5, 17));
  auto* spin = f.Add<TDateTimePicker>(100, 114, 120, 22);
  spin->SetKind(dtkTime);
  auto* pages = f.Add<TPageControl>(230, 10, 390, 150);
  for (const wchar_t* caption : {L"First", L"Second", L"Third"}) {
    auto* sheet = Create<TTabSheet>(pages);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pages);
  }
  auto* tabs = f.Add<TTabControl>(10, 146, 210, 80);
  tabs->SetTabPosition(tpBottom);
  tabs->Tabs()->SetText(L"Left\r\nRight");
  auto* tree = f.Add<TTreeView>(10, 236, 200, 140);
  SampleTree t(tree->Items());
  tree->FullExpand();
  tree->SetHideSelection(false);
  tree->SetSelected(t.pear);
  auto* list = f.Add<TListView>(230, 170, 180, 206);
  list->SetViewStyle(vsReport);
  list->SetRowSelect(true);
  list->Columns()->Add()->SetCaption(L"Name");
  list->Columns()->Add()->SetCaption(L"Size");
  for (int i = 0; i < 5; ++i) {
    TListItem* item = list->Items()->Add();
    item->SetCaption(L"item " + std::to_wstring(i));
    item->SubItems()->Add(std::to_wstring(i * 10));
  }
  list->SetHideSelection(false);
  list->SetItemIndex(1);
  auto* grid = f.Add<TStringGrid>(420, 170, 200, 206);
  grid->SetColCount(6);
  grid->SetRowCount(20);
  grid->SetDefaultColWidth(48);
  grid->SetDefaultRowHeight(20);
  for (int c = 1; c < 6; ++c) grid->SetCells(c, 0, std::wstring(1, static_cast<wchar_t>(L'A' + c - 1)));
  for (int r = 1; r < 20; ++r) grid->SetCells(0, r, std::to_wstring(r));
  grid->SetCells(2, 2, L"cell");
  grid->SetFocus();
  PumpMessages(300);
  const Image shot = CaptureScreenAround(f.Form()->Handle(), 0);
  EXPECT_FALSE(SaveScreenshot(shot, L"comctrls_all").empty());
  EXPECT_TRUE(::IsWindowVisible(pages->ActivePage()->Handle()));
}
