// The push buttons of real dialogs under their skins: clicks become the
// dialog's commands, the keys of a message box answer as without skins, the
// hover face leaves with the mouse; and many buttons used and repainted, and
// the engine switched off and on, leave no handles behind.
#include <gtest/gtest.h>


#include <functional>

#include "ButtonSkinsTestSupport.h"
#include "framework/Buttons.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

using F = TnuvSkinControlStateFlag;

TnuvSkinWndButton* ButtonSkinOf(TnuvSkinEngine* engine, HWND dialog, HWND button) {
  TnuvSkinWindow* frame = engine->FindFrameSkin(dialog);
  if (!frame) return nullptr;
  for (TnuvSkinControl* skin : frame->FControlSkins)
    if (skin->GetHandle() == button) return dynamic_cast<TnuvSkinWndButton*>(skin);
  return nullptr;
}

// From a timer: `action` on the active dialog once it is shown.
void WhenDialogShown(std::function<void(HWND)> action, int attempts = 100) {
  RunSoon([=] {
    HWND wnd = ::GetActiveWindow();
    if (!wnd || WindowClassOf(wnd) != "#32770") {
      if (attempts > 0) WhenDialogShown(action, attempts - 1);
      return;
    }
    action(wnd);
  });
}

class DialogButtons : public ::testing::Test {
 protected:
  void SetUp() override { MoveCursorTo(POINT{5, 5}); }
  void TearDown() override {
    if (dialog_) ::DestroyWindow(dialog_);
  }
  // A test dialog, which the hook skins while the engine skins dialogs.
  void Open() {
    dialog_ = CreateTestDialog(&log_);
    // Low on the desktop, where the windows other test programs open do not reach.
    ::SetWindowPos(dialog_, nullptr, 760, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessages(30);
    ok_ = ::GetDlgItem(dialog_, IDOK);
    cancel_ = ::GetDlgItem(dialog_, IDCANCEL);
  }
  Image Shot(HWND wnd) {
    PumpMessages(30);
    return CaptureWindow(wnd);
  }
  EngineFixture fixture_;
  TnuvSkinEngine* engine_ = fixture_.engine;
  DialogLog log_;
  HWND dialog_ = nullptr, ok_ = nullptr, cancel_ = nullptr;
};

TEST_F(DialogButtons, ClicksBecomeTheDialogsCommandsOnce) {
  Open();
  ASSERT_TRUE(IsSkinned(dialog_));
  ASSERT_NE(ButtonSkinOf(engine_, dialog_, ok_), nullptr);
  ASSERT_TRUE(SendClickAt(CentreOf(ok_)));
  PumpMessages(150);
  ASSERT_EQ(log_.commands.size(), 1u);
  EXPECT_EQ(log_.commands[0], WPARAM{IDOK});

  // Pressed, moved out, released outside: no command.
  MoveCursorTo(CentreOf(cancel_));
  SendButton(MOUSEEVENTF_LEFTDOWN);
  PumpMessages(100);
  MoveCursorTo(POINT{CentreOf(cancel_).x, CentreOf(cancel_).y + 200});
  SendButton(MOUSEEVENTF_LEFTUP);
  PumpMessages(150);
  EXPECT_EQ(log_.commands.size(), 1u);

  // Space goes to the button itself, which reports its own click.
  ::SetFocus(cancel_);
  SendKeyPress(VK_SPACE);
  PumpMessages(150);
  ASSERT_EQ(log_.commands.size(), 2u);
  EXPECT_EQ(LOWORD(log_.commands[1]), IDCANCEL);
}

TEST_F(DialogButtons, ButtonsFollowTheSkinAndTheEnginesState) {
  // Another skin that differs in the button's bitmap alone.
  const format::Bytes other = EditedBuiltInSkin([](std::vector<format::Sk2Element>& elements) {
    format::Bytes tab;
    for (const format::Sk2Element& e : elements)
      if (e.name == "SKIN2_TABCONTROL") tab = e.data;
    for (format::Sk2Element& e : elements)
      if (e.name == "SKIN2_BUTTON") e.data = tab;
  });
  engine_->AdditionalBuiltInSkins()->Add()->Reader()->LoadSkinData(format::ByteSpan(other.data(), other.size()), {});
  Open();
  ASSERT_TRUE(IsSkinned(dialog_));
  const Image skinned = Shot(cancel_);
  engine_->SetActive(false);
  EXPECT_FALSE(DifferenceBox(skinned, Shot(cancel_)).Empty()) << "the system's own face";
  engine_->SetActive(true);
  EXPECT_TRUE(DifferenceBox(skinned, Shot(cancel_)).Empty());
  engine_->UseAdditionalSkin(0);
  const Image otherFace = Shot(cancel_);
  EXPECT_FALSE(DifferenceBox(skinned, otherFace).Empty()) << "the other skin's face";
  engine_->UseOwnSkin();
  EXPECT_TRUE(DifferenceBox(skinned, Shot(cancel_)).Empty());
  SaveRow({skinned, otherFace}, L"dialog-button-skins");
}

TEST_F(DialogButtons, AMessageBoxAnswersEnterAndEscapeAsWithoutSkins) {
  for (bool active : {true, false}) {
    engine_->SetActive(active);
    for (auto [key, answer] : {std::pair<UINT, int>{VK_RETURN, IDOK}, std::pair<UINT, int>{VK_ESCAPE, IDCANCEL}}) {
      bool skinned = !active;
      WhenDialogShown([&, key](HWND box) {
        skinned = IsSkinned(box);
        PostKeyPress(::GetFocus(), key);
      });
      EXPECT_EQ(::MessageBoxW(nullptr, L"Keys", L"Message box", MB_OKCANCEL), answer) << active << " " << key;
      EXPECT_EQ(skinned, active);
    }
  }
}

TEST_F(DialogButtons, TheHotFaceLeavesWithTheMouseWithinATimerTick) {
  Open();
  TnuvSkinWndButton* skin = ButtonSkinOf(engine_, dialog_, cancel_);
  ASSERT_NE(skin, nullptr);
  ASSERT_TRUE(skin->HasHoverTimer());
  // Laid out anew after its first paint, as a message box does with its
  // buttons: the face fills the new size, its keyed corners in the form colour.
  RECT r = WindowRectOf(cancel_);
  ::SetWindowPos(cancel_, nullptr, 0, 0, r.right - r.left - 20, r.bottom - r.top + 3, SWP_NOMOVE | SWP_NOZORDER);
  const Image normal = Shot(cancel_);
  EXPECT_EQ(normal.At(0, normal.Height() - 1), PixelOf(engine_->GetSkinColor(SkinColor::FORMCOLOR)));
  ASSERT_TRUE(MoveCursorTo(CentreOf(cancel_)));
  ASSERT_TRUE(PumpUntil([&] { return skin->State().Contains(F::Hot); }));
  const Image hot = Shot(cancel_);
  EXPECT_FALSE(DifferenceBox(normal, hot).Empty());

  ::SetCursorPos(5, 5);
  ASSERT_TRUE(PumpUntil([] {
    POINT p;
    return ::GetCursorPos(&p) && p.x == 5 && p.y == 5;
  }));
  const ULONGLONG left = ::GetTickCount64();
  ASSERT_TRUE(PumpUntil([&] { return !skin->State().Contains(F::Hot); }, 1000));
  EXPECT_LE(::GetTickCount64() - left, 138u + 120u);  // a tick, and Wine's timer lag
  EXPECT_TRUE(DifferenceBox(normal, Shot(cancel_)).Empty());
  SaveRow({normal, hot}, L"dialog-button");
}

TEST_F(DialogButtons, BesideAProgressBarAButtonHasNoTimerAndStaysHot) {
  engine_->SetSkinDialogs(false);
  Open();
  // A progress bar first among the children, as the child walk meets it.
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&icc);
  const HWND bar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 5, 5, 100, 10, dialog_,
                                     nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ::SetWindowPos(bar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  engine_->AddFrameSkin(dialog_, false);
  ASSERT_TRUE(IsSkinned(dialog_));
  TnuvSkinWndButton* skin = ButtonSkinOf(engine_, dialog_, cancel_);
  ASSERT_NE(skin, nullptr);
  EXPECT_FALSE(skin->HasHoverTimer());
  ASSERT_TRUE(MoveCursorTo(CentreOf(cancel_)));
  ASSERT_TRUE(PumpUntil([&] { return skin->State().Contains(F::Hot); }));
  const Image hot = Shot(cancel_);
  ASSERT_TRUE(MoveCursorTo(POINT{5, 5}));
  PumpMessages(400);
  EXPECT_TRUE(skin->State().Contains(F::Hot));
  EXPECT_TRUE(DifferenceBox(hot, Shot(cancel_)).Empty());
}

class ButtonSkinsLeaks : public ControlSkinFixture {};

// Every kind of button skin, used the ways that paint, a thousand times.
TEST_F(ButtonSkinsLeaks, UsedRepaintedAndSwitchedButtonsLeaveNoHandles) {
  OwnedObject<TBitmap> glyph(GlyphImages({clLime}));
  auto* button = Place<TButton>(form_, 10, 10, 100, 28);
  auto* bitBtn = Place<TBitBtn>(form_, 120, 10, 100, 28);
  bitBtn->SetGlyph(glyph.get());
  bitBtn->SetEnabled(false);  // the greyed glyph of an image list
  auto* box = Place<TCheckBox>(form_, 10, 50, 100, 21);
  auto* radio = Place<TRadioButton>(form_, 120, 50, 100, 21);
  auto* speed = Place<TSpeedButton>(form_, 230, 10, 40, 28);
  speed->SetGlyph(glyph.get());
  TWinControl* windowed[] = {button, bitBtn, box, radio};
  for (TControl* c : std::initializer_list<TControl*>{button, bitBtn, box, radio, speed}) Attach(c);
  DialogLog log;
  const HWND dialog = CreateTestDialog(&log);
  ASSERT_TRUE(IsSkinned(dialog));
  const HWND raw[] = {::GetDlgItem(dialog, IDOK), ::GetDlgItem(dialog, IDCANCEL)};

  auto use = [&](int times) {
    for (int i = 0; i < times; ++i) {
      for (TWinControl* c : windowed) {
        c->Perform(CM_MOUSEENTER);
        ::SendMessageW(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        c->Perform(CM_MOUSELEAVE);
        ::RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      }
      speed->Perform(CM_MOUSEENTER);
      speed->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
      speed->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
      speed->Perform(CM_MOUSELEAVE);
      for (HWND b : raw) {
        ::SendMessageW(b, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        ::SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        ::RedrawWindow(b, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      }
      if (i % 50 == 0) AppPump(0);
    }
    AppPump(20);
  };
  auto switchEngine = [&](int times) {
    for (int i = 0; i < times; ++i) {
      SetActive(false);
      SetActive(true);
      AppPump(0);
    }
    AppPump(20);
  };
  use(5);  // warm up
  switchEngine(2);
  const int gdi = GdiHeadroom();
  const int leaked = UserHandlesLeaked([&] {
    use(1000);
    switchEngine(100);
  }, 1);
  EXPECT_EQ(GdiHeadroom(), gdi);
  EXPECT_EQ(leaked, 0);
  EXPECT_GE(log.commands.size(), 2000u);
  ::DestroyWindow(dialog);
}

}  // namespace
