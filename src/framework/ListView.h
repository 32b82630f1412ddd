// The list view (SysListView32): items with sub-items in four view styles
// and, in the report style, columns under a header. Items and columns live
// in the control and are put into every new window.
#pragma once

#include <vector>

#include "framework/CommonControls.h"
#include "framework/ImgList.h"
#include "framework/ListControls.h"

namespace nuvskin {

class TCustomListView;
class TListColumns;
class TListItems;

class TListColumn : public TCollectionItem {
  NUV_CLASS(TListColumn, TCollectionItem)
  static void Publish(ClassBuilder<TListColumn>& b);
  explicit TListColumn(TCollection* collection);

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& value);
  // The width in pixels; the window's value once the user resized it.
  int Width() const;
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  std::wstring DisplayName() const override { return caption_; }

 private:
  friend class TCustomListView;
  TCustomListView* ListView() const;
  std::wstring caption_;
  mutable int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  int imageIndex_ = -1;
};

class TListColumns : public TCollection {
  NUV_CLASS(TListColumns, TCollection)
  explicit TListColumns(TCustomListView* owner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int index) const { return Item<TListColumn>(index); }
  TCustomListView* Owner() const { return owner_; }
  TPersistent* GetOwner() override;
  void Update(TCollectionItem* item) override;

 private:
  TCustomListView* owner_;
};

class TListItem : public TPersistent {
  NUV_CLASS(TListItem, TPersistent)
  explicit TListItem(TListItems* owner);
  ~TListItem() override;

  TListItems* Owner() const { return owner_; }
  TCustomListView* ListView() const;
  int Index() const;
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& value);
  // The texts of the report style's further columns.
  TStrings* SubItems() const { return subItems_; }
  void SetSubItems(TStrings* value) { subItems_->Assign(value); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  // The item's rectangle in the list's client area (empty without a window).
  RECT DisplayRect() const;
  void MakeVisible();
  void Delete() { TObject::Free(this); }

 private:
  friend class TListItems;
  friend class TCustomListView;
  void SubItemsOnChange(TObject*);
  UINT State(UINT mask) const;
  void SetState(UINT state, UINT mask);
  TListItems* owner_;
  std::wstring caption_;
  TStringList* subItems_;
  int imageIndex_ = -1;
  void* data_ = nullptr;
  UINT state_ = 0;  // selected and focused while there is no window
};

class TListItems : public TPersistent {
  NUV_CLASS(TListItems, TPersistent)
  explicit TListItems(TCustomListView* owner);
  ~TListItems() override;

  TCustomListView* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TListItem* Item(int index) const;
  TListItem* Add() { return Insert(Count()); }
  TListItem* Insert(int index);
  void Delete(int index) { TObject::Free(Item(index)); }
  void Clear();
  int IndexOf(const TListItem* item) const;

 private:
  friend class TListItem;
  friend class TCustomListView;
  TCustomListView* owner_;
  std::vector<TListItem*> items_;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
NUV_ENUM(TViewStyle, "vsIcon", "vsSmallIcon", "vsList", "vsReport");

using TLVSelectItemEvent = Event<void(TObject* Sender, TListItem* Item, bool Selected)>;

class TCustomListView : public TCustomMultiSelectListControl {
  NUV_CLASS(TCustomListView, TCustomMultiSelectListControl)
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;

  TListColumns* Columns() const { return columns_; }
  void SetColumns(TListColumns* value) { columns_->Assign(value); }
  // The column shown by header item `index`.
  TListColumn* GetColumnFromIndex(int index) const { return columns_->Items(index); }
  TListItems* Items() const { return items_; }
  void SetItems(TListItems* value);
  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle value);
  TCustomImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TCustomImageList* value);
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  // The first selected item, or nullptr.
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  TListItem* ItemFocused() const;
  TListItem* GetItemAt(int x, int y);
  // The column header window of the report style (nullptr without a window).
  HWND HeaderHandle() const;

  int Count() const override { return items_->Count(); }
  int ItemIndex() const override;
  void SetItemIndex(int value) override;
  void AddItem(const std::wstring& item, TObject* object) override;
  void Clear() override { items_->Clear(); }
  void ClearSelection() override;
  void DeleteSelected() override;
  void SelectAll() override;
  void SetMultiSelect(bool value) override;
  int SelCount() const override;

  TLVSelectItemEvent OnSelectItem;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void ColorChanged() override;
  void FontChanged() override;
  virtual void SelectItem(TListItem* item, bool selected);

 private:
  friend class TListColumn;
  friend class TListColumns;
  friend class TListItem;
  friend class TListItems;
  void InsertColumnItem(int index);
  void UpdateColumn(int index);
  void UpdateColumns();
  void InsertListItem(TListItem* item, int index);
  void UpdateListItem(TListItem* item);
  void SetExtendedStyles();
  void SetImageList(TCustomImageList*& field, TCustomImageList* value, int which);
  void SetStyleFlag(bool& flag, bool value);
  TListColumns* columns_;
  TListItems* items_;
  TViewStyle viewStyle_ = vsIcon;
  TCustomImageList* smallImages_ = nullptr;
  TCustomImageList* largeImages_ = nullptr;
  bool rowSelect_ = false, showColumnHeaders_ = true, hideSelection_ = true, gridLines_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  int windowColumns_ = 0;  // columns the window has
  bool restoring_ = false;  // a new window gets the items back: no events
};

class TListView : public TCustomListView {
  NUV_CLASS(TListView, TCustomListView)
  static void Publish(ClassBuilder<TListView>& b);
  using TCustomListView::TCustomListView;
};

}  // namespace nuvskin
