// Standard controls on real windows: class names and ancestry as the skin
// tables see them, published properties, and what a user does with each.
#include <gtest/gtest.h>


#include <string>
#include <vector>

#include "StdCtrlsTestSupport.h"
#include "framework/Buttons.h"
#include "framework/ExtCtrls.h"
#include "framework/ExtStdCtrls.h"
#include "framework/Mask.h"
#include "framework/Streams.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

// A windowed control of none of the standard classes.
class TPlainWindowed : public TWinControl {
  NUV_CLASS(TPlainWindowed, TWinControl)
  using TWinControl::TWinControl;
};

// The framework classes the control skins are registered for, in the order
// they are registered; a control gets the last one it inherits from.
std::string SkinTableClassOf(const TObject* object) {
  const TClass* table[] = {&TCustomControl::StaticClass(),  &TCustomFrame::StaticClass(),
                           &TScrollBox::StaticClass(),      &TCustomHotKey::StaticClass(),
                           &TSpeedButton::StaticClass(),    &TCustomPanel::StaticClass(),
                           &TCustomGroupBox::StaticClass(), &TScrollBar::StaticClass(),
                           &TCustomListControl::StaticClass(), &TRadioButton::StaticClass(),
                           &TCustomComboBox::StaticClass(), &TCustomComboBoxEx::StaticClass(),
                           &TCustomCheckBox::StaticClass(), &TCustomEdit::StaticClass(),
                           &TButton::StaticClass(),         &TCustomLabel::StaticClass()};
  for (int i = static_cast<int>(std::size(table)) - 1; i >= 0; --i)
    if (object->InheritsFrom(*table[i])) return table[i]->Name();
  return "";
}

template <class T>
T* Place(TWinControl* parent, int left, int top, int width = -1, int height = -1) {
  T* c = Create<T>(parent);
  c->SetBounds(left, top, width < 0 ? c->Width() : width, height < 0 ? c->Height() : height);
  c->SetParent(parent);
  return c;
}

void ExpectProp(const TObject* object, const char* name, TypeKind kind, const std::string& typeName) {
  const PropInfo* p = GetPropInfo(object, name);
  ASSERT_NE(p, nullptr) << object->ClassName() << "." << name;
  EXPECT_EQ(p->kind, kind) << object->ClassName() << "." << name;
  EXPECT_EQ(p->typeName, typeName) << object->ClassName() << "." << name;
}

LRESULT Send(TWinControl* c, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(c->Handle(), msg, wp, lp); }

LONG_PTR StyleOf(TWinControl* c) { return ::GetWindowLongPtrW(c->Handle(), GWL_STYLE); }
LONG_PTR ExStyleOf(TWinControl* c) { return ::GetWindowLongPtrW(c->Handle(), GWL_EXSTYLE); }

}  // namespace

TEST(StdCtrlClasses, NamesAncestryAndWindowClassesAreTheFrameworkOnes) {
  TForm* form = ShownForm();
  struct Case {
    TControl* control;
    std::string name;
    std::string tableClass;
  };
  const std::vector<Case> cases = {
      {Place<TButton>(form, 0, 0), "TButton", "TButton"},
      {Place<TBitBtn>(form, 0, 0), "TBitBtn", "TButton"},
      {Place<TCheckBox>(form, 0, 0), "TCheckBox", "TCustomCheckBox"},
      {Place<TRadioButton>(form, 0, 0), "TRadioButton", "TRadioButton"},
      {Place<TEdit>(form, 0, 0), "TEdit", "TCustomEdit"},
      {Place<TMemo>(form, 0, 0), "TMemo", "TCustomEdit"},
      {Place<TMaskEdit>(form, 0, 0), "TMaskEdit", "TCustomEdit"},
      {Place<TRichEdit>(form, 0, 0), "TRichEdit", "TCustomEdit"},
      {Place<THotKey>(form, 0, 0), "THotKey", "TCustomHotKey"},
      {Place<TListBox>(form, 0, 0), "TListBox", "TCustomListControl"},
      {Place<TComboBox>(form, 0, 0), "TComboBox", "TCustomComboBox"},
      {Place<TComboBoxEx>(form, 0, 0), "TComboBoxEx", "TCustomComboBoxEx"},
      {Place<TScrollBar>(form, 0, 0), "TScrollBar", "TScrollBar"},
      {Place<TGroupBox>(form, 0, 0), "TGroupBox", "TCustomGroupBox"},
      {Place<TPanel>(form, 0, 0), "TPanel", "TCustomPanel"},
      {Place<TScrollBox>(form, 0, 0), "TScrollBox", "TScrollBox"},
      {Place<TFrame>(form, 0, 0), "TFrame", "TCustomFrame"},
      {Place<TPlainWindowed>(form, 0, 0, 10, 10), "TPlainWindowed", ""},
      {Place<TLabel>(form, 0, 0), "TLabel", "TCustomLabel"},
      {Place<TSpeedButton>(form, 0, 0), "TSpeedButton", "TSpeedButton"},
      {Place<TImage>(form, 0, 0), "TImage", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.control->ClassName(), c.name);
    EXPECT_EQ(SkinTableClassOf(c.control), c.tableClass) << c.name;
    EXPECT_NE(FindClass(c.name), nullptr) << c.name << " is registered for streaming";
    if (auto* w = dynamic_cast<TWinControl*>(c.control))
      EXPECT_EQ(WindowClassOf(w->Handle()), c.name);
    else
      EXPECT_TRUE(c.name == "TLabel" || c.name == "TSpeedButton" || c.name == "TImage") << c.name;
  }
  EXPECT_TRUE(TMemo::StaticClass().InheritsFrom(TCustomMemo::StaticClass()));
  EXPECT_TRUE(TRichEdit::StaticClass().InheritsFrom(TCustomMemo::StaticClass()));
  EXPECT_TRUE(TMaskEdit::StaticClass().InheritsFrom(TCustomMaskEdit::StaticClass()));
  EXPECT_TRUE(TListBox::StaticClass().InheritsFrom(TCustomMultiSelectListControl::StaticClass()));
  EXPECT_TRUE(TPanel::StaticClass().InheritsFrom(TCustomControl::StaticClass()));
  EXPECT_TRUE(TGroupBox::StaticClass().InheritsFrom(TCustomControl::StaticClass()));
  EXPECT_TRUE(TFrame::StaticClass().InheritsFrom(TScrollingWinControl::StaticClass()));
  EXPECT_FALSE(TPlainWindowed::StaticClass().InheritsFrom(TCustomControl::StaticClass()));
  form->Free();
}

TEST(StdCtrlClasses, PublishedPropertiesCarryTheNamesAndTypesTheSkinsRead) {
  TForm* form = ShownForm();
  using K = TypeKind;
  auto* button = Place<TButton>(form, 0, 0);
  ExpectProp(button, "Caption", K::WString, "TCaption");
  ExpectProp(button, "WordWrap", K::Boolean, "Boolean");
  ExpectProp(button, "ModalResult", K::Integer, "TModalResult");
  ExpectProp(button, "Images", K::Class, "TCustomImageList");
  ExpectProp(button, "ImageIndex", K::Integer, "TImageIndex");
  ExpectProp(button, "ImageVisible", K::Boolean, "Boolean");
  auto* bit = Place<TBitBtn>(form, 0, 0);
  ExpectProp(bit, "Glyph", K::Class, "TBitmap");
  ExpectProp(bit, "NumGlyphs", K::Integer, "TNumGlyphs");
  ExpectProp(bit, "Layout", K::Enumeration, "TButtonLayout");
  ExpectProp(bit, "Margin", K::Integer, "Integer");
  ExpectProp(bit, "Spacing", K::Integer, "Integer");
  ExpectProp(bit, "Kind", K::Enumeration, "TBitBtnKind");
  SetOrdProp(bit, "Layout", 3);
  EXPECT_EQ(bit->Layout(), blGlyphBottom);

  auto* check = Place<TCheckBox>(form, 0, 0);
  ExpectProp(check, "State", K::Enumeration, "TCheckBoxState");
  ExpectProp(check, "Alignment", K::Enumeration, "TLeftRight");
  ExpectProp(check, "Color", K::Integer, "TColor");
  ExpectProp(Place<TRadioButton>(form, 0, 0), "OnDblClick", K::Method, "TNotifyEvent");

  // The border decision: BorderStyle of type TBorderStyle (0 = none),
  // BevelEdges a set, Color.
  for (TControl* c : std::initializer_list<TControl*>{Place<TEdit>(form, 0, 0), Place<TMemo>(form, 0, 0),
                                                       Place<TListBox>(form, 0, 0), Place<TScrollBox>(form, 0, 0),
                                                       Place<TRichEdit>(form, 0, 0), Place<TMaskEdit>(form, 0, 0)}) {
    ExpectProp(c, "BorderStyle", K::Enumeration, "TBorderStyle");
    EXPECT_EQ(GetOrdProp(c, "BorderStyle"), 1) << c->ClassName();
    ExpectProp(c, "BevelEdges", K::Set, "TBevelEdges");
    EXPECT_NE(GetOrdProp(c, "BevelEdges"), 0) << c->ClassName();
    ExpectProp(c, "Color", K::Integer, "TColor");
    auto* w = static_cast<TWinControl*>(c);
    EXPECT_TRUE(ExStyleOf(w) & WS_EX_CLIENTEDGE) << c->ClassName();
    SetOrdProp(c, "BorderStyle", 0);
    EXPECT_FALSE(ExStyleOf(w) & WS_EX_CLIENTEDGE) << c->ClassName();
  }
  auto* edit = Place<TEdit>(form, 0, 0);
  const PropInfo* ime = GetPropInfo(edit, "ImeMode");
  ASSERT_NE(ime, nullptr);
  EXPECT_EQ(ime->enumInfo->names[imDontCare], "imDontCare");
  EXPECT_EQ(ime->enumInfo->names[imSAlpha], "imSAlpha");
  SetOrdProp(edit, "BevelEdges", 0);
  EXPECT_TRUE(edit->BevelEdges().Empty());

  auto* combo = Place<TComboBox>(form, 0, 0);
  ExpectProp(combo, "Style", K::Enumeration, "TComboBoxStyle");
  ExpectProp(combo, "BevelEdges", K::Set, "TBevelEdges");
  ExpectProp(Place<TComboBoxEx>(form, 0, 0), "Style", K::Enumeration, "TComboBoxExStyle");
  ExpectProp(Place<TScrollBar>(form, 0, 0), "Kind", K::Enumeration, "TScrollBarKind");
  ExpectProp(Place<THotKey>(form, 0, 0), "HotKey", K::Integer, "TShortCut");
  ExpectProp(Place<TMemo>(form, 0, 0), "Lines", K::Class, "TStrings");
  ExpectProp(Place<TMaskEdit>(form, 0, 0), "EditMask", K::WString, "TEditMask");

  auto* panel = Place<TPanel>(form, 0, 0);
  ExpectProp(panel, "Color", K::Integer, "TColor");
  ExpectProp(panel, "ParentColor", K::Boolean, "Boolean");
  ExpectProp(panel, "OnClick", K::Method, "TNotifyEvent");
  ExpectProp(panel, "BorderStyle", K::Enumeration, "TBorderStyle");
  EXPECT_EQ(GetOrdProp(panel, "BorderStyle"), 0);
  auto* group = Place<TGroupBox>(form, 0, 0);
  ExpectProp(group, "Caption", K::WString, "TCaption");
  ExpectProp(group, "Font", K::Class, "TFont");
  auto* label = Place<TLabel>(form, 0, 0);
  ExpectProp(label, "Font", K::Class, "TFont");
  ExpectProp(label, "WordWrap", K::Boolean, "Boolean");
  ExpectProp(label, "FocusControl", K::Class, "TWinControl");

  auto* speed = Place<TSpeedButton>(form, 0, 0);
  for (const char* name : {"Down", "Flat", "AllowAllUp"}) ExpectProp(speed, name, K::Boolean, "Boolean");
  ExpectProp(speed, "GroupIndex", K::Integer, "Integer");
  ExpectProp(speed, "Glyph", K::Class, "TBitmap");
  ExpectProp(speed, "NumGlyphs", K::Integer, "TNumGlyphs");
  ExpectProp(speed, "Layout", K::Enumeration, "TButtonLayout");
  ExpectProp(speed, "Caption", K::WString, "TCaption");
  form->Free();
}

TEST(Buttons, ClickDefaultCancelAndAcceleratorEachClickOnce) {
  TForm* form = ShownForm();
  auto* edit = Place<TEdit>(form, 10, 10);
  auto* ok = Place<TButton>(form, 10, 50);
  ok->SetCaption(L"OK");
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = Place<TButton>(form, 100, 50);
  cancel->SetCaption(L"Cancel");
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  auto* go = Place<TButton>(form, 190, 50);
  go->SetCaption(L"&Go");
  int oks = 0, cancels = 0, gos = 0;
  ok->OnClick = [&](TObject*) { ++oks; };
  cancel->OnClick = [&](TObject*) { ++cancels; };
  go->OnClick = [&](TObject*) { ++gos; };
  EXPECT_EQ(StyleOf(ok) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  AppPump(30);

  PostClientClick(ok->Handle(), 10, 10);
  AppPump(60);
  EXPECT_EQ(oks, 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
  Send(cancel, BM_CLICK);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(form->ModalResult(), mrCancel);

  edit->SetFocus();
  PostKeyPress(edit->Handle(), VK_RETURN);
  AppPump(60);
  EXPECT_EQ(oks, 2);
  PostKeyPress(edit->Handle(), VK_ESCAPE);
  AppPump(60);
  EXPECT_EQ(cancels, 2);
  // Enter on another button clicks that button, not the default one.
  go->SetFocus();
  PostKeyPress(go->Handle(), VK_RETURN);
  AppPump(60);
  EXPECT_EQ(gos, 1);
  EXPECT_EQ(oks, 2);

  // The accelerator: Alt+G from anywhere, G alone from a control that takes
  // no characters; typed into the edit it is text.
  ::PostMessageW(edit->Handle(), WM_SYSCHAR, 'g', 1 << 29);
  AppPump(60);
  EXPECT_EQ(gos, 2);
  ::PostMessageW(ok->Handle(), WM_CHAR, 'G', 1);
  AppPump(60);
  EXPECT_EQ(gos, 3);
  ::PostMessageW(edit->Handle(), WM_CHAR, 'g', 1);
  AppPump(60);
  EXPECT_EQ(gos, 3);
  EXPECT_EQ(edit->Text(), L"g");
  EXPECT_EQ(oks, 2);
  form->Free();
}

TEST(CheckBoxes, ClicksCycleThroughGrayedOnlyWhenAllowedAndTheStateOutlivesTheWindow) {
  TForm* form = ShownForm();
  auto* box = Place<TCheckBox>(form, 10, 10, 120, 20);
  box->SetCaption(L"&Check");
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  auto click = [&] { Send(box, BM_CLICK); };
  auto shown = [&] { return Send(box, BM_GETCHECK); };
  click();
  EXPECT_EQ(box->State(), cbChecked);
  EXPECT_EQ(shown(), BST_CHECKED);
  click();
  EXPECT_EQ(box->State(), cbUnchecked);
  box->SetAllowGrayed(true);
  click();
  EXPECT_EQ(box->State(), cbGrayed);
  EXPECT_EQ(shown(), BST_INDETERMINATE);
  click();
  EXPECT_TRUE(box->Checked());
  click();
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_EQ(clicks, 5);

  box->SetState(cbGrayed);
  EXPECT_EQ(clicks, 6);
  EXPECT_FALSE(StyleOf(box) & BS_LEFTTEXT);
  const HWND old = box->Handle();
  box->SetAlignment(taLeftJustify);  // a new window
  EXPECT_NE(box->Handle(), old);
  EXPECT_TRUE(StyleOf(box) & BS_LEFTTEXT);
  EXPECT_EQ(shown(), BST_INDETERMINATE);
  EXPECT_EQ(box->Caption(), L"&Check");

  ::PostMessageW(form->Handle(), WM_SYSCHAR, 'c', 1 << 29);
  AppPump(60);
  EXPECT_EQ(box->State(), cbChecked);
  form->Free();
}

TEST(RadioButtons, CheckingOneUnchecksItsSiblingsOnlyAndDoubleClicksReachOnDblClick) {
  TForm* form = ShownForm();
  auto* panel = Place<TPanel>(form, 10, 10, 200, 100);
  auto* a = Place<TRadioButton>(panel, 5, 5);
  auto* b = Place<TRadioButton>(panel, 5, 30);
  auto* c = Place<TRadioButton>(panel, 5, 55);
  auto* other = Place<TRadioButton>(form, 10, 150);
  other->SetChecked(true);
  int clicks = 0, doubles = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  c->OnDblClick = [&](TObject*) { ++doubles; };
  a->SetChecked(true);
  Send(b, BM_CLICK);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_FALSE(c->Checked());
  EXPECT_TRUE(other->Checked());
  EXPECT_EQ(Send(a, BM_GETCHECK), BST_UNCHECKED);
  EXPECT_EQ(Send(b, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(b->TabStop());
  EXPECT_FALSE(a->TabStop());
  c->SetChecked(true);
  EXPECT_FALSE(b->Checked());
  EXPECT_EQ(Send(b, BM_GETCHECK), BST_UNCHECKED);

  ::PostMessageW(c->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
  ::PostMessageW(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  AppPump(60);
  EXPECT_EQ(doubles, 1);
  form->Free();
}

TEST(Edits, TextSelectionAndLimitsOutliveTheWindowAndChangesAreReported) {
  TForm* form = ShownForm();
  auto* edit = Place<TEdit>(form, 10, 10, 150, 22);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetText(L"Hello world");
  EXPECT_EQ(changes, 1);
  edit->SetSelStart(6);
  edit->SetSelLength(5);
  EXPECT_EQ(edit->SelText(), L"world");
  edit->SetSelText(L"there");
  EXPECT_EQ(edit->Text(), L"Hello there");
  edit->SetMaxLength(20);
  edit->SetReadOnly(true);
  edit->SetSelStart(2);
  edit->SetSelLength(3);
  const HWND old = edit->Handle();
  edit->SetBorderStyle(bsNone);
  EXPECT_NE(edit->Handle(), old);
  EXPECT_EQ(edit->Text(), L"Hello there");
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(edit->SelLength(), 3);
  EXPECT_TRUE(StyleOf(edit) & ES_READONLY);
  EXPECT_EQ(Send(edit, EM_GETLIMITTEXT), 20);
  edit->SetPasswordChar(L'*');
  EXPECT_EQ(Send(edit, EM_GETPASSWORDCHAR), L'*');

  // The edit's colours come from the control: Color in WM_CTLCOLOR*.
  edit->SetReadOnly(false);
  edit->SetPasswordChar(0);
  edit->SetText(L"");
  edit->SetColor(clYellow);
  edit->Invalidate();
  AppPump(60);
  const Image shot = CaptureControl(edit);
  EXPECT_EQ(shot.At(shot.Width() - 4, shot.Height() / 2), RGB(255, 255, 0));
  form->Free();
}

TEST(Edits, MemoLinesFollowTheTextAndTheMemoScrolls) {
  TForm* form = ShownForm();
  auto* memo = Place<TMemo>(form, 10, 10, 200, 90);
  auto* next = Place<TEdit>(form, 10, 120);
  memo->SetScrollBars(ssVertical);
  int changes = 0;
  memo->OnChange = [&](TObject*) { ++changes; };
  memo->Lines()->BeginUpdate();
  for (int i = 0; i < 100; ++i) memo->Lines()->Add(L"Line " + IntToStrW(i));
  memo->Lines()->EndUpdate();
  EXPECT_EQ(changes, 1);  // one text for the whole update
  EXPECT_EQ(memo->Lines()->Count(), 100);
  EXPECT_EQ(memo->Lines()->Get(42), L"Line 42");
  EXPECT_EQ(Send(memo, EM_GETLINECOUNT), 100);
  EXPECT_EQ(Send(memo, EM_GETFIRSTVISIBLELINE), 0);
  Send(memo, WM_VSCROLL, SB_PAGEDOWN);
  Send(memo, WM_VSCROLL, SB_PAGEDOWN);
  const LRESULT first = Send(memo, EM_GETFIRSTVISIBLELINE);
  EXPECT_GT(first, 4);
  EXPECT_EQ(::GetScrollPos(memo->Handle(), SB_VERT), first);

  memo->Lines()->Delete(0);
  memo->Lines()->Insert(0, L"Top");
  memo->Lines()->Put(1, L"Changed");
  EXPECT_EQ(memo->Lines()->Get(0), L"Top");
  EXPECT_EQ(memo->Lines()->Get(1), L"Changed");
  EXPECT_EQ(memo->Lines()->Count(), 100);
  EXPECT_THROW(memo->Lines()->Get(100), EListError);
  memo->SetText(L"a\r\nb\nc\r\n");
  EXPECT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ(memo->Lines()->Get(2), L"c");

  memo->SetWordWrap(false);  // a new window, the lines kept
  EXPECT_TRUE(StyleOf(memo) & ES_AUTOHSCROLL);
  EXPECT_TRUE(StyleOf(memo) & WS_VSCROLL);
  EXPECT_EQ(memo->Lines()->Count(), 3);

  // Tab leaves the memo unless it wants tabs; Enter always stays.
  memo->SetText(L"");
  memo->SetFocus();
  PostKeyPress(memo->Handle(), VK_TAB);
  AppPump(60);
  EXPECT_EQ(::GetFocus(), next->Handle());
  memo->SetWantTabs(true);
  memo->SetFocus();
  PostKeyPress(memo->Handle(), VK_TAB);
  PostKeyPress(memo->Handle(), VK_RETURN);
  AppPump(60);
  EXPECT_EQ(::GetFocus(), memo->Handle());
  EXPECT_EQ(memo->Text(), L"\t\r\n");
  form->Free();
}

TEST(Edits, MaskEditRefusesWhatTheMaskDoesNotAllow) {
  TForm* form = ShownForm();
  auto* edit = Place<TMaskEdit>(form, 10, 10, 150, 22);
  edit->SetEditMask(L"000-0000;0;_");
  EXPECT_EQ(edit->EditText(), L"___-____");
  EXPECT_EQ(Send(edit, EM_GETLIMITTEXT), 8);
  edit->SetFocus();
  Send(edit, EM_SETSEL, 0, 0);
  for (wchar_t c : std::wstring(L"1a2")) ::PostMessageW(edit->Handle(), WM_CHAR, c, 1);
  AppPump(60);
  EXPECT_EQ(edit->EditText(), L"12_-____");  // the letter was refused
  EXPECT_EQ(edit->Text(), L"12     ");
  EXPECT_FALSE(edit->IsValidInput());
  EXPECT_THROW(edit->ValidateEdit(), EDBEditError);
  for (wchar_t c : std::wstring(L"34567")) ::PostMessageW(edit->Handle(), WM_CHAR, c, 1);
  AppPump(60);
  EXPECT_EQ(edit->EditText(), L"123-4567");  // the caret skipped the literal
  EXPECT_EQ(edit->Text(), L"1234567");
  EXPECT_TRUE(edit->IsValidInput());
  ::PostMessageW(edit->Handle(), WM_CHAR, VK_BACK, 1);
  AppPump(60);
  EXPECT_EQ(edit->EditText(), L"123-456_");

  edit->SetText(L"555x1234");  // refused characters become blanks
  EXPECT_EQ(edit->EditText(), L"555-_123");
  edit->SetEditMask(L">LL-00;1;*");  // the digits entered go where digits fit
  EXPECT_EQ(edit->EditText(), L"**-51");
  Send(edit, EM_SETSEL, 0, 0);
  for (wchar_t c : std::wstring(L"ab42")) ::PostMessageW(edit->Handle(), WM_CHAR, c, 1);
  AppPump(60);
  EXPECT_EQ(edit->EditText(), L"AB-42");
  EXPECT_EQ(edit->Text(), L"AB-42");  // literals kept in Text
  edit->SetBorderStyle(bsNone);       // a new window keeps the shown text
  EXPECT_EQ(edit->EditText(), L"AB-42");
  edit->SetEditMask(L"");
  EXPECT_EQ(edit->Text(), L"AB42");
  form->Free();
}

TEST(ListBoxes, ItemsAndSelectionFollowClicksAndOutliveTheWindow) {
  TForm* form = ShownForm();
  auto* list = Place<TListBox>(form, 10, 10, 150, 120);
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  for (const wchar_t* s : {L"Cherry", L"Apple", L"Banana"}) list->Items()->Add(s);
  EXPECT_EQ(Send(list, LB_GETCOUNT), 3);
  AppPump(30);
  const RECT r = list->ItemRect(1);
  PostClientClick(list->Handle(), r.left + 5, r.top + 2);
  AppPump(60);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);

  const HWND old = list->Handle();
  list->SetBorderStyle(bsNone);
  EXPECT_NE(list->Handle(), old);
  EXPECT_FALSE(ExStyleOf(list) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(Send(list, LB_GETCOUNT), 3);
  EXPECT_EQ(list->ItemIndex(), 1);

  list->SetSorted(true);
  list->Items()->Add(L"Avocado");
  wchar_t text[32] = {};
  Send(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Avocado");
  EXPECT_EQ(list->Items()->Get(3), L"Cherry");
  EXPECT_THROW(list->Items()->Insert(0, L"Zebra"), EListError);

  list->SetMultiSelect(true);
  EXPECT_TRUE(StyleOf(list) & LBS_EXTENDEDSEL);
  list->SetSelected(0, true);
  list->SetSelected(2, true);
  EXPECT_EQ(list->SelCount(), 2);
  list->SetBorderStyle(bsSingle);
  EXPECT_TRUE(list->Selected(0));
  EXPECT_FALSE(list->Selected(1));
  EXPECT_TRUE(list->Selected(2));
  list->DeleteSelected();
  EXPECT_EQ(list->Items()->Count(), 2);
  EXPECT_EQ(list->Items()->Get(0), L"Avocado");

  // Items and the selection set before there is a window.
  auto* later = Create<TListBox>(form);
  later->Items()->Add(L"One");
  later->Items()->Add(L"Two");
  later->SetItemIndex(1);
  later->Items()->Insert(0, L"Zero");
  later->SetParent(form);
  EXPECT_EQ(Send(later, LB_GETCOUNT), 3);
  EXPECT_EQ(Send(later, LB_GETCURSEL), 2);
  form->Free();
}

TEST(ListBoxes, OwnerDrawnItemsAreMeasuredAndDrawnThroughTheEvents) {
  TForm* form = ShownForm();
  Place<TButton>(form, 300, 10);  // another child window of the form first
  auto* list = Create<TListBox>(form);
  list->SetBounds(10, 10, 150, 150);
  list->SetStyle(lbOwnerDrawVariable);
  std::vector<int> drawn;
  list->OnMeasureItem = [](TWinControl*, int index, int& height) { height = 10 + 5 * index; };
  list->OnDrawItem = [&](TWinControl* control, int index, RECT rect, TOwnerDrawState) {
    drawn.push_back(index);
    TCanvas* canvas = static_cast<TListBox*>(control)->Canvas();
    canvas->Brush()->SetColor(index == 0 ? clRed : clBlue);
    canvas->FillRect(rect);
  };
  for (const wchar_t* s : {L"a", L"b", L"c"}) list->Items()->Add(s);
  list->SetParent(form);
  const RECT r1 = list->ItemRect(1), r2 = list->ItemRect(2);
  EXPECT_EQ(r1.bottom - r1.top, 15);
  EXPECT_EQ(r2.bottom - r2.top, 20);
  AppPumpUntil([&] { return drawn.size() >= 3; }, 1000);
  const Image shot = CaptureControl(list);
  const int border = ::GetSystemMetrics(SM_CXEDGE);
  EXPECT_EQ(shot.At(border + 20, border + 4), RGB(255, 0, 0));
  EXPECT_EQ(shot.At(border + 20, border + r2.top + 5), RGB(0, 0, 255));

  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(24);
  const RECT f = list->ItemRect(1);
  EXPECT_EQ(f.bottom - f.top, 24);
  form->Free();
}

TEST(ComboBoxes, DropsDownSelectsAndKeepsItsItemsInANewWindow) {
  TForm* form = ShownForm();
  auto* combo = Place<TComboBox>(form, 10, 10, 150, 24);
  combo->SetStyle(csDropDownList);
  combo->SetDropDownCount(3);
  for (const wchar_t* s : {L"Red", L"Green", L"Blue", L"Cyan", L"Magenta", L"Yellow"}) combo->Items()->Add(s);
  int drops = 0, closes = 0, selects = 0, clicks = 0;
  combo->OnDropDown = [&](TObject*) { ++drops; };
  combo->OnCloseUp = [&](TObject*) { ++closes; };
  combo->OnSelect = [&](TObject*) { ++selects; };
  combo->OnClick = [&](TObject*) { ++clicks; };
  AppPump(30);

  combo->SetDroppedDown(true);
  AppPump(60);
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(drops, 1);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(::GetComboBoxInfo(combo->Handle(), &info));
  RECT lr;
  ::GetWindowRect(info.hwndList, &lr);
  const int itemHeight = static_cast<int>(Send(combo, CB_GETITEMHEIGHT, 0));
  EXPECT_GE(lr.bottom - lr.top, 3 * itemHeight);
  EXPECT_LE(lr.bottom - lr.top, 3 * itemHeight + 6);  // DropDownCount items, not all six
  combo->SetDroppedDown(false);
  AppPump(60);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(closes, 1);

  combo->SetFocus();
  PostKeyPress(combo->Handle(), VK_DOWN);
  PostKeyPress(combo->Handle(), VK_DOWN);
  AppPump(60);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), L"Green");
  EXPECT_EQ(selects, 2);
  EXPECT_EQ(clicks, 2);

  combo->SetText(L"Blue");
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->SetStyle(csDropDown);  // a new window
  EXPECT_EQ(Send(combo, CB_GETCOUNT), 6);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), L"Blue");
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  ASSERT_TRUE(::GetComboBoxInfo(combo->Handle(), &info));
  ::PostMessageW(info.hwndItem, WM_CHAR, 'x', 1);
  AppPump(60);
  EXPECT_EQ(changes, 1);
  form->Free();
}

TEST(ComboBoxes, ExtendedItemsAndTheirCaptionsFollowEachOther) {
  TForm* form = ShownForm();
  auto* combo = Place<TComboBoxEx>(form, 10, 10, 160, 24);
  combo->SetStyle(csExDropDownList);
  auto* images = Create<TImageList>(form);
  combo->SetImages(images);
  combo->ItemsEx()->AddItem(L"First", 0);
  combo->ItemsEx()->AddItem(L"Second", 1);
  combo->Items()->Add(L"Third");
  EXPECT_EQ(combo->Items()->Count(), 3);
  EXPECT_EQ(combo->Items()->Get(1), L"Second");
  ASSERT_EQ(combo->ItemsEx()->Count(), 3);
  EXPECT_EQ(combo->ItemsEx()->Items(2)->Caption(), L"Third");
  EXPECT_EQ(combo->ItemsEx()->Items(2)->ImageIndex(), -1);
  EXPECT_EQ(Send(combo, CB_GETCOUNT), 3);
  ASSERT_NE(combo->ComboHandle(), nullptr);
  EXPECT_EQ(::SendMessageW(combo->ComboHandle(), CB_GETCOUNT, 0, 0), 3);
  COMBOBOXEXITEMW item{};
  wchar_t text[32] = {};
  item.mask = CBEIF_TEXT | CBEIF_IMAGE;
  item.iItem = 1;
  item.pszText = text;
  item.cchTextMax = 32;
  Send(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"Second");
  EXPECT_EQ(item.iImage, 1);

  combo->ItemsEx()->Items(0)->SetCaption(L"Renamed");
  EXPECT_EQ(combo->Items()->Get(0), L"Renamed");
  combo->Items()->Delete(1);
  EXPECT_EQ(combo->ItemsEx()->Count(), 2);
  combo->SetItemIndex(1);
  combo->SetStyle(csExDropDown);  // a new window
  EXPECT_EQ(Send(combo, CB_GETCOUNT), 2);
  EXPECT_EQ(combo->ItemIndex(), 1);
  images->Free();
  EXPECT_EQ(combo->Images(), nullptr);
  form->Free();
}

TEST(ScrollBars, ArrowsAndPagesMoveThePositionWithinTheRange) {
  TForm* form = ShownForm();
  auto* bar = Create<TScrollBar>(form);
  bar->SetKind(sbVertical);
  EXPECT_GT(bar->Height(), bar->Width());
  bar->SetParams(0, 0, 50);
  bar->SetSmallChange(2);
  bar->SetLargeChange(10);
  bar->SetBounds(10, 10, bar->Width(), 150);
  bar->SetParent(form);
  EXPECT_TRUE(StyleOf(bar) & SBS_VERT);
  int changes = 0;
  std::vector<TScrollCode> codes;
  bar->OnChange = [&](TObject*) { ++changes; };
  bar->OnScroll = [&](TObject*, TScrollCode code, int&) { codes.push_back(code); };
  AppPump(30);

  PostClientClick(bar->Handle(), bar->Width() / 2, bar->Height() - 4);  // the down arrow
  AppPump(100);
  EXPECT_EQ(bar->Position(), 2);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), scLineDown);
  ::SendMessageW(form->Handle(), WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
  EXPECT_EQ(bar->Position(), 12);
  EXPECT_EQ(::GetScrollPos(bar->Handle(), SB_CTL), 12);
  ::SendMessageW(form->Handle(), WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar->Handle()));
  EXPECT_EQ(bar->Position(), 50);
  EXPECT_EQ(changes, 3);
  bar->SetPageSize(10);  // the last page starts at Max - PageSize + 1
  EXPECT_EQ(bar->Position(), 41);
  bar->SetPosition(-5);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_THROW(bar->SetMax(-1), EInvalidOperation);
  bar->SetKind(sbHorizontal);
  EXPECT_TRUE((StyleOf(bar) & SBS_VERT) == 0);
  EXPECT_GT(bar->Width(), bar->Height());
  form->Free();
}

TEST(Containers, GroupBoxCaptionCoversItsFrameLineFromTheReadingSide) {
  TForm* form = ShownForm();
  auto* group = Place<TGroupBox>(form, 10, 10, 200, 100);
  group->SetCaption(L"WWWWWW");
  AppPump(60);
  const int h = MeasureText(group->Font(), L"0", DT_SINGLELINE, 0).cy;
  const int lineY = h / 2 - 1;
  const Pixel line = static_cast<Pixel>(ColorToRGB(clBtnShadow));
  Image shot = CaptureControl(group);
  EXPECT_NE(shot.At(14, lineY), line);                  // under the caption
  EXPECT_EQ(shot.At(group->Width() - 14, lineY), line);  // the frame
  group->SetBiDiMode(bdRightToLeft);
  AppPump(60);
  shot = CaptureControl(group);
  EXPECT_EQ(shot.At(14, lineY), line);
  EXPECT_NE(shot.At(group->Width() - 14, lineY), line);

  // Its accelerator focuses its first control.
  auto* inside = Place<TEdit>(group, 10, 30);
  group->SetCaption(L"&Options");
  ::PostMessageW(form->Handle(), WM_SYSCHAR, 'o', 1 << 29);
  AppPump(60);
  EXPECT_EQ(::GetFocus(), inside->Handle());
  form->Free();
}

TEST(Containers, PanelPaintsItsBevelsAndCapturesTheMouseOnAPress) {
  TForm* form = ShownForm();
  auto* panel = Place<TPanel>(form, 10, 10, 120, 60);
  panel->SetCaption(L"Panel");
  int clicks = 0;
  panel->OnClick = [&](TObject*) { ++clicks; };
  auto* child = Create<TButton>(form);
  child->SetAlign(alClient);
  child->SetParent(panel);
  panel->SetBorderWidth(3);
  EXPECT_EQ(child->Left(), 4);  // bevel and border inside the panel
  EXPECT_EQ(child->Width(), 120 - 8);
  child->SetVisible(false);
  AppPump(60);
  const Image shot = CaptureControl(panel);
  EXPECT_EQ(shot.At(0, 30), static_cast<Pixel>(ColorToRGB(clBtnHighlight)));
  EXPECT_EQ(shot.At(119, 30), static_cast<Pixel>(ColorToRGB(clBtnShadow)));

  ::PostMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  AppPump(30);
  EXPECT_EQ(::GetCapture(), panel->Handle());
  ::PostMessageW(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  AppPump(30);
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(clicks, 1);
  form->Free();
}

TEST(Containers, ScrollBoxScrollsToChildrenBeyondItsEdges) {
  TForm* form = ShownForm();
  auto* box = Place<TScrollBox>(form, 10, 10, 100, 80);
  auto* inside = Place<TButton>(box, 0, 0, 60, 30);
  EXPECT_FALSE(StyleOf(box) & (WS_HSCROLL | WS_VSCROLL));
  auto* beyond = Place<TButton>(box, 150, 120, 60, 30);
  EXPECT_TRUE(StyleOf(box) & WS_HSCROLL);
  EXPECT_TRUE(StyleOf(box) & WS_VSCROLL);
  SCROLLINFO si{sizeof(si), SIF_RANGE, 0, 0, 0, 0, 0};
  ::GetScrollInfo(box->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 149);
  ::SendMessageW(box->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_LT(inside->Top(), 0);
  beyond->Free();
  EXPECT_FALSE(StyleOf(box) & WS_HSCROLL);
  form->Free();
}

TEST(Labels, SizeToTheirTextAndTheirAcceleratorFocusesTheirControl) {
  TForm* form = ShownForm();
  auto* label = Place<TLabel>(form, 10, 10);
  auto* edit = Place<TEdit>(form, 10, 40);
  auto* other = Place<TEdit>(form, 10, 80);
  label->SetCaption(L"&Name:");
  const int shortWidth = label->Width();
  label->SetCaption(L"&Name of the thing:");
  EXPECT_GT(label->Width(), shortWidth);
  label->SetFocusControl(edit);
  other->SetFocus();
  ::PostMessageW(other->Handle(), WM_SYSCHAR, 'n', 1 << 29);
  AppPump(60);
  EXPECT_EQ(::GetFocus(), edit->Handle());
  edit->Free();
  EXPECT_EQ(label->FocusControl(), nullptr);
  ::PostMessageW(other->Handle(), WM_SYSCHAR, 'n', 1 << 29);  // no control: nothing happens
  AppPump(30);
  form->Free();
}

TEST(HotKeys, TheShortCutRoundTripsThroughTheWindow) {
  TForm* form = ShownForm();
  auto* hot = Create<THotKey>(form);
  const TShortCut ctrlShiftA = ShortCut('A', {ssCtrl, ssShift});
  hot->SetHotKey(ctrlShiftA);
  hot->SetParent(form);
  const WORD shown = static_cast<WORD>(Send(hot, HKM_GETHOTKEY));
  EXPECT_EQ(LOBYTE(shown), 'A');
  EXPECT_EQ(HIBYTE(shown), HOTKEYF_CONTROL | HOTKEYF_SHIFT);
  Send(hot, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_ALT));
  EXPECT_EQ(hot->HotKey(), ShortCut(VK_F5, {ssAlt}));
  form->Free();
}

TEST(RichEdits, LinesAndChangesWorkOverTheRichEditClass) {
  TForm* form = ShownForm();
  auto* rich = Place<TRichEdit>(form, 10, 10, 200, 100);
  int changes = 0;
  rich->OnChange = [&](TObject*) { ++changes; };
  rich->Lines()->Add(L"one");
  rich->Lines()->Add(L"two");
  EXPECT_EQ(rich->Lines()->Count(), 2);
  EXPECT_EQ(rich->Lines()->Get(1), L"two");
  EXPECT_GE(changes, 2);
  EXPECT_TRUE(StyleOf(rich) & ES_MULTILINE);
  form->Free();
}

TEST(StdCtrlStreaming, AFormOfControlsReadsBackWithTheirProperties) {
  TForm* form = Create<TForm>(nullptr);
  form->SetName("Sample");
  auto named = [&](auto* c, const char* name) {
    c->SetName(name);
    c->SetParent(form);
    return c;
  };
  auto* edit = named(Create<TEdit>(form), "Edit");
  edit->SetText(L"hello");
  edit->SetMaxLength(9);
  edit->SetBorderStyle(bsNone);
  auto* memo = named(Create<TMemo>(form), "Memo");
  memo->Lines()->Add(L"first");
  memo->Lines()->Add(L"second");
  memo->SetScrollBars(ssBoth);
  auto* list = named(Create<TListBox>(form), "List");
  for (const wchar_t* s : {L"b", L"c", L"a"}) list->Items()->Add(s);
  list->SetSorted(true);
  list->SetMultiSelect(true);
  auto* check = named(Create<TCheckBox>(form), "Check");
  check->SetAllowGrayed(true);
  check->SetState(cbGrayed);
  auto* panel = named(Create<TPanel>(form), "Panel");
  panel->SetBevelOuter(bvLowered);
  panel->SetCaption(L"Panel caption");
  auto* inner = Create<TButton>(form);
  inner->SetName("Inner");
  inner->SetParent(panel);
  inner->SetModalResult(mrRetry);
  auto* combo = named(Create<TComboBox>(form), "Combo");
  for (const wchar_t* s : {L"one", L"two", L"three"}) combo->Items()->Add(s);
  combo->SetStyle(csDropDownList);
  combo->SetItemIndex(1);
  auto* mask = named(Create<TMaskEdit>(form), "Mask");
  mask->SetEditMask(L"00/00;1;_");
  mask->SetText(L"12/34");
  auto* speed = named(Create<TSpeedButton>(form), "Speed");
  speed->SetGroupIndex(2);
  speed->SetDown(true);
  speed->SetFlat(true);
  auto* label = named(Create<TLabel>(form), "Label");
  label->SetCaption(L"&Edit:");
  label->SetFocusControl(edit);
  auto* bar = named(Create<TScrollBar>(form), "Bar");
  bar->SetKind(sbVertical);
  bar->SetParams(20, 0, 50);
  auto* comboEx = named(Create<TComboBoxEx>(form), "ComboEx");
  comboEx->ItemsEx()->AddItem(L"pictured", 3);
  auto* timer = Create<TTimer>(form);
  timer->SetName("Timer");
  timer->SetInterval(250);
  timer->SetEnabled(false);

  TMemoryStream stream;
  stream.WriteComponent(form);
  form->Free();
  stream.SetPosition(0);
  auto* copy = dynamic_cast<TForm*>(stream.ReadComponent(nullptr));
  ASSERT_NE(copy, nullptr);
  auto find = [&](const char* name) { return copy->FindComponent(name); };
  auto* edit2 = dynamic_cast<TEdit*>(find("Edit"));
  ASSERT_NE(edit2, nullptr);
  EXPECT_EQ(edit2->Text(), L"hello");
  EXPECT_EQ(edit2->MaxLength(), 9);
  EXPECT_EQ(edit2->BorderStyle(), bsNone);
  EXPECT_EQ(edit2->Parent(), copy);
  auto* memo2 = dynamic_cast<TMemo*>(find("Memo"));
  ASSERT_NE(memo2, nullptr);
  EXPECT_EQ(memo2->Lines()->Count(), 2);
  EXPECT_EQ(memo2->Lines()->Get(1), L"second");
  EXPECT_EQ(memo2->ScrollBars(), ssBoth);
  auto* list2 = dynamic_cast<TListBox*>(find("List"));
  ASSERT_NE(list2, nullptr);
  EXPECT_TRUE(list2->Sorted());
  EXPECT_TRUE(list2->MultiSelect());
  EXPECT_EQ(list2->Items()->CommaText(), L"a,b,c");
  EXPECT_EQ(dynamic_cast<TCheckBox*>(find("Check"))->State(), cbGrayed);
  auto* inner2 = dynamic_cast<TButton*>(find("Inner"));
  ASSERT_NE(inner2, nullptr);
  EXPECT_EQ(inner2->Parent(), find("Panel"));
  EXPECT_EQ(inner2->ModalResult(), mrRetry);
  EXPECT_EQ(dynamic_cast<TPanel*>(find("Panel"))->BevelOuter(), bvLowered);
  auto* combo2 = dynamic_cast<TComboBox*>(find("Combo"));
  ASSERT_NE(combo2, nullptr);
  EXPECT_EQ(combo2->Style(), csDropDownList);
  EXPECT_EQ(combo2->ItemIndex(), 1);
  auto* mask2 = dynamic_cast<TMaskEdit*>(find("Mask"));
  ASSERT_NE(mask2, nullptr);
  EXPECT_EQ(mask2->EditMask(), L"00/00;1;_");
  EXPECT_EQ(mask2->EditText(), L"12/34");
  auto* speed2 = dynamic_cast<TSpeedButton*>(find("Speed"));
  ASSERT_NE(speed2, nullptr);
  EXPECT_TRUE(speed2->Down());
  EXPECT_TRUE(speed2->Flat());
  EXPECT_EQ(dynamic_cast<TLabel*>(find("Label"))->FocusControl(), edit2);
  auto* bar2 = dynamic_cast<TScrollBar*>(find("Bar"));
  ASSERT_NE(bar2, nullptr);
  EXPECT_EQ(bar2->Kind(), sbVertical);
  EXPECT_EQ(bar2->Position(), 20);
  EXPECT_EQ(bar2->Max(), 50);
  auto* comboEx2 = dynamic_cast<TComboBoxEx*>(find("ComboEx"));
  ASSERT_NE(comboEx2, nullptr);
  ASSERT_EQ(comboEx2->ItemsEx()->Count(), 1);
  EXPECT_EQ(comboEx2->ItemsEx()->Items(0)->ImageIndex(), 3);
  EXPECT_EQ(comboEx2->Items()->Get(0), L"pictured");
  auto* timer2 = dynamic_cast<TTimer*>(find("Timer"));
  ASSERT_NE(timer2, nullptr);
  EXPECT_EQ(timer2->Interval(), 250u);
  EXPECT_FALSE(timer2->Enabled());
  copy->Free();
}
