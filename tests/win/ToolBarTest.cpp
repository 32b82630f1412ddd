// Tool bars on real windows: class names and published properties, buttons
// kept in step with the native tool bar, automatic height, custom-draw
// states, and the bar as a menu bar driven by real mouse and keyboard input.
#include <gtest/gtest.h>
#include <windowsx.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "MenuInputSupport.h"
#include "framework/CoolBar.h"
#include "framework/Forms.h"
#include "framework/StatusBar.h"
#include "framework/ToolBar.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

TForm* NewForm(int width = 420, int height = 260) {
  TForm* form = Create<TForm>(nullptr);
  form->SetBounds(120, 120, width, height);
  return form;
}

// A button appended at the right end of the bar.
TToolButton* AddButton(TToolBar* bar, const std::wstring& caption, TToolButtonStyle style = tbsButton) {
  auto* b = Create<TToolButton>(nullptr);
  b->SetStyle(style);
  b->SetCaption(caption);
  b->SetLeft(10000);
  b->SetParent(bar);
  return b;
}

std::wstring NativeText(TToolBar* bar, int index) {
  TBBUTTON t{};
  ::SendMessageW(bar->Handle(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&t));
  wchar_t text[128] = {};
  ::SendMessageW(bar->Handle(), TB_GETBUTTONTEXTW, static_cast<WPARAM>(t.idCommand), reinterpret_cast<LPARAM>(text));
  return text;
}

RECT NativeRect(TToolBar* bar, int index) {
  RECT r{};
  ::SendMessageW(bar->Handle(), TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
  if (a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.left << "," << a.top << "," << a.right << "," << a.bottom
                                       << ") vs (" << b.left << "," << b.top << "," << b.right << "," << b.bottom
                                       << ")";
}

// Where the client area starts in a capture of the whole window.
POINT ClientOffset(HWND wnd) {
  RECT w;
  ::GetWindowRect(wnd, &w);
  POINT p{0, 0};
  ::ClientToScreen(wnd, &p);
  return POINT{p.x - w.left, p.y - w.top};
}

POINT ScreenCenter(TControl* c) {
  const RECT r = c->BoundsRect();
  return c->Parent()->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// A tool bar that records the temporary popup menus it is told about and
// what each drop-down shows first, as a menu bar deriving from it would.
class TRecordingBar : public TToolBar {
  NUV_CLASS(TRecordingBar, TToolBar)
  using TToolBar::TToolBar;
  int popupsInserted = 0;
  int popupsRemoved = 0;
  std::vector<std::wstring> dropDowns;  // the first sub-item of each drop-down shown

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TToolBar::Notification(component, operation);
    auto* popup = dynamic_cast<TPopupMenu*>(component);
    if (!popup || popup->Owner() != this) return;
    if (operation == opRemove) {
      ++popupsRemoved;
      return;
    }
    ++popupsInserted;
    popup->OnPopup = [this](TObject* sender) {
      TMenuItem* items = static_cast<TPopupMenu*>(sender)->Items();
      dropDowns.push_back(items->Count() > 0 ? items->Items(0)->Caption() : L"");
    };
  }
};

// A main menu shown on a tool bar: File and Edit with sub-items, Help without.
struct MenuBarFixture {
  TForm* form = NewForm(460, 260);
  TMainMenu* menu = Create<TMainMenu>(form);
  TRecordingBar* bar = nullptr;
  TMenuItem *file, *edit, *view, *help, *open, *save, *copy, *zoom;
  int helpClicks = 0, openClicks = 0, fileClicks = 0;

  explicit MenuBarFixture(TRecordingBar* customBar = nullptr) {
    file = Item(menu->Items(), L"&File");
    open = Item(file, L"&Open");
    save = Item(file, L"&Save");
    edit = Item(menu->Items(), L"&Edit");
    copy = Item(edit, L"&Copy");
    view = Item(menu->Items(), L"&View");
    zoom = Item(view, L"&Zoom");
    help = Item(menu->Items(), L"&Help");
    help->OnClick = [this](TObject*) { ++helpClicks; };
    open->OnClick = [this](TObject*) { ++openClicks; };
    file->OnClick = [this](TObject*) { ++fileClicks; };
    bar = customBar ? customBar : Create<TRecordingBar>(form);
    bar->SetParent(form);
    bar->SetFlat(true);
    bar->SetEdgeBorders({});
    bar->SetShowCaptions(true);
    bar->SetAutoSize(true);
    // From the last item to the first, as a menu bar builds its buttons.
    for (int i = menu->Items()->Count() - 1; i >= 0; --i) {
      auto* b = Create<TToolButton>(nullptr);
      b->SetParent(bar);
      b->SetGrouped(true);
      b->SetMenuItem(menu->Items()->Items(i));
      b->SetAutoSize(true);
    }
  }
  ~MenuBarFixture() { form->Free(); }
  TMenuItem* Item(TMenuItem* parent, const std::wstring& caption) {
    auto* item = Create<TMenuItem>(form);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  }
};

}  // namespace

// ---------------------------------------------------------------------------

TEST(ToolBar, ClassNamesAncestryAndPublishedProperties) {
  TForm* form = NewForm();
  auto* bar = Create<TToolBar>(form);
  bar->SetParent(form);
  auto* cool = Create<TCoolBar>(form);
  cool->SetParent(form);
  auto* status = Create<TStatusBar>(form);
  status->SetParent(form);
  EXPECT_EQ(bar->ClassName(), "TToolBar");
  EXPECT_EQ(WindowClassOf(bar->Handle()), "TToolBar");
  EXPECT_TRUE(bar->Is<TToolWindow>());
  EXPECT_EQ(WindowClassOf(cool->Handle()), "TCoolBar");
  EXPECT_TRUE(cool->Is<TToolWindow>());
  EXPECT_TRUE(status->Is<TCustomStatusBar>());
  EXPECT_EQ(WindowClassOf(status->Handle()), "TStatusBar");
  for (const char* name : {"TToolBar", "TToolButton", "TCoolBar", "TCustomStatusBar", "TStatusBar", "TToolWindow"})
    EXPECT_NE(FindClass(name), nullptr) << name;
  EXPECT_TRUE(FindClass("TToolButton")->InheritsFrom(TGraphicControl::StaticClass()));
  // The system classes underneath answer their own messages.
  EXPECT_EQ(::SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 0);
  EXPECT_EQ(::SendMessageW(cool->Handle(), RB_GETBANDCOUNT, 0, 0), 0);

  EXPECT_EQ(bar->Align(), alTop);
  EXPECT_EQ(cool->Align(), alTop);
  EXPECT_EQ(status->Align(), alBottom);
  EXPECT_EQ(GetPropInfo(bar, "EdgeBorders")->typeName, "TEdgeBorders");
  EXPECT_EQ(GetPropInfo(cool, "EdgeBorders")->typeName, "TEdgeBorders");
  EXPECT_EQ(GetPropInfo(bar, "EdgeInner")->typeName, "TEdgeStyle");
  for (const char* name : {"Flat", "Transparent", "BorderWidth", "ShowCaptions", "List", "Wrapable", "AutoSize",
                           "Indent", "Images", "HotImages", "DisabledImages", "ButtonWidth", "ButtonHeight",
                           "Color", "ParentColor", "Font", "Align", "Visible"})
    EXPECT_TRUE(IsPublishedProp(bar, name)) << name;
  auto* button = Create<TToolButton>(nullptr);
  for (const char* name : {"Style", "Caption", "ImageIndex", "Grouped", "Down", "Indeterminate", "Marked", "Wrap",
                           "AutoSize", "Enabled", "Visible", "DropdownMenu", "MenuItem"})
    EXPECT_TRUE(IsPublishedProp(button, name)) << name;
  EXPECT_EQ(GetPropInfo(button, "Style")->typeName, "TToolButtonStyle");
  button->Free();
  for (const char* name : {"Bands", "Images", "Color"}) EXPECT_TRUE(IsPublishedProp(cool, name)) << name;
  for (const char* name : {"Panels", "SimplePanel", "SimpleText", "SizeGrip", "Color"})
    EXPECT_TRUE(IsPublishedProp(status, name)) << name;
  // Set properties go through the object model like any other.
  SetOrdProp(bar, "EdgeBorders", static_cast<std::int64_t>(TEdgeBorders{ebLeft, ebBottom}.Bits()));
  EXPECT_EQ(bar->EdgeBorders(), (TEdgeBorders{ebLeft, ebBottom}));
  form->Free();
}

TEST(ToolBar, ButtonsInsertedAndRemovedKeepTheNativeBarInStep) {
  TForm* form = NewForm();
  auto* bar = Create<TToolBar>(form);
  bar->SetParent(form);
  bar->SetShowCaptions(true);
  form->Show();
  // Created from the last to the first, each new button goes first.
  for (const wchar_t* caption : {L"Three", L"Two", L"One"}) {
    auto* b = Create<TToolButton>(nullptr);
    b->SetCaption(caption);
    b->SetParent(bar);
  }
  ASSERT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(::SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 3);
  EXPECT_EQ(bar->Buttons(0)->Caption(), L"One");
  EXPECT_EQ(NativeText(bar, 0), L"One");
  EXPECT_EQ(NativeText(bar, 2), L"Three");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameRect(bar->Buttons(i)->BoundsRect(), NativeRect(bar, i))) << i;
  EXPECT_LT(bar->Buttons(0)->Left(), bar->Buttons(1)->Left());

  // A separator and a button appended at the end; a caption change moves the rest.
  TToolButton* sep = AddButton(bar, L"", tbsSeparator);
  TToolButton* four = AddButton(bar, L"Four");
  EXPECT_EQ(sep->Index(), 3);
  EXPECT_EQ(four->Index(), 4);
  EXPECT_EQ(::SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 5);
  const int fourLeft = four->Left();
  bar->Buttons(0)->SetCaption(L"One, much longer");
  EXPECT_GT(four->Left(), fourLeft);
  EXPECT_TRUE(SameRect(four->BoundsRect(), NativeRect(bar, 4)));
  sep->SetWidth(30);
  EXPECT_EQ(sep->Width(), 30);
  EXPECT_TRUE(SameRect(four->BoundsRect(), NativeRect(bar, 4)));

  // Hidden and freed buttons.
  four->SetVisible(false);
  TBBUTTON t{};
  ::SendMessageW(bar->Handle(), TB_GETBUTTON, 4, reinterpret_cast<LPARAM>(&t));
  EXPECT_TRUE(t.fsState & TBSTATE_HIDDEN);
  bar->Buttons(1)->Free();
  EXPECT_EQ(bar->ButtonCount(), 4);
  EXPECT_EQ(::SendMessageW(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 4);
  EXPECT_EQ(NativeText(bar, 1), L"Three");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameRect(bar->Buttons(i)->BoundsRect(), NativeRect(bar, i))) << i;

  // Buttons added before the bar has a window appear when it is made.
  auto* later = Create<TToolBar>(form);
  AddButton(later, L"A");
  AddButton(later, L"B");
  later->SetShowCaptions(true);
  later->SetParent(form);
  EXPECT_EQ(::SendMessageW(later->Handle(), TB_BUTTONCOUNT, 0, 0), 2);
  EXPECT_EQ(NativeText(later, 1), L"B");
  EXPECT_TRUE(SameRect(later->Buttons(1)->BoundsRect(), NativeRect(later, 1)));
  form->Free();
}

TEST(ToolBar, ClicksCheckGroupsAndDisabledButtons) {
  TForm* form = NewForm();
  auto* bar = Create<TToolBar>(form);
  bar->SetParent(form);
  bar->SetShowCaptions(true);
  TToolButton* plain = AddButton(bar, L"Plain");
  TToolButton* left = AddButton(bar, L"Left", tbsCheck);
  TToolButton* right = AddButton(bar, L"Right", tbsCheck);
  TToolButton* off = AddButton(bar, L"Off");
  left->SetGrouped(true);
  right->SetGrouped(true);
  off->SetEnabled(false);
  int clicks = 0, offClicks = 0;
  plain->OnClick = [&](TObject*) { ++clicks; };
  off->OnClick = [&](TObject*) { ++offClicks; };
  form->Show();
  PumpMessages(50);

  auto click = [&](TToolButton* b) {
    const RECT r = b->BoundsRect();
    PostClientClick(bar->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PumpMessages(50);
  };
  click(plain);
  EXPECT_EQ(clicks, 1);  // once, whatever the windowless and native paths do
  click(off);
  EXPECT_EQ(offClicks, 0);
  click(left);
  EXPECT_TRUE(left->Down());
  click(right);
  EXPECT_TRUE(right->Down());
  EXPECT_FALSE(left->Down());
  left->SetDown(true);
  EXPECT_FALSE(right->Down());
  TBBUTTON t{};
  ::SendMessageW(bar->Handle(), TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&t));
  EXPECT_FALSE(t.fsState & TBSTATE_CHECKED);
  ::SendMessageW(bar->Handle(), TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&t));
  EXPECT_TRUE(t.fsState & TBSTATE_CHECKED);
  form->Free();
}

TEST(ToolBar, AutoSizeMakesTheBarAsHighAsItsButtons) {
  TForm* form = NewForm();
  auto* bar = Create<TToolBar>(form);
  bar->SetParent(form);
  bar->SetShowCaptions(true);
  AddButton(bar, L"One");
  AddButton(bar, L"Two");
  form->Show();
  bar->SetAutoSize(true);
  const int frame = bar->Height() - bar->ClientHeight();
  EXPECT_EQ(frame, 2);  // the top edge
  EXPECT_EQ(bar->Height(), bar->Buttons(0)->BoundsRect().bottom + frame);
  // A larger font makes larger buttons, and the bar grows with them.
  const int before = bar->Height();
  bar->Font()->SetSize(24);
  EXPECT_GT(bar->Height(), before + 10);
  EXPECT_EQ(bar->Height(), bar->Buttons(0)->BoundsRect().bottom + frame);
  EXPECT_TRUE(SameRect(bar->Buttons(1)->BoundsRect(), NativeRect(bar, 1)));
  bar->SetEdgeBorders({});
  EXPECT_EQ(bar->Height(), bar->Buttons(0)->BoundsRect().bottom);

  // Wrapped onto rows when the bar is too narrow.
  bar->SetAlign(alNone);
  bar->Font()->SetSize(8);
  for (int i = 0; i < 6; ++i) AddButton(bar, L"Button " + std::to_wstring(i));
  bar->SetWidth(120);
  EXPECT_GT(bar->Buttons(bar->ButtonCount() - 1)->Top(), bar->Buttons(0)->Top());
  EXPECT_EQ(bar->Height(), bar->Buttons(bar->ButtonCount() - 1)->BoundsRect().bottom);
  form->Free();
}

TEST(ToolBar, CustomDrawEventsSeeTheButtonStates) {
  TForm* form = NewForm();
  auto* bar = Create<TToolBar>(form);
  bar->SetParent(form);
  bar->SetFlat(true);
  bar->SetShowCaptions(true);
  TToolButton* checked = AddButton(bar, L"Checked", tbsCheck);
  TToolButton* disabled = AddButton(bar, L"Disabled");
  TToolButton* normal = AddButton(bar, L"Normal");
  TToolButton* painted = AddButton(bar, L"Painted");
  checked->SetDown(true);
  disabled->SetEnabled(false);
  std::map<TToolButton*, TCustomDrawState> states;
  RECT background{};
  int backgrounds = 0;
  bar->OnCustomDraw = [&](TToolBar* sender, const RECT& r, bool& defaultDraw) {
    EXPECT_EQ(sender, bar);
    ++backgrounds;
    background = r;
    sender->Canvas()->Brush()->SetColor(RGB(255, 0, 0));
    sender->Canvas()->FillRect(r);
    EXPECT_TRUE(defaultDraw);
  };
  bar->OnCustomDrawButton = [&](TToolBar* sender, TToolButton* b, TCustomDrawState state, bool& defaultDraw) {
    states[b] = state;
    if (b == painted) {
      sender->Canvas()->Brush()->SetColor(RGB(0, 0, 255));
      sender->Canvas()->FillRect(b->BoundsRect());
      defaultDraw = false;
    }
  };
  form->Show();
  ::UpdateWindow(bar->Handle());
  ASSERT_TRUE(PumpUntil([&] { return states.count(normal) > 0; }));
  EXPECT_GT(backgrounds, 0);
  EXPECT_TRUE(SameRect(background, bar->ClientRect()));
  EXPECT_TRUE(states[checked].Contains(cdsChecked));
  EXPECT_TRUE(states[disabled].Contains(cdsDisabled));
  EXPECT_FALSE(states[normal].Contains(cdsDisabled));
  EXPECT_FALSE(states[normal].Contains(cdsHot));

  // What the handlers painted is on the screen: the background and the one
  // button drawn in place of the bar.
  Image shot = CaptureWindow(bar->Handle());
  const RECT p = painted->BoundsRect();
  const POINT o = ClientOffset(bar->Handle());
  EXPECT_EQ(shot.At(o.x + (p.left + p.right) / 2, o.y + (p.top + p.bottom) / 2), Rgb(0, 0, 255));
  EXPECT_EQ(shot.At(shot.Width() - 4, shot.Height() / 2), Rgb(255, 0, 0));

  // The mouse over a button makes it hot.
  ASSERT_TRUE(BringToFront(form));
  ASSERT_TRUE(MoveCursorTo(ScreenCenter(normal)));
  EXPECT_TRUE(PumpUntil([&] { return states[normal].Contains(cdsHot); }));
  EXPECT_FALSE(states[checked].Contains(cdsHot));
  MoveCursorTo(POINT{5, 5});
  form->Free();
}

TEST(ToolBar, ImagesListStyleIndentAndTransparency) {
  TForm* form = NewForm();
  auto* images = Create<TImageList>(form);
  images->SetWidth(16);
  images->SetHeight(16);
  auto* picture = Create<TBitmap>(32, 16);
  picture->Canvas()->Brush()->SetColor(RGB(0, 128, 0));
  picture->Canvas()->FillRect(RECT{0, 0, 16, 16});
  picture->Canvas()->Brush()->SetColor(RGB(128, 0, 128));
  picture->Canvas()->FillRect(RECT{16, 0, 32, 16});
  images->Add(picture, nullptr);
  picture->Free();
  auto* bar = Create<TToolBar>(form);
  bar->SetParent(form);
  bar->SetShowCaptions(true);
  bar->SetImages(images);
  TToolButton* first = AddButton(bar, L"Green");
  first->SetImageIndex(0);
  TToolButton* second = AddButton(bar, L"Purple");
  second->SetImageIndex(1);
  form->Show();
  ::UpdateWindow(bar->Handle());
  HWND wnd = bar->Handle();
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageW(wnd, TB_GETIMAGELIST, 0, 0)), images->Handle());
  TBBUTTON t{};
  ::SendMessageW(wnd, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&t));
  EXPECT_EQ(t.iBitmap, 1);

  // The image is drawn in the button: above the caption, then left of it.
  auto countIn = [&](TToolButton* b, Pixel colour) {
    ::UpdateWindow(wnd);
    const Image shot = CaptureWindow(wnd);
    const POINT o = ClientOffset(wnd);
    const RECT r = b->BoundsRect();
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += shot.At(o.x + x, o.y + y) == colour ? 1 : 0;
    return n;
  };
  EXPECT_EQ(countIn(first, Rgb(0, 128, 0)), 256);
  EXPECT_EQ(countIn(second, Rgb(128, 0, 128)), 256);
  const int stackedHeight = first->Height();
  bar->SetList(true);
  EXPECT_TRUE(::SendMessageW(wnd, TB_GETSTYLE, 0, 0) & TBSTYLE_LIST);
  EXPECT_LT(first->Height(), stackedHeight);  // side by side needs less height
  EXPECT_EQ(countIn(first, Rgb(0, 128, 0)), 256);
  EXPECT_TRUE(SameRect(second->BoundsRect(), NativeRect(bar, 1)));

  bar->SetIndent(30);
  EXPECT_EQ(first->Left(), 30);
  bar->SetTransparent(true);
  EXPECT_TRUE(::SendMessageW(wnd, TB_GETSTYLE, 0, 0) & TBSTYLE_TRANSPARENT);
  bar->SetFlat(true);
  EXPECT_TRUE(::SendMessageW(wnd, TB_GETSTYLE, 0, 0) & TBSTYLE_FLAT);

  // A freed image list leaves the bar without images.
  images->Free();
  EXPECT_EQ(bar->Images(), nullptr);
  EXPECT_EQ(::SendMessageW(wnd, TB_GETIMAGELIST, 0, 0), 0);
  ::SendMessageW(wnd, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&t));
  EXPECT_EQ(t.iBitmap, I_IMAGENONE);
  EXPECT_EQ(countIn(first, Rgb(0, 128, 0)), 0);
  form->Free();
}

// --- the bar as a menu bar ------------------------------------------------------

TEST(ToolBarMenu, ButtonsShowTheirMenuItemsInMenuOrder) {
  MenuBarFixture f;
  f.form->Show();
  ASSERT_EQ(f.bar->ButtonCount(), 4);
  EXPECT_EQ(NativeText(f.bar, 0), L"&File");
  EXPECT_EQ(NativeText(f.bar, 1), L"&Edit");
  EXPECT_EQ(NativeText(f.bar, 2), L"&View");
  EXPECT_EQ(NativeText(f.bar, 3), L"&Help");
  EXPECT_EQ(f.bar->Buttons(1)->MenuItem(), f.edit);
  EXPECT_LT(f.bar->Buttons(0)->Left(), f.bar->Buttons(1)->Left());
  EXPECT_EQ(f.bar->Height(), f.bar->Buttons(0)->Height());
  // A freed item leaves its button without it.
  TMenuItem* help = f.help;
  help->Free();
  EXPECT_EQ(f.bar->Buttons(3)->MenuItem(), nullptr);
}

TEST(ToolBarMenu, AClickOpensTheItemsSubItemsInAPopupOwnedByTheBar) {
  MenuBarFixture f;
  ASSERT_TRUE(BringToFront(f.form));
  bool popupSeen = false;
  int ownedWhileOpen = -1;
  MenuDriver driver([&](int) {
    if (!MenuWindowVisible()) return false;
    popupSeen = true;
    ownedWhileOpen = f.bar->ComponentCount();
    ::EndMenu();
    return true;
  });
  ASSERT_TRUE(SendClickAt(ScreenCenter(f.bar->Buttons(0))));
  AppPumpUntil([&] { return driver.Done(); }, 3000);
  AppPump(50);
  EXPECT_FALSE(driver.timedOut);
  EXPECT_TRUE(popupSeen);
  EXPECT_EQ(f.bar->popupsInserted, 1);
  EXPECT_EQ(f.bar->popupsRemoved, 1);
  EXPECT_EQ(ownedWhileOpen, 1);  // the temporary popup menu
  EXPECT_EQ(f.bar->ComponentCount(), 0);
  ASSERT_EQ(f.bar->dropDowns.size(), 1u);
  EXPECT_EQ(f.bar->dropDowns[0], L"&Open");
  EXPECT_EQ(f.fileClicks, 1);  // told before it dropped down, as a menu bar does
  // The sub-items are back where they were; menu mode ended with the menu.
  ASSERT_EQ(f.file->Count(), 2);
  EXPECT_EQ(f.file->Items(0), f.open);
  EXPECT_FALSE(f.bar->MenuActive());
  EXPECT_EQ(f.openClicks, 0);
}

TEST(ToolBarMenu, ChoosingASubItemClicksItOnce) {
  MenuBarFixture f;
  ASSERT_TRUE(BringToFront(f.form));
  MenuDriver driver([&](int n) {
    if (n == 1) return false;
    if (!MenuWindowVisible()) return false;
    SendKeyPress(VK_DOWN);
    SendKeyPress(VK_RETURN);
    return true;
  });
  ASSERT_TRUE(SendClickAt(ScreenCenter(f.bar->Buttons(0))));
  AppPumpUntil([&] { return driver.Done() && !MenuWindowVisible() && f.openClicks > 0; }, 3000);
  AppPump(50);
  EXPECT_FALSE(driver.timedOut);
  EXPECT_EQ(f.openClicks, 1);
  EXPECT_FALSE(f.bar->MenuActive());
  EXPECT_EQ(f.file->Count(), 2);
}

TEST(ToolBarMenu, AClickOnAnItemWithoutSubItemsClicksItOnThePress) {
  MenuBarFixture f;
  ASSERT_TRUE(BringToFront(f.form));
  ASSERT_TRUE(MoveCursorTo(ScreenCenter(f.bar->Buttons(3))));
  INPUT down{};
  down.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  ::SendInput(1, &down, sizeof(INPUT));
  AppPumpUntil([&] { return f.helpClicks > 0; }, 1000);
  EXPECT_EQ(f.helpClicks, 1);  // before the button comes up
  INPUT up{};
  up.type = INPUT_MOUSE;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &up, sizeof(INPUT));
  AppPump(100);
  EXPECT_EQ(f.helpClicks, 1);
  EXPECT_FALSE(MenuWindowVisible());
}

TEST(ToolBarMenu, AltAndAnAcceleratorOpensThatDropDownAndArrowsMoveBetweenDropDowns) {
  MenuBarFixture f;
  ASSERT_TRUE(BringToFront(f.form));
  auto showing = [&](const wchar_t* first, std::size_t count) {
    return [&f, first, count] {
      return MenuWindowVisible() && f.bar->dropDowns.size() == count && f.bar->dropDowns.back() == first;
    };
  };
  int hotAfterEscape = -2;
  // The mouse resting over another menu button does not take over.
  ASSERT_TRUE(MoveCursorTo(ScreenCenter(f.bar->Buttons(2))));
  EXPECT_TRUE(RunSteps({
      {[] { return true; }, [] { SendKeyPress('F'); }},  // no Alt, not on the bar: nothing
      {[] { return true; }, [] { SendAltChord('E'); }},
      {showing(L"&Copy", 1), [] { SendKeyPress(VK_RIGHT); }},
      {showing(L"&Zoom", 2), [] { SendKeyPress(VK_LEFT); }},
      {showing(L"&Copy", 3), [] { SendKeyPress(VK_LEFT); }},
      {showing(L"&Open", 4), [] { SendKeyPress(VK_ESCAPE); }},
      {[&] { return !MenuWindowVisible() && f.bar->MenuActive(); },
       [&] {
         hotAfterEscape = static_cast<int>(::SendMessageW(f.bar->Handle(), TB_GETHOTITEM, 0, 0));
         SendKeyPress(VK_ESCAPE);
       }},
      {[&] { return !f.bar->MenuActive(); }, [] {}},
  }));
  EXPECT_EQ(hotAfterEscape, 0);  // File stays highlighted after the first Esc
  EXPECT_EQ(f.bar->dropDowns.size(), 4u);
  EXPECT_EQ(f.bar->popupsInserted, 4);
  EXPECT_EQ(f.bar->popupsRemoved, 4);
  EXPECT_FALSE(MenuWindowVisible());
  EXPECT_EQ(f.helpClicks, 0);
  EXPECT_EQ(f.file->Count(), 2);
  EXPECT_EQ(f.edit->Count(), 1);
}

TEST(ToolBarMenu, TheMouseMovesBetweenDropDownsAndCancelMenuClosesThem) {
  MenuBarFixture f;
  ASSERT_TRUE(BringToFront(f.form));
  auto moveTo = [](POINT p) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = p.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = p.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(INPUT));
  };
  bool activeBeforeCancel = false;
  EXPECT_TRUE(RunSteps({
      {[] { return true; }, [&] { SendClickAt(ScreenCenter(f.bar->Buttons(0))); }},
      {[&] { return MenuWindowVisible() && f.bar->dropDowns.size() == 1; },
       [&] { moveTo(ScreenCenter(f.bar->Buttons(1))); }},
      {[&] { return MenuWindowVisible() && f.bar->dropDowns.size() == 2; },
       [&] {
         activeBeforeCancel = f.bar->MenuActive();
         f.bar->CancelMenu();
       }},
      {[&] { return !MenuWindowVisible(); }, [] {}},
  }));
  ASSERT_EQ(f.bar->dropDowns.size(), 2u);
  EXPECT_EQ(f.bar->dropDowns[1], L"&Copy");
  EXPECT_TRUE(activeBeforeCancel);
  EXPECT_FALSE(f.bar->MenuActive());
  EXPECT_EQ(f.bar->ComponentCount(), 0);
  EXPECT_EQ(f.edit->Count(), 1);
}

TEST(ToolBarMenu, MenuModeEndsWhenTheBarIsHiddenOrTheUserClicksElsewhere) {
  MenuBarFixture f;
  auto* other = Create<TToolBar>(f.form);
  other->SetParent(f.form);
  other->SetAlign(alClient);
  ASSERT_TRUE(BringToFront(f.form));
  auto toKeyboardMode = [&] {
    return RunSteps({
        {[] { return true; }, [] { SendAltChord('V'); }},
        {[&] { return MenuWindowVisible(); }, [] { SendKeyPress(VK_ESCAPE); }},
        {[&] { return !MenuWindowVisible() && f.bar->MenuActive(); }, [] {}},
    });
  };
  ASSERT_TRUE(toKeyboardMode());
  EXPECT_EQ(::SendMessageW(f.bar->Handle(), TB_GETHOTITEM, 0, 0), 2);
  f.bar->SetVisible(false);
  EXPECT_FALSE(f.bar->MenuActive());
  f.bar->SetVisible(true);
  ASSERT_TRUE(toKeyboardMode());
  ASSERT_TRUE(SendClickAt(other->ClientToScreen(POINT{50, 50})));
  EXPECT_TRUE(AppPumpUntil([&] { return !f.bar->MenuActive(); }, 1000));
  // Keys reach the focused control again: a letter opens nothing.
  SendKeyPress('E');
  AppPump(100);
  EXPECT_FALSE(MenuWindowVisible());
  EXPECT_EQ(f.bar->dropDowns.size(), 2u);
}

TEST(ToolBarMenu, EnterOnAHighlightedItemWithoutSubItemsClicksItOnce) {
  MenuBarFixture f;
  ASSERT_TRUE(BringToFront(f.form));
  EXPECT_TRUE(RunSteps({
      {[] { return true; }, [] { SendAltChord('F'); }},
      {[&] { return MenuWindowVisible(); }, [] { SendKeyPress(VK_ESCAPE); }},
      {[&] { return !MenuWindowVisible() && f.bar->MenuActive(); },
       [] {
         SendKeyPress(VK_LEFT);  // round to Help
         SendKeyPress(VK_RETURN);
       }},
      {[&] { return f.helpClicks > 0; }, [] {}},
  }));
  AppPump(100);
  EXPECT_EQ(f.helpClicks, 1);
  EXPECT_FALSE(f.bar->MenuActive());
  EXPECT_FALSE(MenuWindowVisible());
  // Alt and the letter of an item without sub-items clicks it at once.
  EXPECT_TRUE(RunSteps({{[] { return true; }, [] { SendAltChord('H'); }}, {[&] { return f.helpClicks == 2; }, [] {}}}));
  EXPECT_FALSE(f.bar->MenuActive());
}


