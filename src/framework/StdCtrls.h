// Standard controls over the system's window classes, each superclassed under
// its framework class name: push buttons, check boxes, radio buttons, edits,
// memos, list boxes, combo boxes and scroll bars; and two the framework draws
// itself: the group box and the label.
#pragma once

#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/ListControls.h"

namespace nuvskin {

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
NUV_ENUM(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed");

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
NUV_ENUM(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase");

enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                imSHanguel, imHanguel };
NUV_ENUM(TImeMode, "imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira", "imSKata",
         "imKata", "imChinese", "imSHanguel", "imHanguel");


enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
NUV_ENUM(TListBoxStyle, "lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable");

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
NUV_ENUM(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable");

enum TScrollBarKind { sbHorizontal, sbVertical };
NUV_ENUM(TScrollBarKind, "sbHorizontal", "sbVertical");

enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
NUV_ENUM(TScrollCode, "scLineUp", "scLineDown", "scPageUp", "scPageDown", "scPosition", "scTrack", "scTop",
         "scBottom", "scEndScroll");

enum TTextLayout { tlTop, tlCenter, tlBottom };
NUV_ENUM(TTextLayout, "tlTop", "tlCenter", "tlBottom");

enum TOwnerDrawStateFlag { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive,
                           odNoAccel, odNoFocusRect, odComboBoxEdit };
NUV_ENUM(TOwnerDrawStateFlag, "odSelected", "odGrayed", "odDisabled", "odChecked", "odFocused", "odDefault",
         "odHotLight", "odInactive", "odNoAccel", "odNoFocusRect", "odComboBoxEdit");
using TOwnerDrawState = Set<TOwnerDrawStateFlag>;

using TDrawItemEvent = Event<void(TWinControl* Control, int Index, RECT Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = Event<void(TWinControl* Control, int Index, int& Height)>;
using TScrollEvent = Event<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// ---------------------------------------------------------------------------
// Buttons

// The base of push buttons, check boxes and radio buttons (the BUTTON class).
class TButtonControl : public TWinControl {
  NUV_CLASS(TButtonControl, TWinControl)
  explicit TButtonControl(TComponent* owner);
  // The caption breaks into lines (BS_MULTILINE).
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

 protected:
  void CreateParams(TCreateParams& params) override;
  // While set, state changes do not fire OnClick.
  bool clicksDisabled_ = false;

 private:
  bool wordWrap_ = false;
};

// Where a button's glyph goes beside its caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
NUV_ENUM(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom");

// Where a glyph and a caption go inside `client`, the rule every button of
// the framework follows. Margin is the distance of the glyph from the edge
// it is laid against (-1: glyph and caption centred together), Spacing the
// gap between them (-1: the space left is shared out). Right to left, left
// and right layouts swap.
struct TGlyphPlacement {
  POINT glyph;
  RECT caption;
};
TGlyphPlacement LayoutGlyphAndCaption(HDC dc, const RECT& client, SIZE glyphSize, const std::wstring& caption,
                                      TButtonLayout layout, int margin, int spacing, UINT textFlags,
                                      bool rightToLeft);
// A button caption centred in `rect`; disabled, it is engraved.
void DrawButtonCaption(HDC dc, const std::wstring& caption, RECT rect, UINT textFlags, bool enabled, TColor color);

class TButton : public TButtonControl {
  NUV_CLASS(TButton, TButtonControl)
  static void Publish(ClassBuilder<TButton>& b);
  explicit TButton(TComponent* owner);
  ~TButton() override;
  // Enter clicks the default button unless another button has the focus.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // Esc clicks the cancel button.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  // A click gives the parent form this ModalResult.
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  // An image of the list left of the caption (the button is then drawn by
  // the framework).
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool ImageVisible() const { return imageVisible_; }
  void SetImageVisible(bool value);
  void Click() override;
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Notification(TComponent* component, TOperation operation) override;
  // Enter reaches this button: it is focused, or it is the default button
  // and no other button is focused.
  bool IsActiveDefault() const;
  // Whether the framework draws the button (BS_OWNERDRAW).
  virtual bool OwnerDrawn() const;
  // The face of an owner-drawn button inside its frame, pressed or not.
  virtual void DrawContent(TCanvas* canvas, const RECT& content, bool pushed, bool enabled);

 private:
  void DrawFace(const DRAWITEMSTRUCT& item);
  void ImagesChanged(bool wasOwnerDrawn);
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
  TCustomImageList* images_ = nullptr;
  int imageIndex_ = -1;
  bool imageVisible_ = true;
  TCanvas* canvas_;  // on the DC of WM_DRAWITEM
};

class TCustomCheckBox : public TButtonControl {
  NUV_CLASS(TCustomCheckBox, TButtonControl)
  explicit TCustomCheckBox(TComponent* owner);
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState value);  // fires OnClick when it changes
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  // Clicks pass through cbGrayed only when allowed.
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  // taRightJustify: the caption right of the box; taLeftJustify: left of it.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  // The state a click leads to: unchecked, (grayed,) checked, unchecked...
  virtual void Toggle();

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  NUV_CLASS(TCheckBox, TCustomCheckBox)
  static void Publish(ClassBuilder<TCheckBox>& b);
  using TCustomCheckBox::TCustomCheckBox;
};

// Checking a radio button unchecks the radio buttons of the same parent.
class TRadioButton : public TButtonControl {
  NUV_CLASS(TRadioButton, TButtonControl)
  static void Publish(ClassBuilder<TRadioButton>& b);
  explicit TRadioButton(TComponent* owner);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);  // checking fires OnClick
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;

 private:
  bool checked_ = false;
  TAlignment alignment_ = taRightJustify;
};

// ---------------------------------------------------------------------------
// Edits

class TCustomEdit : public TWinControl {
  NUV_CLASS(TCustomEdit, TWinControl)
  explicit TCustomEdit(TComponent* owner);
  ~TCustomEdit() override;
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);  // bsNone or bsSingle
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);  // 0: no limit
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  wchar_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(wchar_t value);  // 0: text shown
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode value) { imeMode_ = value; }
  bool Modified() const;
  void SetModified(bool value);

  int SelStart() const;
  void SetSelStart(int value);
  int SelLength() const;
  void SetSelLength(int value);
  std::wstring SelText() const;
  void SetSelText(const std::wstring& value);  // replaces the selection
  void SelectAll();
  void ClearSelection() { SetSelText(L""); }
  void Clear() { SetText(L""); }

  void WndProc(TMessage& message) override;
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  virtual void Change();
  HWND EditHandle() const { return WindowHandle(); }

 private:
  TBorderStyle borderStyle_ = bsSingle;
  int maxLength_ = 0;
  bool readOnly_ = false;
  wchar_t passwordChar_ = 0;
  TEditCharCase charCase_ = ecNormal;
  bool hideSelection_ = true;
  TImeMode imeMode_ = imDontCare;
  DWORD selStart_ = 0, selEnd_ = 0;  // kept while the window does not exist
  bool modified_ = false;
};

class TEdit : public TCustomEdit {
  NUV_CLASS(TEdit, TCustomEdit)
  static void Publish(ClassBuilder<TEdit>& b);
  using TCustomEdit::TCustomEdit;
};

// A multi-line edit. Lines are the text's lines (split at line breaks, not
// where word wrapping breaks them) and follow the window's text.
class TCustomMemo : public TCustomEdit {
  NUV_CLASS(TCustomMemo, TCustomEdit)
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;
  TStrings* Lines() const { return lines_; }
  void SetLines(TStrings* value) { lines_->Assign(value); }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value);
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

 protected:
  // The published properties of memos and rich edits.
  template <class C>
  static void PublishMemo(ClassBuilder<C>& b);
  void CreateParams(TCreateParams& params) override;
  bool WantsKey(WORD key) override;

 private:
  TStrings* lines_;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  TAlignment alignment_ = taLeftJustify;
};

class TMemo : public TCustomMemo {
  NUV_CLASS(TMemo, TCustomMemo)
  static void Publish(ClassBuilder<TMemo>& b);
  using TCustomMemo::TCustomMemo;
};

template <class C>
void TCustomMemo::PublishMemo(ClassBuilder<C>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align"});
  b.Enum("Alignment", &C::Alignment, &C::SetAlignment).defaultOrd = taLeftJustify;
  PublishControl(b, {"Anchors", "BevelEdges", "BiDiMode"});
  b.Enum("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, "TBorderStyle").defaultOrd = bsSingle;
  PublishControl(b, {"Color", "Constraints", "Enabled", "Font"});
  b.Boolean("HideSelection", &C::HideSelection, &C::SetHideSelection).defaultOrd = 1;
  b.Enum("ImeMode", &C::ImeMode, &C::SetImeMode).defaultOrd = imDontCare;
  b.Object("Lines", &C::Lines, &C::SetLines);
  b.Integer("MaxLength", &C::MaxLength, &C::SetMaxLength).defaultOrd = 0;
  PublishControl(b, {"ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu"});
  b.Boolean("ReadOnly", &C::ReadOnly, &C::SetReadOnly).defaultOrd = 0;
  b.Enum("ScrollBars", &C::ScrollBars, &C::SetScrollBars).defaultOrd = ssNone;
  PublishControl(b, {"TabOrder", "TabStop", "Visible"});
  b.Boolean("WantReturns", &C::WantReturns, &C::SetWantReturns).defaultOrd = 1;
  b.Boolean("WantTabs", &C::WantTabs, &C::SetWantTabs).defaultOrd = 0;
  b.Boolean("WordWrap", &C::WordWrap, &C::SetWordWrap).defaultOrd = 1;
  b.Event("OnChange", &C::OnChange);
  PublishControl(b, {"OnClick", "OnDblClick", "OnEnter", "OnExit"});
}

// ---------------------------------------------------------------------------
// Lists

// The owner of a TListControlItems: it mirrors the items into its window.
class TListControlItemsHost {
 public:
  virtual void ItemInserted(int index) = 0;
  virtual void ItemDeleted(int index) = 0;
  virtual void ItemsCleared() = 0;
  virtual bool ItemsSorted() const = 0;

 protected:
  ~TListControlItemsHost() = default;
};

// The items of a list or combo box: the strings and objects are kept here
// (so they survive the window) and every change is passed to the host.
// A sorted host gets new strings at their sorted place.
class TListControlItems : public TStrings {
  NUV_CLASS(TListControlItems, TStrings)
  explicit TListControlItems(TListControlItemsHost* host) : host_(host) {}
  int Count() const override { return static_cast<int>(items_.size()); }
  std::wstring Get(int index) const override;
  void Put(int index, const std::wstring& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const std::wstring& s) override { InsertObject(index, s, nullptr); }
  void InsertObject(int index, const std::wstring& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::wstring& s) override { return AddObject(s, nullptr); }
  int AddObject(const std::wstring& s, TObject* object) override;
  // Sorts the items (case-insensitively) and gives them to the host again.
  void Sort();

 private:
  void CheckIndex(int index, bool forInsert) const;
  struct Item {
    std::wstring text;
    TObject* object = nullptr;
  };
  TListControlItemsHost* host_;
  std::vector<Item> items_;
};

class TCustomListBox : public TCustomMultiSelectListControl, private TListControlItemsHost {
  NUV_CLASS(TCustomListBox, TCustomMultiSelectListControl)
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;
  TStrings* Items() const { return items_; }
  void SetItems(TStrings* value) { items_->Assign(value); }
  TCanvas* Canvas() const { return canvas_; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle value);
  int ItemHeight() const;
  void SetItemHeight(int value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  void SetMultiSelect(bool value) override;
  int TopIndex() const;
  void SetTopIndex(int value);
  bool Selected(int index) const;
  void SetSelected(int index, bool value);
  // The item at a client point, or -1.
  int ItemAtPos(POINT p, bool existing = true) const;
  RECT ItemRect(int index) const;

  int Count() const override { return items_->Count(); }
  int ItemIndex() const override;
  void SetItemIndex(int value) override;
  void AddItem(const std::wstring& item, TObject* object) override { items_->AddObject(item, object); }
  void Clear() override { items_->Clear(); }
  void ClearSelection() override;
  void DeleteSelected() override;
  void SelectAll() override;
  int SelCount() const override;
  void WndProc(TMessage& message) override;

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  virtual void DrawItem(int index, RECT rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);

 private:
  void ItemInserted(int index) override;
  void ItemDeleted(int index) override;
  void ItemsCleared() override;
  bool ItemsSorted() const override { return sorted_; }
  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;

  TListControlItems* items_;
  TCanvas* canvas_;
  TBorderStyle borderStyle_ = bsSingle;
  TListBoxStyle style_ = lbStandard;
  int itemHeight_ = 16;
  bool sorted_ = false;
  // Kept while the window does not exist.
  int itemIndex_ = -1;
  int topIndex_ = 0;
  std::vector<bool> selected_;
};

class TListBox : public TCustomListBox {
  NUV_CLASS(TListBox, TCustomListBox)
  static void Publish(ClassBuilder<TListBox>& b);
  using TCustomListBox::TCustomListBox;
};

class TCustomComboBox : public TCustomListControl, private TListControlItemsHost {
  NUV_CLASS(TCustomComboBox, TCustomListControl)
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;
  TStrings* Items() const { return items_; }
  void SetItems(TStrings* value) { items_->Assign(value); }
  TCanvas* Canvas() const { return canvas_; }
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);
  bool DroppedDown() const;
  void SetDroppedDown(bool value);
  // How many items the dropped-down list shows without scrolling.
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  // A drop-down list shows the selected item: setting its text selects the
  // item with that text.
  void SetText(const std::wstring& value) override;

  int Count() const override { return items_->Count(); }
  int ItemIndex() const override;
  void SetItemIndex(int value) override;
  void AddItem(const std::wstring& item, TObject* object) override { items_->AddObject(item, object); }
  void Clear() override;
  void ClearSelection() override { SetItemIndex(-1); }
  void DeleteSelected() override;
  void SelectAll() override;
  void WndProc(TMessage& message) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  virtual void Change();
  virtual void Select();
  virtual void DrawItem(int index, RECT rect, TOwnerDrawState state);
  virtual void MeasureItem(int index, int& height);
  // Sizes the dropped-down list for DropDownCount items.
  void AdjustDropDown();
  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
  bool IsDropDownStyle() const;

  // The items' changes, and the window side of an insertion; the extended
  // combo box replaces both.
  virtual void WindowInsertItem(int index);
  void ItemInserted(int index) override;
  void ItemDeleted(int index) override;
  void ItemsCleared() override;
  bool ItemsSorted() const override { return sorted_; }

  TListControlItems* items_;

 private:
  TCanvas* canvas_;
  std::wstring pendingText_;  // the text a new window is given
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
  int itemHeight_ = 16;
  int maxLength_ = 0;
  bool sorted_ = false;
  int itemIndex_ = -1;  // kept while the window does not exist
};

class TComboBox : public TCustomComboBox {
  NUV_CLASS(TComboBox, TCustomComboBox)
  static void Publish(ClassBuilder<TComboBox>& b);
  using TCustomComboBox::TCustomComboBox;
};

// ---------------------------------------------------------------------------

class TScrollBar : public TWinControl {
  NUV_CLASS(TScrollBar, TWinControl)
  static void Publish(ClassBuilder<TScrollBar>& b);
  explicit TScrollBar(TComponent* owner);
  // Changing the kind turns the bar: width and height swap.
  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind value);
  int Min() const { return min_; }
  void SetMin(int value) { SetParams(position_, value, max_); }
  int Max() const { return max_; }
  void SetMax(int value) { SetParams(position_, min_, value); }
  int Position() const { return position_; }
  void SetPosition(int value) { SetParams(value, min_, max_); }
  // Position is kept in Min..Max (Max - PageSize + 1 with a page); Change
  // fires when it moves.
  void SetParams(int position, int min, int max);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int value) { smallChange_ = value; }
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int value) { largeChange_ = value; }
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value);
  void WndProc(TMessage& message) override;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  virtual void Change();
  virtual void Scroll(TScrollCode code, int& position);

 private:
  void UpdateScrollInfo();
  TScrollBarKind kind_ = sbHorizontal;
  int min_ = 0, max_ = 100, position_ = 0;
  int smallChange_ = 1, largeChange_ = 1, pageSize_ = 0;
};

// ---------------------------------------------------------------------------
// Drawn by the framework

// A frame with a caption around a group of controls; the caption sits on
// the frame's top line, from the right in right-to-left mode.
class TCustomGroupBox : public TCustomControl {
  NUV_CLASS(TCustomGroupBox, TCustomControl)
  explicit TCustomGroupBox(TComponent* owner);
  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void AlignControls(TControl* control, RECT& rect) override;
};

class TGroupBox : public TCustomGroupBox {
  NUV_CLASS(TGroupBox, TCustomGroupBox)
  static void Publish(ClassBuilder<TGroupBox>& b);
  using TCustomGroupBox::TCustomGroupBox;
};

// Text without a window. Its accelerator focuses FocusControl.
class TCustomLabel : public TGraphicControl {
  NUV_CLASS(TCustomLabel, TGraphicControl)
  explicit TCustomLabel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // The label takes the size of its text (the width stays when wrapping).
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* value);
  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  UINT TextFlags() const;
  void AdjustBounds();

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool autoSize_ = true;
  bool transparent_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  NUV_CLASS(TLabel, TCustomLabel)
  static void Publish(ClassBuilder<TLabel>& b);
  using TCustomLabel::TCustomLabel;
};

// The size of `text` in `font` drawn with DrawText `flags` (DT_CALCRECT is
// added); `width` limits the line length when the flags wrap.
SIZE MeasureText(TFont* font, const std::wstring& text, UINT flags, int width);

}  // namespace nuvskin
