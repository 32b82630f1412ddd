// The window hook and the life of skinned dialogs: message boxes and common
// dialogs caught while dialogs are skinned, size grips refused, the hook
// gone with its engine; a dialog destroyed, an engine freed or switched off
// while dialogs are open; and no handles left behind by many of them.
#include <gtest/gtest.h>

#include "FrameTestSupport.h"

#include <commdlg.h>
#include <shlobj.h>

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

// The active dialog of this thread once it is shown, or nullptr.
HWND ActiveDialog() {
  HWND wnd = ::GetActiveWindow();
  return wnd && WindowClassOf(wnd) == "#32770" ? wnd : nullptr;
}

// From a timer: waits for the modal dialog, records whether it is skinned,
// and cancels it.
void CancelWhenShown(bool* skinned, UINT delayMs = 50, int attempts = 100) {
  RunSoon([=] {
    HWND dialog = ActiveDialog();
    if (!dialog) {
      if (attempts > 0) CancelWhenShown(skinned, delayMs, attempts - 1);
      return;
    }
    *skinned = IsSkinned(dialog);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }, delayMs);
}

// Opens one modal dialog of each kind the hook is meant to catch; returns
// which of them were skinned, in order.
std::vector<bool> OpenEveryKindOfDialog() {
  std::vector<bool> skinned(5, false);
  bool s = false;
  CancelWhenShown(&s);
  ::MessageBoxW(nullptr, L"A message", L"Message box", MB_OKCANCEL);
  skinned[0] = s;

  s = false;
  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.lpstrFile = file;
  open.nMaxFile = MAX_PATH;
  open.Flags = OFN_EXPLORER;
  CancelWhenShown(&s);
  ::GetOpenFileNameW(&open);
  skinned[1] = s;

  s = false;
  BROWSEINFOW browse{};
  browse.lpszTitle = L"Folder";
  CancelWhenShown(&s);
  if (PIDLIST_ABSOLUTE id = ::SHBrowseForFolderW(&browse)) ::CoTaskMemFree(id);
  skinned[2] = s;

  s = false;
  COLORREF custom[16] = {};
  CHOOSECOLORW color{};
  color.lStructSize = sizeof color;
  color.lpCustColors = custom;
  CancelWhenShown(&s);
  ::ChooseColorW(&color);
  skinned[3] = s;

  s = false;
  LOGFONTW font{};
  CHOOSEFONTW choose{};
  choose.lStructSize = sizeof choose;
  choose.lpLogFont = &font;
  choose.Flags = CF_SCREENFONTS;
  CancelWhenShown(&s);
  ::ChooseFontW(&choose);
  skinned[4] = s;
  return skinned;
}

class Hook : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ::CoInitialize(nullptr); }
  EngineFixture fixture_;
  TnuvSkinEngine* engine_ = fixture_.engine;
};

TEST_F(Hook, DialogsAreCaughtOnlyWhileTheEngineSkinsDialogs) {
  ASSERT_EQ(HookEngine(), engine_);
  const int ownerForm = engine_->FrameSkinCount();
  EXPECT_EQ(OpenEveryKindOfDialog(), std::vector<bool>(5, true)) << "message, open, folder, colour, font";
  engine_->SetSkinDialogs(false);
  EXPECT_EQ(OpenEveryKindOfDialog(), std::vector<bool>(5, false));
  engine_->SetSkinDialogs(true);
  engine_->SetActive(false);
  EXPECT_EQ(OpenEveryKindOfDialog(), std::vector<bool>(5, false));
  EXPECT_EQ(engine_->FrameSkinCount(), ownerForm) << "every closed dialog left the list";
}

TEST_F(Hook, TheSkinnedCloseButtonCancelsAMessageBox) {
  RunSoon([&] {
    HWND box = ActiveDialog();
    if (!box || !IsSkinned(box)) return;
    TBitmap* buttons = SkinBitmapOf(engine_, SkinBitmap::TITLEBUTTONS);
    const int gw = buttons->Width() / 18;
    const RECT r = WindowRectOf(box);
    SendClickAt(POINT{r.right - engine_->FButtonPosX - gw / 2, r.top + engine_->FButtonPosY + gw / 2});
  }, 300);
  EXPECT_EQ(::MessageBoxW(nullptr, L"Close me by the title bar", L"Message box", MB_OKCANCEL), IDCANCEL);
}

TEST_F(Hook, ASizeGripIsRefusedUnlessItAsksForNoParentNotify) {
  TestWindow parent;
  auto grip = [&](DWORD exStyle) {
    HWND wnd = ::CreateWindowExW(exStyle, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 0, 0, 16, 16,
                                 parent.Handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    const bool made = wnd != nullptr;
    if (wnd) ::DestroyWindow(wnd);
    return made;
  };
  EXPECT_FALSE(grip(0));
  EXPECT_TRUE(grip(WS_EX_NOPARENTNOTIFY));
  engine_->SetActive(false);
  EXPECT_TRUE(grip(0));
}

TEST_F(Hook, NothingIsCaughtOnceTheHooksEngineIsFreedEvenWithAnotherEngineLeft) {
  TForm* otherForm = Create<TForm>(nullptr);
  auto* other = Create<TnuvSkinEngine>(otherForm);
  other->LoadBuiltInSkin();
  other->SetActive(true);
  EXPECT_EQ(HookEngine(), engine_);
  TObject::Free(fixture_.owner);
  fixture_.owner = nullptr;
  EXPECT_EQ(HookEngine(), nullptr);
  bool skinned = true;
  CancelWhenShown(&skinned);
  ::MessageBoxW(nullptr, L"Not skinned", L"Message box", MB_OK);
  EXPECT_FALSE(skinned);
  TObject::Free(otherForm);
}

class Dialogs : public ::testing::Test {
 protected:
  EngineFixture fixture_;
  TnuvSkinEngine* engine_ = fixture_.engine;
  DialogLog log_;
};

TEST_F(Dialogs, ADestroyedDialogGetsItsOwnDestroyAndLeavesTheList) {
  const int ownerForm = engine_->FrameSkinCount();
  HWND wnd = CreateTestDialog(&log_);
  engine_->AddFrameSkin(wnd, false);
  ASSERT_EQ(engine_->FrameSkinCount(), ownerForm + 1);
  ::DestroyWindow(wnd);
  EXPECT_EQ(log_.destroys, 1) << "the dialog's own procedure saw WM_DESTROY";
  EXPECT_EQ(engine_->FrameSkinCount(), ownerForm);
  EXPECT_EQ(LastDestroyedRawWindow(), wnd);
}

TEST_F(Dialogs, AnEngineFreedWhileDialogsAreOpenGivesThemTheirOwnFrameBack) {
  engine_->SetActive(false);
  HWND wnd = CreateTestDialog(&log_);
  engine_->SetActive(true);
  const SIZE before = WindowSizeOf(wnd);
  const LONG_PTR proc = ::GetWindowLongPtrW(wnd, GWLP_WNDPROC);
  engine_->AddFrameSkin(wnd, false);
  ASSERT_NE(WindowSizeOf(wnd).cy, before.cy);
  TObject::Free(fixture_.owner);
  fixture_.owner = nullptr;
  EXPECT_FALSE(IsSkinned(wnd));
  EXPECT_EQ(WindowSizeOf(wnd).cx, before.cx);
  EXPECT_EQ(WindowSizeOf(wnd).cy, before.cy);
  EXPECT_EQ(::GetWindowLongPtrW(wnd, GWLP_WNDPROC), proc);
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(::GetWindowRgn(wnd, region), ERROR) << "no region left";
  ::DeleteObject(region);
  // It still works as a dialog.
  ::SendMessageW(::GetDlgItem(wnd, IDOK), BM_CLICK, 0, 0);
  ASSERT_EQ(log_.commands.size(), 1u);
  EXPECT_EQ(LOWORD(log_.commands[0]), IDOK);
  ::DestroyWindow(wnd);
  EXPECT_EQ(log_.destroys, 1);
}

TEST(FramesLeaks, ManyMessageBoxesAndSkinChangesLeaveNoHandlesBehind) {
  ::CoInitialize(nullptr);
  EngineFixture fixture;
  TnuvSkinEngine* engine = fixture.engine;
  const int ownerForm = engine->FrameSkinCount();
  TnuvSkinCollectionItem* item = engine->AdditionalBuiltInSkins()->Add();
  const auto three = ThreeSectSkinData();
  item->Reader()->LoadSkinData(format::ByteSpan(three.data(), three.size()), {});
  auto boxes = [](int count) {
    for (int i = 0; i < count; ++i) {
      bool skinned = false;
      CancelWhenShown(&skinned, 10);
      ::MessageBoxW(nullptr, L"Again", L"Message box", MB_OK);
      ASSERT_TRUE(skinned);
    }
  };
  auto skinChanges = [&](int count) {
    DialogLog logs[3];
    HWND dialogs[3];
    for (int i = 0; i < 3; ++i) {
      dialogs[i] = CreateTestDialog(&logs[i]);
      engine->AddFrameSkin(dialogs[i], false);
    }
    for (int i = 0; i < count; ++i) {
      if (i % 2) engine->UseOwnSkin(); else engine->UseAdditionalSkin(0);
      AppPump(0);
    }
    engine->UseOwnSkin();
    for (HWND d : dialogs) ::DestroyWindow(d);
  };
  boxes(5);  // warm up
  skinChanges(4);
  const int gdi = GdiHeadroom();
  const int leaked = UserHandlesLeaked([&] {
    boxes(1000);
    skinChanges(100);
  }, 1);
  EXPECT_EQ(GdiHeadroom(), gdi);
  EXPECT_EQ(leaked, 0);
  EXPECT_EQ(engine->FrameSkinCount(), ownerForm);
}

}  // namespace
