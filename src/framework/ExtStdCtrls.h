// Standard controls over common-control window classes: the extended combo
// box (items with images), the rich edit and the hot key field.
#pragma once

#include <string>

#include "framework/ImgList.h"
#include "framework/StdCtrls.h"

namespace nuvskin {

enum TComboBoxExStyle { csExDropDown, csExSimple, csExDropDownList };
NUV_ENUM(TComboBoxExStyle, "csExDropDown", "csExSimple", "csExDropDownList");

class TCustomComboBoxEx;

// One item of an extended combo box: a caption and its images.
class TComboExItem : public TCollectionItem {
  NUV_CLASS(TComboExItem, TCollectionItem)
  static void Publish(ClassBuilder<TComboExItem>& b);
  explicit TComboExItem(TCollection* collection) : TCollectionItem(collection) {}
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // -1: the ImageIndex image.
  int SelectedImageIndex() const { return selectedImageIndex_; }
  void SetSelectedImageIndex(int value);
  int OverlayImageIndex() const { return overlayImageIndex_; }
  void SetOverlayImageIndex(int value);
  int Indent() const { return indent_; }
  void SetIndent(int value);
  void Assign(TPersistent* source) override;

 private:
  std::wstring caption_;
  int imageIndex_ = -1, selectedImageIndex_ = -1, overlayImageIndex_ = -1, indent_ = 0;
};

class TComboExItems : public TCollection {
  NUV_CLASS(TComboExItems, TCollection)
  explicit TComboExItems(TCustomComboBoxEx* owner);
  TComboExItem* Items(int index) const { return Item<TComboExItem>(index); }
  TComboExItem* AddItem(const std::wstring& caption, int imageIndex = -1, int selectedImageIndex = -1,
                        int overlayImageIndex = -1, int indent = 0);
  TPersistent* GetOwner() override;
  void Update(TCollectionItem* item) override;

 private:
  TCustomComboBoxEx* owner_;
};

// The items are ItemsEx; Items holds their captions and follows them both
// ways (adding to Items adds an item without images).
class TCustomComboBoxEx : public TCustomComboBox {
  NUV_CLASS(TCustomComboBoxEx, TCustomComboBox)
  explicit TCustomComboBoxEx(TComponent* owner);
  ~TCustomComboBoxEx() override;
  TComboExItems* ItemsEx() const { return itemsEx_; }
  void SetItemsEx(TComboExItems* value) { itemsEx_->Assign(value); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TComboBoxExStyle Style() const { return styleEx_; }
  void SetStyle(TComboBoxExStyle value);
  // The inner combo box window that holds the list.
  HWND ComboHandle() const;

 protected:
  friend class TComboExItems;
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void Notification(TComponent* component, TOperation operation) override;
  void WindowInsertItem(int index) override;
  void ItemInserted(int index) override;
  void ItemDeleted(int index) override;
  void ItemsCleared() override;
  bool ItemsSorted() const override { return false; }
  // ItemsEx changed: Items and the window follow.
  void ItemsExChanged();

 private:
  TComboExItems* itemsEx_;
  TCustomImageList* images_ = nullptr;
  TComboBoxExStyle styleEx_ = csExDropDown;
  bool syncing_ = false;
};

class TComboBoxEx : public TCustomComboBoxEx {
  NUV_CLASS(TComboBoxEx, TCustomComboBoxEx)
  static void Publish(ClassBuilder<TComboBoxEx>& b);
  using TCustomComboBoxEx::TCustomComboBoxEx;
};

// A memo over the rich edit control ("RichEdit20W" of Riched20.dll).
class TCustomRichEdit : public TCustomMemo {
  NUV_CLASS(TCustomRichEdit, TCustomMemo)
  explicit TCustomRichEdit(TComponent* owner);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void ColorChanged() override;
  void FontChanged() override;

 private:
  void ApplyColors();
};

class TRichEdit : public TCustomRichEdit {
  NUV_CLASS(TRichEdit, TCustomRichEdit)
  static void Publish(ClassBuilder<TRichEdit>& b);
  using TCustomRichEdit::TCustomRichEdit;
};

// A field that shows the key combination typed into it.
class TCustomHotKey : public TWinControl {
  NUV_CLASS(TCustomHotKey, TWinControl)
  explicit TCustomHotKey(TComponent* owner);
  TShortCut HotKey() const;
  void SetHotKey(TShortCut value);
  void WndProc(TMessage& message) override;
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWnd() override;

 private:
  TShortCut hotKey_ = scNone;  // kept while the window does not exist
};

class THotKey : public TCustomHotKey {
  NUV_CLASS(THotKey, TCustomHotKey)
  static void Publish(ClassBuilder<THotKey>& b);
  using TCustomHotKey::TCustomHotKey;
};

}  // namespace nuvskin
