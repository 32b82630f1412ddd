#include "framework/ExtStdCtrls.h"

#include <commctrl.h>
#include <richedit.h>

namespace nuvskin {

// --- TComboExItem, TComboExItems --------------------------------------------

void TComboExItem::Publish(ClassBuilder<TComboExItem>& b) {
  b.WideString("Caption", &TComboExItem::Caption, &TComboExItem::SetCaption, "TCaption");
  b.Integer("ImageIndex", &TComboExItem::ImageIndex, &TComboExItem::SetImageIndex).typeName = "TImageIndex";
  b.Integer("Indent", &TComboExItem::Indent, &TComboExItem::SetIndent).defaultOrd = 0;
  b.Integer("OverlayImageIndex", &TComboExItem::OverlayImageIndex, &TComboExItem::SetOverlayImageIndex).typeName =
      "TImageIndex";
  b.Integer("SelectedImageIndex", &TComboExItem::SelectedImageIndex, &TComboExItem::SetSelectedImageIndex)
      .typeName = "TImageIndex";
}

void TComboExItem::SetCaption(const std::wstring& value) {
  if (value == caption_) return;
  caption_ = value;
  Changed(false);
}

void TComboExItem::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  Changed(false);
}

void TComboExItem::SetSelectedImageIndex(int value) {
  if (value == selectedImageIndex_) return;
  selectedImageIndex_ = value;
  Changed(false);
}

void TComboExItem::SetOverlayImageIndex(int value) {
  if (value == overlayImageIndex_) return;
  overlayImageIndex_ = value;
  Changed(false);
}

void TComboExItem::SetIndent(int value) {
  if (value == indent_) return;
  indent_ = value;
  Changed(false);
}

void TComboExItem::Assign(TPersistent* source) {
  if (auto* item = dynamic_cast<TComboExItem*>(source)) {
    caption_ = item->caption_;
    imageIndex_ = item->imageIndex_;
    selectedImageIndex_ = item->selectedImageIndex_;
    overlayImageIndex_ = item->overlayImageIndex_;
    indent_ = item->indent_;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

TComboExItems::TComboExItems(TCustomComboBoxEx* owner)
    : TCollection(TComboExItem::StaticClass()), owner_(owner) {}

TComboExItem* TComboExItems::AddItem(const std::wstring& caption, int imageIndex, int selectedImageIndex,
                                     int overlayImageIndex, int indent) {
  BeginUpdate();
  TComboExItem* item = nullptr;
  try {
    item = static_cast<TComboExItem*>(Add());
    item->SetCaption(caption);
    item->SetImageIndex(imageIndex);
    item->SetSelectedImageIndex(selectedImageIndex);
    item->SetOverlayImageIndex(overlayImageIndex);
    item->SetIndent(indent);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return item;
}

TPersistent* TComboExItems::GetOwner() { return owner_; }

void TComboExItems::Update(TCollectionItem*) { owner_->ItemsExChanged(); }

// --- TCustomComboBoxEx, TComboBoxEx -----------------------------------------

TCustomComboBoxEx::TCustomComboBoxEx(TComponent* owner) : TCustomComboBox(owner) {
  itemsEx_ = Create<TComboExItems>(this);
}

TCustomComboBoxEx::~TCustomComboBoxEx() {
  syncing_ = true;  // the items go without touching Items
  TObject::Free(itemsEx_);
}

void TCustomComboBoxEx::CreateParams(TCreateParams& params) {
  TCustomComboBox::CreateParams(params);
  params.SysClassName = WC_COMBOBOXEXW;
  params.Style &= ~static_cast<DWORD>(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE |
                                      CBS_HASSTRINGS | CBS_AUTOHSCROLL);
  switch (styleEx_) {
    case csExDropDown: params.Style |= CBS_DROPDOWN; break;
    case csExSimple: params.Style |= CBS_SIMPLE; break;
    case csExDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
  }
}

void TCustomComboBoxEx::CreateHandle() {
  TCustomComboBox::CreateHandle();
  if (images_) Send(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
}

HWND TCustomComboBoxEx::ComboHandle() const { return reinterpret_cast<HWND>(Send(CBEM_GETCOMBOCONTROL)); }

void TCustomComboBoxEx::SetStyle(TComboBoxExStyle value) {
  styleEx_ = value;
  static const TComboBoxStyle kBase[] = {csDropDown, csSimple, csDropDownList};
  TCustomComboBox::SetStyle(kBase[value]);
}

void TCustomComboBoxEx::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  images_ = value;
  if (value) value->FreeNotification(this);
  Send(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(value ? value->Handle() : nullptr));
  Invalidate();
}

void TCustomComboBoxEx::Notification(TComponent* component, TOperation operation) {
  TCustomComboBox::Notification(component, operation);
  if (operation == opRemove && component == images_) {
    images_ = nullptr;
    Send(CBEM_SETIMAGELIST, 0, 0);
  }
}

void TCustomComboBoxEx::WindowInsertItem(int index) {
  std::wstring text = items_->Get(index);
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_OVERLAY | CBEIF_INDENT;
  item.iItem = index;
  item.pszText = text.data();
  item.iImage = item.iSelectedImage = item.iOverlay = -1;
  if (index < itemsEx_->Count()) {
    const TComboExItem* x = itemsEx_->Items(index);
    item.iImage = x->ImageIndex();
    item.iSelectedImage = x->SelectedImageIndex() >= 0 ? x->SelectedImageIndex() : x->ImageIndex();
    item.iOverlay = x->OverlayImageIndex();
    item.iIndent = x->Indent();
  }
  Send(CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TCustomComboBoxEx::ItemInserted(int index) {
  if (!syncing_) {
    syncing_ = true;
    itemsEx_->BeginUpdate();
    try {
      auto* item = static_cast<TComboExItem*>(itemsEx_->Insert(index));
      item->SetCaption(items_->Get(index));
    } catch (...) {
      itemsEx_->EndUpdate();
      syncing_ = false;
      throw;
    }
    itemsEx_->EndUpdate();
    syncing_ = false;
  }
  TCustomComboBox::ItemInserted(index);
}

void TCustomComboBoxEx::ItemDeleted(int index) {
  if (!syncing_ && index < itemsEx_->Count()) {
    syncing_ = true;
    try {
      itemsEx_->Delete(index);
    } catch (...) {
      syncing_ = false;
      throw;
    }
    syncing_ = false;
  }
  TCustomComboBox::ItemDeleted(index);
}

void TCustomComboBoxEx::ItemsCleared() {
  if (!syncing_) {
    syncing_ = true;
    try {
      itemsEx_->Clear();
    } catch (...) {
      syncing_ = false;
      throw;
    }
    syncing_ = false;
  }
  TCustomComboBox::ItemsCleared();
}

void TCustomComboBoxEx::ItemsExChanged() {
  if (syncing_) return;
  syncing_ = true;
  const int index = ItemIndex();
  try {
    items_->Clear();
    for (int i = 0; i < itemsEx_->Count(); ++i) items_->Add(itemsEx_->Items(i)->Caption());
  } catch (...) {
    syncing_ = false;
    throw;
  }
  syncing_ = false;
  SetItemIndex(index < Count() ? index : -1);
}

void TComboBoxEx::Publish(ClassBuilder<TComboBoxEx>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BiDiMode", "Color", "Constraints"});
  b.Integer("DropDownCount", &TComboBoxEx::DropDownCount, &TComboBoxEx::SetDropDownCount).defaultOrd = 8;
  PublishControl(b, {"Enabled", "Font"});
  b.Object("Images", &TComboBoxEx::Images, &TComboBoxEx::SetImages);
  b.Object("ItemsEx", &TComboBoxEx::ItemsEx, &TComboBoxEx::SetItemsEx);
  PublishControl(b, {"ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu"});
  b.Enum("Style", &TComboBoxEx::Style, &TComboBoxEx::SetStyle).defaultOrd = csExDropDown;
  PublishControl(b, {"TabOrder", "TabStop", "Text", "Visible"});
  b.Event("OnChange", &TComboBoxEx::OnChange);
  PublishControl(b, {"OnClick"});
  b.Event("OnCloseUp", &TComboBoxEx::OnCloseUp);
  b.Event("OnDropDown", &TComboBoxEx::OnDropDown);
  PublishControl(b, {"OnEnter", "OnExit"});
  b.Event("OnSelect", &TComboBoxEx::OnSelect);
}

// --- TCustomRichEdit, TRichEdit ---------------------------------------------

TCustomRichEdit::TCustomRichEdit(TComponent* owner) : TCustomMemo(owner) {}

void TCustomRichEdit::CreateParams(TCreateParams& params) {
  // Stays loaded for the life of the process: its windows may outlive any
  // object here that could unload it.
  static const HMODULE library = ::LoadLibraryW(L"Riched20.dll");
  if (!library) throw EOutOfResources("Cannot load Riched20.dll");
  TCustomMemo::CreateParams(params);
  params.SysClassName = L"RichEdit20W";
}

void TCustomRichEdit::CreateHandle() {
  TCustomMemo::CreateHandle();
  HWND wnd = WindowHandle();
  // A limit of 0 would mean the control's small default.
  ::SendMessageW(wnd, EM_EXLIMITTEXT, 0, MaxLength() > 0 ? MaxLength() : 0x7FFFFFFE);
  ::SendMessageW(wnd, EM_SETEVENTMASK, 0, ENM_CHANGE);
  ApplyColors();
}

void TCustomRichEdit::ApplyColors() {
  HWND wnd = WindowHandle();
  if (!wnd) return;
  // The rich edit does not ask its parent for colours.
  ::SendMessageW(wnd, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = ColorToRGB(Font()->Color());
  ::SendMessageW(wnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  ::SendMessageW(wnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

void TCustomRichEdit::ColorChanged() {
  TCustomMemo::ColorChanged();
  ApplyColors();
}

void TCustomRichEdit::FontChanged() {
  TCustomMemo::FontChanged();
  ApplyColors();
}

void TRichEdit::Publish(ClassBuilder<TRichEdit>& b) { PublishMemo(b); }

// --- TCustomHotKey, THotKey -------------------------------------------------

namespace {

WORD ToHotKeyWord(TShortCut shortCut) {
  BYTE modifiers = 0;
  if (shortCut & scShift) modifiers |= HOTKEYF_SHIFT;
  if (shortCut & scCtrl) modifiers |= HOTKEYF_CONTROL;
  if (shortCut & scAlt) modifiers |= HOTKEYF_ALT;
  return MAKEWORD(LOBYTE(shortCut), modifiers);
}

TShortCut FromHotKeyWord(WORD value) {
  TShortCut shortCut = LOBYTE(value);
  const BYTE modifiers = HIBYTE(value);
  if (modifiers & HOTKEYF_SHIFT) shortCut |= scShift;
  if (modifiers & HOTKEYF_CONTROL) shortCut |= scCtrl;
  if (modifiers & HOTKEYF_ALT) shortCut |= scAlt;
  return shortCut;
}

}  // namespace

TCustomHotKey::TCustomHotKey(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(TControlStyle{csSetCaption});
  SetBounds(0, 0, 121, 19);
  SetColor(clWindow);
  SetTabStop(true);
}

void TCustomHotKey::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = HOTKEY_CLASSW;
}

void TCustomHotKey::CreateHandle() {
  TWinControl::CreateHandle();
  ::SendMessageW(WindowHandle(), HKM_SETHOTKEY, ToHotKeyWord(hotKey_), 0);
}

void TCustomHotKey::DestroyWnd() {
  if (HandleAllocated()) hotKey_ = HotKey();
  TWinControl::DestroyWnd();
}

TShortCut TCustomHotKey::HotKey() const {
  if (!HandleAllocated()) return hotKey_;
  return FromHotKeyWord(static_cast<WORD>(::SendMessageW(WindowHandle(), HKM_GETHOTKEY, 0, 0)));
}

void TCustomHotKey::SetHotKey(TShortCut value) {
  hotKey_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), HKM_SETHOTKEY, ToHotKeyWord(value), 0);
}

void TCustomHotKey::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == EN_CHANGE && OnChange) OnChange(this);
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
}

void THotKey::Publish(ClassBuilder<THotKey>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BevelEdges", "BiDiMode",
                     "Constraints", "Enabled"});
  b.Integer("HotKey", &THotKey::HotKey, &THotKey::SetHotKey).typeName = "TShortCut";
  PublishControl(b, {"ParentBiDiMode", "PopupMenu", "TabOrder", "TabStop", "Visible"});
  b.Event("OnChange", &THotKey::OnChange);
  PublishControl(b, {"OnEnter", "OnExit"});
}

}  // namespace nuvskin
