// Menus: the item tree and the platform handles kept in step with it,
// automatic hot keys, shortcuts, commands and shortcut keys on a real
// window, owner drawing in real popups and menu bars, keyboard choice in a
// popup, and handle and registry clean-up whatever the order of freeing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "WinTest.h"
#include "framework/Buttons.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Streams.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

// Records what its owner is told.
class TRecorder : public TComponent {
  NUV_CLASS(TRecorder, TComponent)
  using TComponent::TComponent;
  std::vector<std::pair<TComponent*, TOperation>> seen;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    seen.emplace_back(component, operation);
  }
};

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const std::wstring& caption) {
  TMenuItem* item = Create<TMenuItem>(owner);
  item->SetCaption(caption);
  if (parent) parent->Add(item);
  return item;
}

std::wstring MenuText(HMENU menu, int position) {
  wchar_t buffer[256] = {};
  ::GetMenuStringW(menu, static_cast<UINT>(position), buffer, 256, MF_BYPOSITION);
  return buffer;
}

MENUITEMINFOW MenuInfo(HMENU menu, int position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
  ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
  return info;
}

// Runs `tick` every 50 ms while a menu loop is running (timers are
// dispatched inside it); after `limitMs` every menu is closed regardless.
class MenuDriver {
 public:
  MenuDriver(std::function<bool(int)> tick, int limitMs = 4000) : tick_(std::move(tick)), limit_(limitMs / 50) {
    current_ = this;
    timer_ = ::SetTimer(nullptr, 0, 50, &MenuDriver::OnTimer);
  }
  ~MenuDriver() {
    ::KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool timedOut = false;

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) noexcept {
    MenuDriver* d = current_;
    if (!d || d->done_) return;
    ++d->count_;
    if (d->tick_(d->count_)) {
      d->done_ = true;
    } else if (d->count_ >= d->limit_) {
      d->timedOut = d->done_ = true;
      CancelMenus();
    }
  }
  static inline MenuDriver* current_ = nullptr;
  std::function<bool(int)> tick_;
  int limit_;
  int count_ = 0;
  bool done_ = false;
  UINT_PTR timer_ = 0;
};

// Sets the keyboard state of this thread (as GetKeyState reads it).
class HeldKeys {
 public:
  explicit HeldKeys(std::initializer_list<int> keys) {
    ::GetKeyboardState(saved_);
    BYTE state[256];
    std::copy(saved_, saved_ + 256, state);
    for (int vk : keys) state[vk] = 0x80;
    ::SetKeyboardState(state);
  }
  ~HeldKeys() { ::SetKeyboardState(saved_); }

 private:
  BYTE saved_[256];
};

bool MenuWindowVisible() {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  return popup && ::IsWindowVisible(popup);
}

}  // namespace

// ---------------------------------------------------------------------------

TEST(ShortCuts, TextRoundTripsForEveryNamedKeyAndModifier) {
  EXPECT_EQ(ShortCutToText(ShortCut('S', {ssCtrl})), L"Ctrl+S");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F5, {ssShift})), L"Shift+F5");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_RETURN, {ssAlt})), L"Alt+Enter");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {})), L"Del");
  EXPECT_EQ(ShortCutToText(ShortCut('Z', {ssCtrl, ssShift, ssAlt})), L"Shift+Ctrl+Alt+Z");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F24, {})), L"F24");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_NEXT, {})), L"PgDn");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_BACK, {ssAlt})), L"Alt+BkSp");
  EXPECT_EQ(ShortCutToText(scNone), L"");
  EXPECT_EQ(ShortCut(0x141, {ssCtrl}), scNone);

  int named = 0;
  for (int key = 1; key <= 0xFF; ++key) {
    for (TShortCut mods : {TShortCut{0}, scShift, scCtrl, scAlt, TShortCut(scCtrl | scShift | scAlt)}) {
      TShortCut sc = static_cast<TShortCut>(key | mods);
      std::wstring text = ShortCutToText(sc);
      if (text.empty()) continue;
      ++named;
      EXPECT_EQ(TextToShortCut(text), sc) << "key " << key;
    }
  }
  EXPECT_GT(named, 5 * 90);  // letters, digits, F keys, named keys

  EXPECT_EQ(TextToShortCut(L"ctrl+shift+s"), ShortCut('S', {ssCtrl, ssShift}));
  EXPECT_EQ(TextToShortCut(L"Ctrl+-"), ShortCut(VK_OEM_MINUS, {ssCtrl}));
  EXPECT_EQ(TextToShortCut(L""), scNone);
  EXPECT_EQ(TextToShortCut(L"Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut(L"Ctrl+Nothing"), scNone);
}

// ---------------------------------------------------------------------------

TEST(MenuItems, TreeIsSeparateFromOwnershipAndOwnersAreNotified) {
  TRecorder* owner = Create<TRecorder>(nullptr);
  TPopupMenu* menu = Create<TPopupMenu>(owner);
  TMenuItem* file = NewItem(owner, menu->Items(), L"&File");
  TMenuItem* open = NewItem(owner, file, L"Open");
  TMenuItem* save = NewItem(owner, file, L"Save");
  ASSERT_GE(owner->seen.size(), 4u);
  EXPECT_EQ(owner->seen[1].first, file);
  EXPECT_EQ(owner->seen[1].second, opInsert);

  EXPECT_EQ(file->Parent(), menu->Items());
  EXPECT_EQ(save->MenuIndex(), 1);
  EXPECT_EQ(open->GetParentMenu(), menu);
  EXPECT_EQ(file->Find(L"sAVE"), save);
  EXPECT_EQ(file->Find(L"&Open"), open);

  EXPECT_THROW(menu->Items()->Add(open), EMenuError);  // already in a tree
  TMenuItem* loose = NewItem(owner, nullptr, L"Loose");
  loose->Add(NewItem(owner, nullptr, L"Child"));
  EXPECT_THROW(loose->Items(0)->Add(loose), EMenuError);  // into its own sub-item

  save->SetMenuIndex(0);
  EXPECT_EQ(file->Items(0), save);
  file->Delete(0);  // out of the tree, still alive and owned
  EXPECT_EQ(save->Parent(), nullptr);
  EXPECT_EQ(save->GetParentMenu(), nullptr);
  EXPECT_EQ(save->Owner(), owner);
  EXPECT_EQ(TMenuItem::FromCommand(save->Command()), save);

  // Freeing an item frees its sub-items and leaves its parent.
  UINT openCommand = open->Command();
  owner->seen.clear();
  file->Free();
  EXPECT_EQ(menu->Items()->Count(), 0);
  EXPECT_EQ(TMenuItem::FromCommand(openCommand), nullptr);
  bool removedOpen = false;
  for (auto& [c, op] : owner->seen) removedOpen |= c == open && op == opRemove;
  EXPECT_TRUE(removedOpen);
  owner->Free();
}

TEST(MenuItems, HandleFollowsEveryChangeOfTheTree) {
  TComponent* owner = Create<TComponent>(nullptr);
  TPopupMenu* menu = Create<TPopupMenu>(owner);
  TMenuItem* open = NewItem(owner, menu->Items(), L"&Open");
  TMenuItem* line = NewItem(owner, menu->Items(), L"-");
  TMenuItem* save = NewItem(owner, menu->Items(), L"&Save");
  save->SetShortCut(ShortCut('S', {ssCtrl}));
  HMENU h = menu->Handle();
  ASSERT_TRUE(::IsMenu(h));
  ASSERT_EQ(::GetMenuItemCount(h), 3);
  EXPECT_EQ(MenuText(h, 0), L"&Open");
  EXPECT_TRUE(::GetMenuState(h, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(MenuText(h, 2), L"&Save\tCtrl+S");

  TMenuItem* close = Create<TMenuItem>(owner);
  close->SetCaption(L"&Close");
  menu->Items()->Insert(1, close);
  EXPECT_EQ(::GetMenuItemCount(h), 4);
  EXPECT_EQ(MenuText(h, 1), L"&Close");

  save->SetVisible(false);
  EXPECT_EQ(::GetMenuItemCount(h), 3);
  save->SetVisible(true);
  save->SetCaption(L"Save &As");
  EXPECT_EQ(MenuText(h, 3), L"Save &As\tCtrl+S");

  open->SetChecked(true);
  close->SetEnabled(false);
  EXPECT_TRUE(::GetMenuState(h, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(::GetMenuState(h, 1, MF_BYPOSITION) & MF_GRAYED);
  open->SetRadioItem(true);
  save->SetDefault(true);
  EXPECT_TRUE(MenuInfo(h, 0).fType & MFT_RADIOCHECK);
  close->SetRadioItem(true);
  close->SetChecked(true);  // the other radio item of its group goes off
  EXPECT_FALSE(open->Checked());
  EXPECT_FALSE(::GetMenuState(h, 0, MF_BYPOSITION) & MF_CHECKED);
  open->SetChecked(true);
  EXPECT_TRUE(MenuInfo(h, 3).fState & MFS_DEFAULT);

  // Sub-items make a popup; the last one leaving makes it plain again.
  TMenuItem* recent = NewItem(owner, open, L"Recent");
  HMENU sub = ::GetSubMenu(h, 0);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub, open->Handle());
  EXPECT_EQ(MenuText(sub, 0), L"&Recent");
  NewItem(owner, open, L"Older");
  EXPECT_EQ(::GetMenuItemCount(sub), 2);
  recent->Free();
  EXPECT_EQ(::GetMenuItemCount(sub), 1);
  open->Clear();
  EXPECT_EQ(::GetSubMenu(h, 0), nullptr);
  EXPECT_EQ(open->Handle(), nullptr);

  // Every entry names its item; owner draw reaches every level.
  NewItem(owner, save, L"Deep");
  MENUITEMINFOW info = MenuInfo(h, 2);
  EXPECT_EQ(TMenuItem::FromItemData(info.dwItemData), line);
  EXPECT_EQ(TMenuItem::FromCommand(MenuInfo(h, 3).wID), save);
  menu->SetOwnerDraw(true);
  EXPECT_EQ(menu->Handle(), h);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(MenuInfo(h, i).fType & MFT_OWNERDRAW) << i;
  EXPECT_TRUE(MenuInfo(save->Handle(), 0).fType & MFT_OWNERDRAW);

  line->Free();
  EXPECT_EQ(::GetMenuItemCount(h), 3);
  owner->Free();
  EXPECT_FALSE(::IsMenu(h));
}

TEST(MenuItems, AutomaticHotkeysAreUniqueAmongVisibleSiblings) {
  TComponent* owner = Create<TComponent>(nullptr);
  TMainMenu* menu = Create<TMainMenu>(owner);
  TMenuItem* file = NewItem(owner, menu->Items(), L"File");
  TMenuItem* format = NewItem(owner, menu->Items(), L"Format");
  TMenuItem* hidden = NewItem(owner, menu->Items(), L"Hidden");
  TMenuItem* fold = NewItem(owner, menu->Items(), L"Fold");
  NewItem(owner, menu->Items(), L"&Edit");
  NewItem(owner, menu->Items(), L"E&&E");
  hidden->SetVisible(false);
  HMENU h = menu->Handle();
  ASSERT_EQ(::GetMenuItemCount(h), 5);
  EXPECT_EQ(MenuText(h, 0), L"&File");
  EXPECT_EQ(MenuText(h, 1), L"F&ormat");
  EXPECT_EQ(MenuText(h, 2), L"Fo&ld");
  EXPECT_EQ(MenuText(h, 3), L"&Edit");
  EXPECT_EQ(MenuText(h, 4), L"E&&E");  // the literal "&" is no hot key; E is taken
  EXPECT_EQ(file->Caption(), L"File");
  EXPECT_EQ(format->DisplayCaption(), L"F&ormat");

  // Sub-items follow their parent's setting; maManual leaves captions alone.
  TMenuItem* open = NewItem(owner, file, L"Open");
  fold->SetAutoHotkeys(maManual);
  TMenuItem* inner = NewItem(owner, fold, L"Inner");
  EXPECT_EQ(MenuText(file->Handle(), 0), L"&Open");
  EXPECT_EQ(MenuText(fold->Handle(), 0), L"Inner");
  menu->SetAutoHotkeys(maManual);
  EXPECT_EQ(MenuText(h, 0), L"File");
  EXPECT_EQ(MenuText(file->Handle(), 0), L"Open");
  fold->SetAutoHotkeys(maAutomatic);
  EXPECT_EQ(MenuText(fold->Handle(), 0), L"&Inner");
  EXPECT_EQ(open->Caption(), L"Open");
  EXPECT_EQ(inner->Caption(), L"Inner");
  owner->Free();
}

TEST(MenuItems, SubMenuHandlesHaveOneOwner) {
  TComponent* owner = Create<TComponent>(nullptr);
  TMainMenu* menu = Create<TMainMenu>(owner);
  TMenuItem* file = NewItem(owner, menu->Items(), L"File");
  TMenuItem* recent = NewItem(owner, file, L"Recent");
  NewItem(owner, recent, L"one.txt");
  NewItem(owner, recent, L"two.txt");
  HMENU bar = menu->Handle();
  HMENU fileMenu = file->Handle();
  HMENU recentMenu = recent->Handle();
  ASSERT_EQ(::GetSubMenu(fileMenu, 0), recentMenu);

  // Taken out of the tree, the sub-menu outlives the menus it was part of.
  file->Delete(0);
  menu->Free();
  EXPECT_FALSE(::IsMenu(bar));
  EXPECT_FALSE(::IsMenu(fileMenu));
  ASSERT_TRUE(::IsMenu(recentMenu));
  EXPECT_EQ(::GetMenuItemCount(recentMenu), 2);

  // Added elsewhere it is attached again, and freed with its item only.
  TPopupMenu* popup = Create<TPopupMenu>(owner);
  popup->Items()->Add(recent);
  EXPECT_EQ(::GetSubMenu(popup->Handle(), 0), recentMenu);
  recent->Free();
  EXPECT_FALSE(::IsMenu(recentMenu));
  EXPECT_EQ(::GetMenuItemCount(popup->Handle()), 0);
  owner->Free();
}

TEST(MenuItems, PublishedPropertiesStreamAndSetTheHandle) {
  TComponent* owner = Create<TComponent>(nullptr);
  TPopupMenu* menu = Create<TPopupMenu>(owner);
  TMenuItem* item = NewItem(owner, menu->Items(), L"Pr\u00fcfen");
  const PropInfo* caption = GetPropInfo(item, "Caption");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->kind, TypeKind::WString);
  EXPECT_EQ(GetWideStrProp(item, caption), L"Pr\u00fcfen");
  for (const char* name : {"Checked", "Default", "Enabled", "RadioItem", "Visible"})
    EXPECT_EQ(GetPropInfo(item, name)->kind, TypeKind::Boolean) << name;
  for (const char* name : {"GroupIndex", "ImageIndex", "ShortCut"})
    EXPECT_EQ(GetPropInfo(item, name)->kind, TypeKind::Integer) << name;
  EXPECT_EQ(GetPropInfo(item, "AutoHotkeys")->kind, TypeKind::Enumeration);
  EXPECT_EQ(GetPropInfo(item, "Hint")->kind, TypeKind::WString);
  EXPECT_EQ(GetPropInfo(item, "OnClick")->kind, TypeKind::Method);
  EXPECT_EQ(GetPropInfo(menu, "Images")->kind, TypeKind::Class);
  EXPECT_EQ(GetPropInfo(menu, "OwnerDraw")->kind, TypeKind::Boolean);
  EXPECT_EQ(GetPropInfo(menu, "BiDiMode")->kind, TypeKind::Enumeration);
  EXPECT_EQ(GetEnumProp(menu, GetPropInfo(menu, "AutoHotkeys")), "maAutomatic");

  SetOrdProp(item, "Checked", 1);
  EXPECT_TRUE(::GetMenuState(menu->Handle(), 0, MF_BYPOSITION) & MF_CHECKED);

  item->SetShortCut(ShortCut(VK_F2, {ssShift}));
  item->SetGroupIndex(7);
  item->SetImageIndex(3);
  item->SetEnabled(false);
  item->SetHint(L"Checks");
  item->SetAutoHotkeys(maManual);
  TMemoryStream* stream = Create<TMemoryStream>();
  stream->WriteComponent(item);
  stream->SetPosition(0);
  auto* copy = static_cast<TMenuItem*>(stream->ReadComponent(nullptr));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->ClassName(), "TMenuItem");
  EXPECT_EQ(copy->Caption(), L"Pr\u00fcfen");
  EXPECT_TRUE(copy->Checked());
  EXPECT_FALSE(copy->Enabled());
  EXPECT_EQ(copy->ShortCut(), ShortCut(VK_F2, {ssShift}));
  EXPECT_EQ(copy->GroupIndex(), 7);
  EXPECT_EQ(copy->ImageIndex(), 3);
  EXPECT_EQ(copy->Hint(), L"Checks");
  EXPECT_EQ(copy->AutoHotkeys(), maManual);
  copy->Free();
  stream->Free();
  owner->Free();
}

// ---------------------------------------------------------------------------

namespace {

struct MainMenuFixture {
  TComponent* owner = Create<TComponent>(nullptr);
  TMainMenu* menu = Create<TMainMenu>(owner);
  int frameChanges = 0;  // DrawMenuBar recalculates the frame
  TestWindow window{[this](HWND, UINT msg, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (msg == WM_NCCALCSIZE) ++frameChanges;
    LRESULT result = 0;
    if (HandleMenuMessage(menu, msg, wp, lp, result)) return result;
    return std::nullopt;
  }};
  ~MainMenuFixture() {
    if (menu) menu->SetWindowHandle(nullptr);
    owner->Free();
  }
};

}  // namespace

TEST(MainMenus, CommandsAndShortCutsClickTheirItemOnce) {
  MainMenuFixture f;
  TMenuItem* file = NewItem(f.owner, f.menu->Items(), L"&File");
  TMenuItem* save = NewItem(f.owner, file, L"&Save");
  TMenuItem* open = NewItem(f.owner, file, L"&Open");
  TMenuItem* tools = NewItem(f.owner, f.menu->Items(), L"&Tools");
  TMenuItem* deep = NewItem(f.owner, tools, L"Deep");
  TMenuItem* exit = NewItem(f.owner, file, L"E&xit");
  int saves = 0, opens = 0, deeps = 0, exits = 0;
  save->OnClick = [&](TObject* sender) { saves += sender == save; };
  open->OnClick = [&](TObject*) { ++opens; };
  deep->OnClick = [&](TObject*) { ++deeps; };
  exit->OnClick = [&](TObject*) { ++exits; };
  save->SetShortCut(ShortCut('S', {ssCtrl}));
  open->SetShortCut(ShortCut('O', {ssCtrl}));
  deep->SetShortCut(ShortCut('D', {ssCtrl}));
  exit->SetShortCut(ShortCut('X', {ssAlt}));
  f.menu->SetWindowHandle(f.window.Handle());
  HMENU bar = f.menu->Handle();
  ASSERT_EQ(::GetMenu(f.window.Handle()), bar);

  ::SendMessageW(f.window.Handle(), WM_COMMAND, MAKEWPARAM(save->Command(), 0), 0);
  EXPECT_EQ(saves, 1);
  ::SendMessageW(f.window.Handle(), WM_COMMAND, MAKEWPARAM(save->Command(), 1), 0);  // an accelerator
  EXPECT_EQ(saves, 1);
  open->SetEnabled(false);
  ::SendMessageW(f.window.Handle(), WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
  EXPECT_EQ(opens, 0);

  {
    HeldKeys ctrl{VK_CONTROL};
    EXPECT_TRUE(f.menu->IsShortCut(WM_KEYDOWN, 'S', 0));
    EXPECT_EQ(saves, 2);
    EXPECT_FALSE(f.menu->IsShortCut(WM_KEYDOWN, 'O', 0));  // disabled
    EXPECT_TRUE(f.menu->IsShortCut(WM_KEYDOWN, 'D', 0));
    tools->SetEnabled(false);  // a disabled parent hides its sub-items
    EXPECT_FALSE(f.menu->IsShortCut(WM_KEYDOWN, 'D', 0));
    tools->SetEnabled(true);
    deep->SetVisible(false);
    EXPECT_FALSE(f.menu->IsShortCut(WM_KEYDOWN, 'D', 0));
    EXPECT_EQ(deeps, 1);
  }
  EXPECT_FALSE(f.menu->IsShortCut(WM_KEYDOWN, 'S', 0));  // no Ctrl
  EXPECT_FALSE(f.menu->IsShortCut(WM_SYSKEYDOWN, 'X', 0));
  EXPECT_TRUE(f.menu->IsShortCut(WM_SYSKEYDOWN, 'X', LPARAM{1} << 29));
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(saves, 2);

  // Changes reach the bar the window shows, and it is redrawn.
  int frameChanges = f.frameChanges;
  file->SetCaption(L"&Document");
  EXPECT_EQ(::GetMenu(f.window.Handle()), bar);
  EXPECT_EQ(MenuText(bar, 0), L"&Document");
  EXPECT_GT(f.frameChanges, frameChanges);

  // A freed menu leaves the window's menu bar.
  f.menu->Free();
  f.menu = nullptr;
  EXPECT_EQ(::GetMenu(f.window.Handle()), nullptr);
  EXPECT_FALSE(::IsMenu(bar));
}

TEST(MainMenus, OwnerDrawnDropDownIsMeasuredAndDrawnThroughTheEvents) {
  MainMenuFixture f;
  TMenuItem* file = NewItem(f.owner, f.menu->Items(), L"&File");
  TMenuItem* open = NewItem(f.owner, file, L"&Open");
  TMenuItem* line = NewItem(f.owner, file, L"-");
  TMenuItem* save = NewItem(f.owner, file, L"&Save");
  std::vector<TObject*> measured, drawn;
  int fileWidth = 0, fileHeight = 0;
  RECT openRect{}, lineRect{};
  auto measure = [&](TObject* sender, TCanvas*, int& width, int& height) {
    measured.push_back(sender);
    if (sender == file) {
      fileWidth = width;  // the framework's own measuring, left unchanged
      fileHeight = height;
      return;
    }
    width = 180;
    height = sender == line ? 7 : 27;
  };
  auto draw = [&](TObject* sender, TCanvas* canvas, const RECT& rect, bool) {
    drawn.push_back(sender);
    if (sender == open) openRect = rect;
    if (sender == line) lineRect = rect;
    canvas->Brush()->SetColor(clYellow);
    canvas->FillRect(rect);
  };
  for (TMenuItem* item : {file, open, line, save}) {
    item->OnMeasureItem = measure;
    item->OnDrawItem = draw;
  }
  int fileClicks = 0;  // a parent's OnClick runs as its sub-items open
  file->OnClick = [&](TObject*) { ++fileClicks; };
  f.menu->SetOwnerDraw(true);
  f.menu->SetWindowHandle(f.window.Handle());
  ::SetForegroundWindow(f.window.Handle());
  PumpMessages(100);

  auto has = [](const std::vector<TObject*>& v, TObject* o) { return std::find(v.begin(), v.end(), o) != v.end(); };
  MenuDriver driver([&](int) {
    if (!has(drawn, save)) return false;
    CancelMenus();
    return true;
  });
  ::PostMessageW(f.window.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
  PumpUntil([&] { return has(drawn, save) && !MenuWindowVisible(); }, 5000);
  EXPECT_FALSE(driver.timedOut);
  EXPECT_EQ(fileClicks, 1);
  EXPECT_TRUE(has(measured, file));
  EXPECT_GT(fileWidth, 0);
  EXPECT_GT(fileHeight, 0);
  EXPECT_TRUE(has(measured, open));
  EXPECT_TRUE(has(measured, line));
  EXPECT_TRUE(has(drawn, open));
  EXPECT_EQ(openRect.bottom - openRect.top, 27);
  EXPECT_GE(openRect.right - openRect.left, 180);
  EXPECT_EQ(lineRect.bottom - lineRect.top, 7);
}

// ---------------------------------------------------------------------------

TEST(PopupMenus, OwnerDrawnItemsGetTheEventsAndTheirSizes) {
  TComponent* owner = Create<TComponent>(nullptr);
  TPopupMenu* menu = Create<TPopupMenu>(owner);
  TMenuItem* first = NewItem(owner, menu->Items(), L"First");
  TMenuItem* sub = NewItem(owner, menu->Items(), L"More");
  NewItem(owner, sub, L"Inner");
  TMenuItem* plain = NewItem(owner, menu->Items(), L"Plain");  // no events: the framework's look
  plain->SetChecked(true);
  plain->SetShortCut(ShortCut('P', {ssCtrl}));
  int prefilledWidth = -1;
  std::vector<RECT> rects;
  std::vector<TObject*> drawn;
  for (TMenuItem* item : {first, sub}) {
    item->OnMeasureItem = [&](TObject* sender, TCanvas*, int& width, int& height) {
      if (sender == first) prefilledWidth = width;
      width = 150;
      height = 33;
    };
    item->OnDrawItem = [&](TObject* sender, TCanvas*, const RECT& rect, bool) {
      drawn.push_back(sender);
      rects.push_back(rect);
    };
  }
  menu->SetOwnerDraw(true);
  TObject* popupSender = nullptr;
  menu->OnPopup = [&](TObject* sender) { popupSender = sender; };
  TestWindow window;
  ::SetForegroundWindow(window.Handle());
  MenuDriver driver([&](int ticks) {
    if (ticks < 4 || drawn.size() < 2) return false;
    CancelMenus();
    return true;
  });
  menu->Popup(200, 200);
  EXPECT_FALSE(driver.timedOut);
  EXPECT_EQ(popupSender, menu);
  EXPECT_GT(prefilledWidth, 0);
  ASSERT_GE(rects.size(), 2u);
  for (const RECT& r : rects) {
    EXPECT_EQ(r.bottom - r.top, 33);
    EXPECT_GE(r.right - r.left, 150);
  }
  owner->Free();
}

TEST(PopupMenus, KeyboardChoiceClicksTheItemOnceAfterTheMenuClosed) {
  TComponent* owner = Create<TComponent>(nullptr);
  TPopupMenu* menu = Create<TPopupMenu>(owner);
  TMenuItem* first = NewItem(owner, menu->Items(), L"First");
  TMenuItem* second = NewItem(owner, menu->Items(), L"Second");
  int popups = 0, firstClicks = 0, secondClicks = 0;
  bool openDuringClick = true;
  // OnPopup may still change the items: the new one shows first.
  menu->OnPopup = [&](TObject*) {
    if (++popups == 1) {
      TMenuItem* added = NewItem(owner, nullptr, L"Added");
      menu->Items()->Insert(0, added);
    }
  };
  first->OnClick = [&](TObject*) { ++firstClicks; };
  second->OnClick = [&](TObject*) {
    ++secondClicks;
    openDuringClick = MenuWindowVisible();
  };
  TestWindow window;
  ::SetForegroundWindow(window.Handle());
  PumpMessages(100);
  MenuDriver driver([&](int ticks) {
    if (ticks == 4) {
      for (int i = 0; i < 3; ++i) SendKeyPress(VK_DOWN);
      SendKeyPress(VK_RETURN);
    }
    return ticks >= 4;
  });
  menu->Popup(220, 180);
  EXPECT_FALSE(driver.timedOut);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(secondClicks, 1);
  EXPECT_EQ(firstClicks, 0);
  EXPECT_FALSE(openDuringClick);
  PumpMessages(100);
  EXPECT_EQ(secondClicks, 1);
  owner->Free();
}

// ---------------------------------------------------------------------------

TEST(MenuMessages, MeasureAndDrawReachOnlyLiveItems) {
  TComponent* owner = Create<TComponent>(nullptr);
  TPopupMenu* menu = Create<TPopupMenu>(owner);
  TMenuItem* item = NewItem(owner, menu->Items(), L"Item");
  int measures = 0;
  item->OnMeasureItem = [&](TObject*, TCanvas* canvas, int& width, int& height) {
    ++measures;
    EXPECT_NE(canvas->Handle(), nullptr);
    width += 5;
    height = 40;
  };
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_MENU;
  measure.itemData = reinterpret_cast<ULONG_PTR>(item);
  LRESULT result = 0;
  ASSERT_TRUE(HandleMenuMessage(nullptr, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), result));
  EXPECT_EQ(measures, 1);
  EXPECT_EQ(measure.itemHeight, 40u);
  EXPECT_GT(measure.itemWidth, 5u);

  // Typed keys find the owner-drawn item by its (automatic) hot key.
  TMenuItem* other = NewItem(owner, menu->Items(), L"Other");
  NewItem(owner, menu->Items(), L"Ozone");
  menu->SetOwnerDraw(true);
  auto key = [&](wchar_t c) {
    LRESULT r = -1;
    bool handled = HandleMenuMessage(nullptr, WM_MENUCHAR, MAKEWPARAM(c, MF_POPUP),
                                     reinterpret_cast<LPARAM>(menu->Handle()), r);
    return handled ? r : -1;
  };
  EXPECT_EQ(key(L'o'), MAKELRESULT(1, MNC_EXECUTE));
  EXPECT_EQ(key(L'Z'), MAKELRESULT(2, MNC_EXECUTE));
  other->SetVisible(false);
  EXPECT_EQ(key(L'o'), MAKELRESULT(1, MNC_EXECUTE));  // now "&Ozone"
  EXPECT_EQ(key(L'z'), -1);

  measure.CtlType = ODT_LISTBOX;  // not a menu's
  EXPECT_FALSE(HandleMenuMessage(nullptr, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), result));
  item->Free();
  measure.CtlType = ODT_MENU;
  EXPECT_FALSE(HandleMenuMessage(nullptr, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), result));
  EXPECT_EQ(measures, 1);
  owner->Free();
}

namespace {

// A 24-bit DIB the framework look is drawn into.
struct Surface {
  Surface(int width, int height) : w(width), h(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    pixels = static_cast<std::uint32_t*>(bits);
    dc.Reset(::CreateCompatibleDC(nullptr));
    old = ::SelectObject(dc.Get(), bitmap.Get());
  }
  ~Surface() { ::SelectObject(dc.Get(), old); }
  COLORREF At(int x, int y) const {
    std::uint32_t p = pixels[y * w + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(COLORREF color, RECT r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == color;
    return n;
  }
  int w, h;
  win::UniqueBitmap bitmap;
  win::UniqueMemoryDC dc;
  HGDIOBJ old = nullptr;
  std::uint32_t* pixels = nullptr;
};

LRESULT Draw(TMenuItem* item, Surface& s, bool selected) {
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_MENU;
  draw.itemData = reinterpret_cast<ULONG_PTR>(item);
  draw.itemState = selected ? ODS_SELECTED : 0;
  draw.hDC = s.dc.Get();
  draw.rcItem = RECT{0, 0, s.w, s.h};
  LRESULT result = 0;
  EXPECT_TRUE(HandleMenuMessage(nullptr, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), result));
  return result;
}

}  // namespace

TEST(MenuMessages, FrameworkLookShowsStateCheckImageAndShortcut) {
  TComponent* owner = Create<TComponent>(nullptr);
  TPopupMenu* menu = Create<TPopupMenu>(owner);
  TMenuItem* item = NewItem(owner, menu->Items(), L"&Item");
  COLORREF menuColor = ::GetSysColor(COLOR_MENU), highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  COLORREF text = ::GetSysColor(COLOR_MENUTEXT), gray = ::GetSysColor(COLOR_GRAYTEXT);
  RECT gutter{0, 0, 24, 24}, caption{30, 0, 90, 24}, tail{120, 0, 200, 24};

  Surface s(200, 24);
  Draw(item, s, false);
  EXPECT_EQ(s.At(1, 1), menuColor);
  EXPECT_GT(s.Count(text, caption), 10);
  EXPECT_EQ(s.Count(text, gutter), 0);
  EXPECT_EQ(s.Count(text, tail), 0);

  item->SetChecked(true);
  item->SetShortCut(ShortCut(VK_F3, {}));
  Draw(item, s, false);
  EXPECT_GT(s.Count(text, gutter), 5);  // the check mark
  EXPECT_GT(s.Count(text, tail), 5);    // "F3" at the right

  Draw(item, s, true);
  EXPECT_EQ(s.At(1, 1), highlight);
  EXPECT_EQ(s.Count(text, caption), 0);

  item->SetEnabled(false);
  Draw(item, s, false);
  EXPECT_GT(s.Count(gray, caption), 10);

  // An image of the menu's list goes into the gutter; a bad index draws none.
  TImageList* images = Create<TImageList>(owner);
  TBitmap* red = Create<TBitmap>(16, 16);
  red->Canvas()->Brush()->SetColor(clRed);
  red->Canvas()->FillRect(RECT{0, 0, 16, 16});
  images->Add(red, nullptr);
  red->Free();
  menu->SetImages(images);
  item->SetEnabled(true);
  item->SetChecked(false);
  item->SetImageIndex(0);
  Draw(item, s, false);
  EXPECT_GT(s.Count(RGB(255, 0, 0), gutter), 200);
  item->SetImageIndex(5);
  Draw(item, s, false);
  EXPECT_EQ(s.Count(RGB(255, 0, 0), gutter), 0);

  // Without an image, the item's own bitmap is shown.
  item->SetImageIndex(-1);
  item->Bitmap()->SetSize(8, 8);
  item->Bitmap()->Canvas()->Brush()->SetColor(clBlue);
  item->Bitmap()->Canvas()->FillRect(RECT{0, 0, 8, 8});
  Draw(item, s, false);
  EXPECT_GT(s.Count(RGB(0, 0, 255), gutter), 200);

  // The image list goes away with its owner's notification.
  images->Free();
  EXPECT_EQ(menu->Images(), nullptr);
  owner->Free();
}

// ---------------------------------------------------------------------------

TEST(MenuLeaks, FreeingInAnyOrderLeaksNoHandleAndNoRegistryEntry) {
  auto build = [](TComponent* owner, TMenu* menu) {
    std::vector<TMenuItem*> items;
    for (int i = 0; i < 4; ++i) {
      TMenuItem* top = NewItem(owner, menu->Items(), L"Top" + std::to_wstring(i));
      items.push_back(top);
      for (int j = 0; j < 3; ++j) {
        TMenuItem* mid = NewItem(owner, top, L"Mid" + std::to_wstring(j));
        items.push_back(mid);
        items.push_back(NewItem(owner, mid, L"Leaf"));
      }
    }
    menu->SetOwnerDraw(true);
    menu->Handle();
    return items;
  };
  struct Gone {
    UINT command;
    ULONG_PTR data;
  };
  auto record = [](const std::vector<TMenuItem*>& items) {
    std::vector<Gone> gone;
    for (TMenuItem* item : items) gone.push_back({item->Command(), reinterpret_cast<ULONG_PTR>(item)});
    return gone;
  };
  auto expectGone = [](const std::vector<Gone>& gone) {
    for (const Gone& g : gone) {
      EXPECT_EQ(TMenuItem::FromCommand(g.command), nullptr);
      EXPECT_EQ(TMenuItem::FromItemData(g.data), nullptr);
    }
  };

  auto freeInEveryOrder = [&] {
    {
      // The owner goes first, with the menu and the items it owns.
      TComponent* owner = Create<TComponent>(nullptr);
      auto gone = record(build(owner, Create<TMainMenu>(owner)));
      owner->Free();
      expectGone(gone);
    }
    {
      // The menu goes first; the items it held die with it.
      TComponent* owner = Create<TComponent>(nullptr);
      TPopupMenu* menu = Create<TPopupMenu>(nullptr);
      auto items = build(owner, menu);
      auto gone = record(items);
      menu->Free();
      expectGone(gone);
      EXPECT_EQ(owner->ComponentCount(), 0);
      owner->Free();
    }
    {
      // Leaves first, then the middle, then the menu; and items owned by a
      // second owner freed before the menu's owner.
      TComponent* owner = Create<TComponent>(nullptr);
      TComponent* other = Create<TComponent>(nullptr);
      TMainMenu* menu = Create<TMainMenu>(owner);
      auto items = build(other, menu);
      auto gone = record(items);
      for (TMenuItem* item : items)
        if (item->Count() == 0) item->Free();
      EXPECT_EQ(::GetMenuItemCount(menu->Handle()), 4);
      other->Free();
      expectGone(gone);
      EXPECT_EQ(::GetMenuItemCount(menu->Handle()), 0);
      owner->Free();
    }
    {
      // Items taken out of the tree keep their handles until freed.
      TComponent* owner = Create<TComponent>(nullptr);
      TPopupMenu* menu = Create<TPopupMenu>(owner);
      auto items = build(owner, menu);
      TMenuItem* top = items[0];
      menu->Items()->Remove(top);
      EXPECT_TRUE(::IsMenu(top->Handle()));
      owner->Free();
    }
  };
  EXPECT_EQ(UserHandlesLeaked(freeInEveryOrder), 0);
}

// ---------------------------------------------------------------------------

TEST(FormStreams, MenuTreesAndButtonGlyphsComeBackWhole) {
  OwnedObject<TForm> form(Create<TForm>(nullptr));
  form->SetName("Saved");
  auto* bar = Create<TMainMenu>(form.get());
  bar->SetName("Bar");
  TMenuItem* file = NewItem(form.get(), bar->Items(), L"&File");
  NewItem(form.get(), file, L"&Open")->SetShortCut(ShortCut('O', {ssCtrl}));
  NewItem(form.get(), NewItem(form.get(), file, L"&Recent"), L"one.txt");
  NewItem(form.get(), bar->Items(), L"&Edit");
  form->SetMenu(bar);
  auto* popup = Create<TPopupMenu>(form.get());
  popup->SetName("Popup");
  NewItem(form.get(), popup->Items(), L"Cu&t");
  OwnedObject<TBitmap> glyph(Create<TBitmap>(32, 16));  // two images
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) glyph->SetPixelAt(x, y, RGB(x * 8, y * 16, 200));
  auto* bitBtn = Create<TBitBtn>(form.get());
  bitBtn->SetName("BitBtn");
  bitBtn->SetParent(form.get());
  bitBtn->SetGlyph(glyph.get());
  auto* speed = Create<TSpeedButton>(form.get());
  speed->SetName("Speed");
  speed->SetParent(form.get());
  speed->SetGlyph(glyph.get());

  TMemoryStream stream;
  stream.WriteComponent(form.get());
  form.reset();
  stream.SetPosition(0);
  OwnedObject<TForm> copy(dynamic_cast<TForm*>(stream.ReadComponent(nullptr)));
  ASSERT_NE(copy, nullptr);
  auto* bar2 = dynamic_cast<TMainMenu*>(copy->FindComponent("Bar"));
  ASSERT_NE(bar2, nullptr);
  EXPECT_EQ(copy->Menu(), bar2);
  ASSERT_EQ(bar2->Items()->Count(), 2);
  TMenuItem* file2 = bar2->Items()->Items(0);
  ASSERT_EQ(file2->Count(), 2);
  EXPECT_EQ(file2->Items(0)->Caption(), L"&Open");
  EXPECT_EQ(file2->Items(0)->ShortCut(), ShortCut('O', {ssCtrl}));
  ASSERT_EQ(file2->Items(1)->Count(), 1);
  EXPECT_EQ(file2->Items(1)->Items(0)->Caption(), L"one.txt");
  EXPECT_EQ(bar2->Items()->Items(1)->Caption(), L"&Edit");
  EXPECT_EQ(::GetMenuItemCount(file2->Handle()), 2);
  auto* popup2 = dynamic_cast<TPopupMenu*>(copy->FindComponent("Popup"));
  ASSERT_NE(popup2, nullptr);
  ASSERT_EQ(popup2->Items()->Count(), 1);
  EXPECT_EQ(popup2->Items()->Items(0)->Caption(), L"Cu&t");

  for (const char* name : {"BitBtn", "Speed"}) {
    SCOPED_TRACE(name);
    TComponent* button = copy->FindComponent(name);
    ASSERT_NE(button, nullptr);
    auto* back = dynamic_cast<TBitmap*>(GetObjectProp(button, GetPropInfo(button, "Glyph")));
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->Width(), 32);
    ASSERT_EQ(back->Height(), 16);
    int differing = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 32; ++x) differing += back->PixelAt(x, y) != glyph->PixelAt(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(GetOrdProp(button, "NumGlyphs"), 2);
  }
}
