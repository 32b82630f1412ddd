#include "framework/ListView.h"

#include <algorithm>

namespace nuvskin {

namespace {

int ColumnFormat(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return LVCFMT_RIGHT;
    case taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
  }
}

}  // namespace

// --- TListColumn --------------------------------------------------------------

void TListColumn::Publish(ClassBuilder<TListColumn>& b) {
  b.Enum("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment);
  b.WideString("Caption", &TListColumn::Caption, &TListColumn::SetCaption, "string");
  b.Integer("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex).typeName = "TImageIndex";
  b.Integer("Width", &TListColumn::Width, &TListColumn::SetWidth).typeName = "TWidth";
}

// Joins the collection only once the column's own fields are set: joining
// makes the list view read them.
TListColumn::TListColumn(TCollection* collection) : TCollectionItem(nullptr) { SetCollection(collection); }

TCustomListView* TListColumn::ListView() const {
  auto* columns = dynamic_cast<TListColumns*>(Collection());
  return columns ? columns->Owner() : nullptr;
}

void TListColumn::SetCaption(const std::wstring& value) {
  caption_ = value;
  Changed(false);
}

int TListColumn::Width() const {
  TCustomListView* list = ListView();
  if (list && list->HandleAllocated() && Index() < list->windowColumns_)
    width_ = static_cast<int>(::SendMessageW(list->WindowHandle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index()), 0));
  return width_;
}

void TListColumn::SetWidth(int value) {
  width_ = value;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment value) {
  alignment_ = value;
  Changed(false);
}

void TListColumn::SetImageIndex(int value) {
  imageIndex_ = value;
  Changed(false);
}

TListColumns::TListColumns(TCustomListView* owner) : TCollection(TListColumn::StaticClass()), owner_(owner) {}

TPersistent* TListColumns::GetOwner() { return owner_; }

void TListColumns::Update(TCollectionItem* item) {
  if (!owner_) return;
  if (item)
    owner_->UpdateColumn(item->Index());
  else
    owner_->UpdateColumns();
}

// --- TListItem ----------------------------------------------------------------

TListItem::TListItem(TListItems* owner) : owner_(owner) {
  subItems_ = Create<TStringList>();
  subItems_->OnChange = TNotifyEvent::Bind(this, &TListItem::SubItemsOnChange);
}

TListItem::~TListItem() {
  if (owner_) {
    const int index = Index();
    TCustomListView* list = owner_->owner_;
    if (index >= 0) {
      if (list && list->HandleAllocated())
        ::SendMessageW(list->WindowHandle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
      owner_->items_.erase(owner_->items_.begin() + index);
    }
  }
  TObject::Free(subItems_);
}

TCustomListView* TListItem::ListView() const { return owner_ ? owner_->Owner() : nullptr; }

int TListItem::Index() const { return owner_ ? owner_->IndexOf(this) : -1; }

void TListItem::SetCaption(const std::wstring& value) {
  caption_ = value;
  if (TCustomListView* list = ListView()) list->UpdateListItem(this);
}

void TListItem::SubItemsOnChange(TObject*) {
  if (TCustomListView* list = ListView()) list->UpdateListItem(this);
}

void TListItem::SetImageIndex(int value) {
  imageIndex_ = value;
  if (TCustomListView* list = ListView()) list->UpdateListItem(this);
}

UINT TListItem::State(UINT mask) const {
  TCustomListView* list = ListView();
  if (list && list->HandleAllocated())
    return static_cast<UINT>(::SendMessageW(list->WindowHandle(), LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), mask));
  return state_ & mask;
}

void TListItem::SetState(UINT state, UINT mask) {
  state_ = (state_ & ~mask) | (state & mask);
  TCustomListView* list = ListView();
  if (!list || !list->HandleAllocated()) return;
  LVITEMW item{};
  item.stateMask = mask;
  item.state = state;
  ::SendMessageW(list->WindowHandle(), LVM_SETITEMSTATE, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&item));
}

bool TListItem::Selected() const { return State(LVIS_SELECTED) != 0; }
void TListItem::SetSelected(bool value) { SetState(value ? LVIS_SELECTED : 0, LVIS_SELECTED); }
bool TListItem::Focused() const { return State(LVIS_FOCUSED) != 0; }
void TListItem::SetFocused(bool value) { SetState(value ? LVIS_FOCUSED : 0, LVIS_FOCUSED); }

RECT TListItem::DisplayRect() const {
  RECT r{LVIR_BOUNDS, 0, 0, 0};
  TCustomListView* list = ListView();
  if (!list || !list->HandleAllocated() ||
      !::SendMessageW(list->WindowHandle(), LVM_GETITEMRECT, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&r)))
    r = RECT{};
  return r;
}

void TListItem::MakeVisible() {
  TCustomListView* list = ListView();
  if (list && list->HandleAllocated())
    ::SendMessageW(list->WindowHandle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index()), FALSE);
}

TListItems::TListItems(TCustomListView* owner) : owner_(owner) {}

TListItems::~TListItems() { Clear(); }

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return items_[static_cast<std::size_t>(index)];
}

TListItem* TListItems::Insert(int index) {
  index = std::clamp(index, 0, Count());
  auto* item = Create<TListItem>(this);
  items_.insert(items_.begin() + index, item);
  if (owner_) owner_->InsertListItem(item, index);
  return item;
}

void TListItems::Clear() {
  if (owner_ && owner_->HandleAllocated()) ::SendMessageW(owner_->WindowHandle(), LVM_DELETEALLITEMS, 0, 0);
  std::vector<TListItem*> items;
  items.swap(items_);
  for (TListItem* item : items) {
    item->owner_ = nullptr;
    TObject::Free(item);
  }
}

int TListItems::IndexOf(const TListItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

// --- TCustomListView ----------------------------------------------------------

TCustomListView::TCustomListView(TComponent* owner) : TCustomMultiSelectListControl(owner) {
  SetBounds(0, 0, 250, 150);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  columns_ = Create<TListColumns>(this);
  items_ = Create<TListItems>(this);
}

TCustomListView::~TCustomListView() {
  DestroyHandle();
  TObject::Free(items_);
  TObject::Free(columns_);
}

void TCustomListView::SetItems(TListItems* value) {
  if (value == items_) return;
  items_->Clear();
  if (!value) return;
  for (TListItem* source : value->items_) {
    TListItem* item = items_->Add();
    item->caption_ = source->caption_;
    item->imageIndex_ = source->imageIndex_;
    item->data_ = source->data_;
    item->subItems_->Assign(source->subItems_);  // updates the window item
  }
}

void TCustomListView::CreateParams(TCreateParams& params) {
  TCustomMultiSelectListControl::CreateParams(params);
  params.SysClassName = WC_LISTVIEWW;
  params.ExStyle |= BorderExStyle(borderStyle_);
  static constexpr DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  params.Style |= kViewStyles[viewStyle_] | LVS_SHAREIMAGELISTS;
  if (!multiSelect_) params.Style |= LVS_SINGLESEL;
  if (!showColumnHeaders_) params.Style |= LVS_NOCOLUMNHEADER;
  if (!hideSelection_) params.Style |= LVS_SHOWSELALWAYS;
}

void TCustomListView::CreateHandle() {
  TCustomMultiSelectListControl::CreateHandle();
  HWND wnd = WindowHandle();
  ::SendMessageW(wnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  ::SendMessageW(wnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  ::SendMessageW(wnd, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Font()->Color())));
  SetExtendedStyles();
  if (smallImages_) ::SendMessageW(wnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_->Handle()));
  if (largeImages_) ::SendMessageW(wnd, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeImages_->Handle()));
  windowColumns_ = 0;
  restoring_ = true;
  try {
    for (int i = 0; i < columns_->Count(); ++i) InsertColumnItem(i);
    for (int i = 0; i < items_->Count(); ++i) InsertListItem(items_->Item(i), i);
  } catch (...) {
    restoring_ = false;
    throw;
  }
  restoring_ = false;
}

void TCustomListView::ColorChanged() {
  if (HandleAllocated()) {
    ::SendMessageW(WindowHandle(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    ::SendMessageW(WindowHandle(), LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  }
  TCustomMultiSelectListControl::ColorChanged();
}

void TCustomListView::FontChanged() {
  TCustomMultiSelectListControl::FontChanged();
  if (HandleAllocated())
    ::SendMessageW(WindowHandle(), LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Font()->Color())));
}

void TCustomListView::DestroyWnd() {
  if (HandleAllocated()) {
    for (int i = 0; i < columns_->Count(); ++i) columns_->Items(i)->Width();  // keeps the user's widths
    for (TListItem* item : items_->items_) item->state_ = item->State(LVIS_SELECTED | LVIS_FOCUSED);
  }
  TCustomMultiSelectListControl::DestroyWnd();
  windowColumns_ = 0;
}

void TCustomListView::SetExtendedStyles() {
  if (!HandleAllocated()) return;
  const DWORD mask = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
  DWORD styles = 0;
  if (rowSelect_) styles |= LVS_EX_FULLROWSELECT;
  if (gridLines_) styles |= LVS_EX_GRIDLINES;
  ::SendMessageW(WindowHandle(), LVM_SETEXTENDEDLISTVIEWSTYLE, mask, styles);
}

void TCustomListView::InsertColumnItem(int index) {
  TListColumn* column = columns_->Items(index);
  LVCOLUMNW lvc{};
  lvc.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
  lvc.fmt = ColumnFormat(column->alignment_);
  lvc.cx = column->width_;
  lvc.pszText = column->caption_.data();
  if (column->imageIndex_ >= 0) {
    lvc.mask |= LVCF_IMAGE;
    lvc.fmt |= LVCFMT_IMAGE;
    lvc.iImage = column->imageIndex_;
  }
  if (::SendMessageW(WindowHandle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&lvc)) >= 0)
    ++windowColumns_;
}

void TCustomListView::UpdateColumn(int index) {
  if (!HandleAllocated() || index < 0 || index >= windowColumns_) {
    UpdateColumns();
    return;
  }
  TListColumn* column = columns_->Items(index);
  LVCOLUMNW lvc{};
  lvc.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE;
  lvc.fmt = ColumnFormat(column->alignment_) | (column->imageIndex_ >= 0 ? LVCFMT_IMAGE : 0);
  lvc.cx = column->width_;
  lvc.pszText = column->caption_.data();
  lvc.iImage = column->imageIndex_;
  ::SendMessageW(WindowHandle(), LVM_SETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&lvc));
}

void TCustomListView::UpdateColumns() {
  if (!HandleAllocated()) return;
  for (int i = 0; i < columns_->Count() && i < windowColumns_; ++i) columns_->Items(i)->Width();
  // Columns came, went or moved: build them again, then the sub-item texts.
  while (windowColumns_ > 0) ::SendMessageW(WindowHandle(), LVM_DELETECOLUMN, static_cast<WPARAM>(--windowColumns_), 0);
  for (int i = 0; i < columns_->Count(); ++i) InsertColumnItem(i);
  for (TListItem* item : items_->items_) UpdateListItem(item);
}

void TCustomListView::InsertListItem(TListItem* item, int index) {
  if (!HandleAllocated()) return;
  LVITEMW lvi{};
  lvi.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
  lvi.iItem = index;
  lvi.pszText = item->caption_.data();
  lvi.iImage = item->imageIndex_;
  lvi.lParam = reinterpret_cast<LPARAM>(item);
  lvi.state = item->state_;
  lvi.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(WindowHandle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lvi));
  UpdateListItem(item);
}

void TCustomListView::UpdateListItem(TListItem* item) {
  if (!HandleAllocated()) return;
  const int index = item->Index();
  if (index < 0) return;
  LVITEMW lvi{};
  lvi.mask = LVIF_TEXT | LVIF_IMAGE;
  lvi.iItem = index;
  lvi.pszText = item->caption_.data();
  lvi.iImage = item->imageIndex_;
  ::SendMessageW(WindowHandle(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&lvi));
  for (int sub = 1; sub < windowColumns_; ++sub) {
    std::wstring text = sub - 1 < item->subItems_->Count() ? item->subItems_->Get(sub - 1) : std::wstring();
    LVITEMW s{};
    s.iSubItem = sub;
    s.pszText = text.data();
    ::SendMessageW(WindowHandle(), LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&s));
  }
}

void TCustomListView::SetStyleFlag(bool& flag, bool value) {
  if (flag == value) return;
  flag = value;
  RecreateWnd();
}

void TCustomListView::SetViewStyle(TViewStyle value) {
  if (value == viewStyle_) return;
  viewStyle_ = value;
  RecreateWnd();
}

void TCustomListView::SetShowColumnHeaders(bool value) { SetStyleFlag(showColumnHeaders_, value); }
void TCustomListView::SetHideSelection(bool value) { SetStyleFlag(hideSelection_, value); }

void TCustomListView::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  TCustomMultiSelectListControl::SetMultiSelect(value);
  RecreateWnd();
}

void TCustomListView::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomListView::SetRowSelect(bool value) {
  rowSelect_ = value;
  SetExtendedStyles();
}

void TCustomListView::SetGridLines(bool value) {
  gridLines_ = value;
  SetExtendedStyles();
}

void TCustomListView::SetImageList(TCustomImageList*& field, TCustomImageList* value, int which) {
  if (value == field) return;
  TCustomImageList* old = field;
  field = value;
  // The same list may serve both sizes: keep the notification while either uses it.
  if (old && old != smallImages_ && old != largeImages_) old->RemoveFreeNotification(this);
  if (value) value->FreeNotification(this);
  if (HandleAllocated())
    ::SendMessageW(WindowHandle(), LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                   reinterpret_cast<LPARAM>(value ? value->Handle() : nullptr));
}

void TCustomListView::SetSmallImages(TCustomImageList* value) { SetImageList(smallImages_, value, LVSIL_SMALL); }
void TCustomListView::SetLargeImages(TCustomImageList* value) { SetImageList(largeImages_, value, LVSIL_NORMAL); }

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  TCustomMultiSelectListControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == smallImages_) SetSmallImages(nullptr);
  if (component == largeImages_) SetLargeImages(nullptr);
}

HWND TCustomListView::HeaderHandle() const {
  return HandleAllocated() ? reinterpret_cast<HWND>(::SendMessageW(WindowHandle(), LVM_GETHEADER, 0, 0)) : nullptr;
}

TListItem* TCustomListView::Selected() const {
  const int index = ItemIndex();
  return index >= 0 ? items_->Item(index) : nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
  if (item && item->owner_ != items_) return;
  ClearSelection();
  if (item) {
    item->SetSelected(true);
    item->SetFocused(true);
  }
}

TListItem* TCustomListView::ItemFocused() const {
  for (TListItem* item : items_->items_)
    if (item->Focused()) return item;
  return nullptr;
}

TListItem* TCustomListView::GetItemAt(int x, int y) {
  if (!HandleAllocated()) return nullptr;
  LVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  const int index = static_cast<int>(::SendMessageW(WindowHandle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return index >= 0 && index < Count() && (hit.flags & LVHT_ONITEM) ? items_->Item(index) : nullptr;
}

int TCustomListView::ItemIndex() const {
  if (HandleAllocated())
    return static_cast<int>(::SendMessageW(WindowHandle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  for (int i = 0; i < Count(); ++i)
    if (items_->items_[static_cast<std::size_t>(i)]->state_ & LVIS_SELECTED) return i;
  return -1;
}

void TCustomListView::SetItemIndex(int value) { SetSelected(value >= 0 && value < Count() ? items_->Item(value) : nullptr); }

void TCustomListView::AddItem(const std::wstring& caption, TObject* object) {
  TListItem* item = items_->Add();
  item->SetCaption(caption);
  item->SetData(object);
}

void TCustomListView::ClearSelection() {
  for (TListItem* item : items_->items_) item->SetSelected(false);
}

void TCustomListView::DeleteSelected() {
  for (int i = Count() - 1; i >= 0; --i)
    if (items_->Item(i)->Selected()) items_->Delete(i);
}

void TCustomListView::SelectAll() {
  if (!multiSelect_) return;
  for (TListItem* item : items_->items_) item->SetSelected(true);
}

int TCustomListView::SelCount() const {
  if (HandleAllocated()) return static_cast<int>(::SendMessageW(WindowHandle(), LVM_GETSELECTEDCOUNT, 0, 0));
  return static_cast<int>(std::count_if(items_->items_.begin(), items_->items_.end(),
                                        [](const TListItem* item) { return (item->state_ & LVIS_SELECTED) != 0; }));
}

void TCustomListView::SelectItem(TListItem* item, bool selected) {
  if (OnSelectItem) OnSelectItem(this, item, selected);
}

void TCustomListView::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    // Items going with the window, or coming back in a new one, are no change.
    if (ControlState().Contains(csDestroyingHandle) || IsDestroying() || restoring_) {
      m.Result = 0;
      return;
    }
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (hdr->code == LVN_ITEMCHANGED) {
      auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
      m.Result = 0;
      if ((nm->uChanged & LVIF_STATE) && ((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED)) {
        const bool selected = (nm->uNewState & LVIS_SELECTED) != 0;
        if (nm->iItem >= 0 && nm->iItem < Count()) {
          TListItem* item = items_->Item(nm->iItem);
          item->state_ = (item->state_ & ~LVIS_SELECTED) | (selected ? LVIS_SELECTED : 0);
          SelectItem(item, selected);
        } else if (nm->iItem == -1) {
          for (TListItem* item : items_->items_) SelectItem(item, selected);  // all items at once
        }
      }
      return;
    }
  }
  TCustomMultiSelectListControl::WndProc(m);
}

void TListView::Publish(ClassBuilder<TListView>& b) {
  PublishControl(b, {"Align", "Anchors", "BevelEdges", "BiDiMode", "Color", "Constraints", "Enabled", "Font",
                     "Hint", "ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu", "Visible", "TabOrder",
                     "TabStop", "OnClick", "OnDblClick", "OnEnter", "OnExit"});
  PublishBorderStyle(b);
  b.Object("Columns", &TListView::Columns, &TListView::SetColumns);
  b.Boolean("GridLines", &TListView::GridLines, &TListView::SetGridLines);
  b.Boolean("HideSelection", &TListView::HideSelection, &TListView::SetHideSelection);
  b.Object("Items", &TListView::Items, &TListView::SetItems);
  b.Object("LargeImages", &TListView::LargeImages, &TListView::SetLargeImages);
  b.Boolean("MultiSelect", &TListView::MultiSelect, &TListView::SetMultiSelect);
  b.Boolean("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect);
  b.Boolean("ShowColumnHeaders", &TListView::ShowColumnHeaders, &TListView::SetShowColumnHeaders);
  b.Object("SmallImages", &TListView::SmallImages, &TListView::SetSmallImages);
  b.Enum("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle);
}

}  // namespace nuvskin
