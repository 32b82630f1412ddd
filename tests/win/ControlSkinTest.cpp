// Control skins on real controls: which class skins which control, the hover
// and press state, opting out, raw windows that die or are subclassed over,
// and the face and caption painting the button skins share.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "ControlSkinTestSupport.h"
#include "controls/NUVSkinStdCtrl.h"
#include "controls/NUVSkinStdWnd.h"
#include "engine/NUVSkinEngine.h"
#include "frames/SkinWindow.h"
#include "framework/Buttons.h"
#include "framework/ExtCtrls.h"
#include "framework/Grids.h"
#include "framework/StdCtrls.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

using F = TnuvSkinControlStateFlag;

struct Record {
  int paints = 0, befores = 0;
};

class TProbeSkin : public TnuvSkinControlVCL {
  NUV_CLASS(TProbeSkin, TnuvSkinControlVCL)
  TProbeSkin(TControl* control, TnuvSkinWindow* skinWindow) : TnuvSkinControlVCL(control, skinWindow) {}
  bool BeforeWndProc(TMessage& message) override {
    ++rec.befores;
    return message.Msg != swallow && TnuvSkinControlVCL::BeforeWndProc(message);
  }
  void Paint() override { ++rec.paints; }
  Record rec;
  UINT swallow = 0;
};
class TButtonProbeSkin : public TProbeSkin {
  NUV_CLASS(TButtonProbeSkin, TProbeSkin)
  using TProbeSkin::TProbeSkin;
};
class TBitBtnProbeSkin : public TProbeSkin {
  NUV_CLASS(TBitBtnProbeSkin, TProbeSkin)
  using TProbeSkin::TProbeSkin;
};
class TPanelProbeSkin : public TProbeSkin {
  NUV_CLASS(TPanelProbeSkin, TProbeSkin)
  using TProbeSkin::TProbeSkin;
};

// A raw skin that paints a face with its window's caption when asked to.
class TWndProbeSkin : public TnuvSkinControlWnd {
  NUV_CLASS(TWndProbeSkin, TnuvSkinControlWnd)
  TWndProbeSkin(HWND wnd, TnuvSkinWindow* skinWindow) : TnuvSkinControlWnd(wnd, skinWindow) {}
  void Paint() override {
    ++rec.paints;
    if (!face) return;
    RECT r;
    GetControlRect(r);
    if (composed) {  // the caption into a copy of the face, then one copy to the window
      TBitmap buffer;
      buffer.Assign(face);
      DrawFaceText(buffer.Canvas(), WindowText(), false, r, font);
      CopyFaceToWindow(&buffer);
    } else if (wide) {
      PaintFaceTextW(face, false, r, font);
    } else {
      PaintFaceText(face, WindowText(), false, r, font);
    }
  }
  void SetState(TnuvSkinControlState state) { FState = state; }
  Record rec;
  TBitmap* face = nullptr;
  TFont* font = nullptr;
  bool wide = false, composed = false;
};
class TWndComboProbe : public TWndProbeSkin {
  NUV_CLASS(TWndComboProbe, TWndProbeSkin)
  using TWndProbeSkin::TWndProbeSkin;
};

// A windowed control of none of the registered classes.
class TPlainWindowed : public TWinControl {
  NUV_CLASS(TPlainWindowed, TWinControl)
  using TWinControl::TWinControl;
};

void RegisterProbeSkins() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterControlSkins({{&TCustomControl::StaticClass(), MakeControlSkin<TPanelProbeSkin>},
                        {&TButton::StaticClass(), MakeControlSkin<TButtonProbeSkin>}});
  // A later registration of a descendant takes precedence over its ancestor's.
  RegisterControlSkins({{&TBitBtn::StaticClass(), MakeControlSkin<TBitBtnProbeSkin>}});
  // The library's own button skins are in the table already, and the first
  // record of a key wins there.
  RegisterWndControlSkins({{"COMBOBOX", MakeWndControlSkin<TWndComboProbe>},
                           {"COMBOBOXEX32", MakeWndControlSkin<TWndComboProbe>},
                           {"STATIC", MakeWndControlSkin<TWndProbeSkin>}});
}

HWND RawChild(HWND parent, const wchar_t* cls, DWORD style, int top = 10, const wchar_t* text = L"Hg") {
  return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, top, 120, 40, parent, nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
}

LRESULT Query(HWND wnd) { return ::SendMessageW(wnd, WM_NUVSKIN_QUERY, 0, 0); }

std::string SkinName(const TnuvSkinControl* skin) { return skin ? skin->ClassName() : "none"; }

class ControlSkins : public ControlSkinFixture {
 protected:
  void SetUp() override {
    RegisterProbeSkins();
    ControlSkinFixture::SetUp();
  }
  template <class Skin = TProbeSkin>
  Skin* Attach(TControl* control) {
    return ControlSkinFixture::Attach<Skin>(control);
  }
  template <class Skin = TWndProbeSkin>
  Skin* AttachWnd(HWND wnd) {
    return ControlSkinFixture::AttachWnd<Skin>(wnd);
  }
};

}  // namespace

TEST_F(ControlSkins, FrameworkControlsGetTheLatestRegistrationOfTheirClassOrAncestor) {
  auto* panel = Place<TPanel>(form_, 10, 10, 200, 100);
  auto* button = Place<TButton>(form_, 10, 120);
  auto* bitBtn = Place<TBitBtn>(form_, 100, 120);
  auto* plain = Place<TPlainWindowed>(form_, 10, 160);
  auto* label = Place<TLabel>(form_, 10, 200);
  EXPECT_EQ(SkinName(Attach(panel)), "TPanelProbeSkin");
  EXPECT_EQ(SkinName(Attach(button)), "TButtonProbeSkin");
  EXPECT_EQ(SkinName(Attach(bitBtn)), "TBitBtnProbeSkin");
  EXPECT_EQ(SkinName(Attach(plain)), "none");
  EXPECT_EQ(SkinName(Attach(label)), "none");
  // Skinned controls say so; the unskinned one does not.
  EXPECT_EQ(Query(button->Handle()), 1);
  EXPECT_EQ(Query(bitBtn->Handle()), 1);
  EXPECT_EQ(Query(plain->Handle()), 0);
}

TEST_F(ControlSkins, RawWindowsAreSkinnedByClassAndButtonStyle) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_USEREX_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&icc);
  const HWND parent = dialog_->Handle();
  struct Case {
    const wchar_t* cls;
    DWORD style;
    const char* skin;
  } cases[] = {
      {L"Button", BS_GROUPBOX, "none"},
      {L"Button", BS_AUTORADIOBUTTON, "TnuvSkinWndRadioButton"},
      {L"Button", BS_RADIOBUTTON, "TnuvSkinWndRadioButton"},
      {L"Button", BS_CHECKBOX, "TnuvSkinWndCheckBox"},
      {L"Button", BS_AUTOCHECKBOX, "TnuvSkinWndCheckBox"},
      {L"Button", BS_AUTO3STATE, "TnuvSkinWndCheckBox"},
      {L"Button", BS_PUSHBUTTON, "TnuvSkinWndButton"},
      {L"Button", BS_DEFPUSHBUTTON, "TnuvSkinWndButton"},
      {L"ComboBox", CBS_SIMPLE, "none"},
      {L"ComboBox", CBS_DROPDOWNLIST, "TWndComboProbe"},
      {L"Edit", 0, "none"},
  };
  for (const Case& c : cases) {
    const HWND wnd = RawChild(parent, c.cls, c.style);
    ASSERT_TRUE(wnd);
    TnuvSkinControl* skin = AttachWnd<TnuvSkinControl>(wnd);
    EXPECT_EQ(SkinName(skin), c.skin) << WindowClassOf(wnd) << " style " << c.style;
    EXPECT_EQ(Query(wnd), skin ? 1 : 0) << WindowClassOf(wnd) << " style " << c.style;
  }

  // The extended combo box is skinned through its inner combo box.
  const HWND ex = RawChild(parent, WC_COMBOBOXEXW, CBS_DROPDOWN, 60);
  ASSERT_TRUE(ex);
  TnuvSkinControl* skin = AttachWnd<TnuvSkinControl>(ex);
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->GetHandle(), ::GetTopWindow(ex));
  EXPECT_NE(skin->GetHandle(), ex);

  // A progress bar gets no skin but tells the frame skin it is there.
  EXPECT_FALSE(frame_->FHasAnimationChild);
  EXPECT_EQ(AttachWnd<TnuvSkinControl>(RawChild(parent, PROGRESS_CLASSW, 0, 110)), nullptr);
  EXPECT_TRUE(frame_->FHasAnimationChild);
}

TEST_F(ControlSkins, HotAndDownFollowTheMouseAndTheKeys) {
  auto* panel = Place<TPanel>(form_, 10, 10, 200, 100);
  auto* button = Place<TButton>(panel, 10, 10);
  auto* panelSkin = Attach(panel);
  auto* skin = Attach(button);
  ASSERT_TRUE(panelSkin && skin);
  const HWND wnd = button->Handle();
  using S = TnuvSkinControlState;

  button->Perform(CM_MOUSEENTER);
  EXPECT_EQ(skin->State(), S{F::Hot});
  // The panel only heard that its child was entered.
  EXPECT_EQ(panelSkin->State(), S{});
  ::SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(skin->State(), (S{F::Hot, F::Down}));
  // Dragged out with the button held: the face goes back to normal.
  button->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(skin->State(), S{});
  ::SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
  EXPECT_EQ(skin->State(), S{});

  for (WORD key : {WORD{VK_SPACE}, WORD{VK_RETURN}}) {
    ::SendMessageW(wnd, WM_KEYDOWN, key, 0);
    EXPECT_TRUE(skin->State().Contains(F::Down)) << key;
    ::SendMessageW(wnd, WM_KEYUP, key, 0);
    EXPECT_FALSE(skin->State().Contains(F::Down)) << key;
  }
  const int paints = skin->rec.paints;
  ::SendMessageW(wnd, WM_KEYDOWN, 'A', 0);
  EXPECT_FALSE(skin->State().Contains(F::Down));
  EXPECT_EQ(skin->rec.paints, paints + 1);  // other keys only repaint
  ::SendMessageW(wnd, WM_KEYUP, 'A', 0);
  ::SendMessageW(wnd, WM_NUVSKIN_REPAINT, 0, 0);
  EXPECT_EQ(skin->rec.paints, paints + 3);
}

TEST_F(ControlSkins, OptedOutReleasedAndInactiveSkinsLeaveMessagesAlone) {
  auto* button = Place<TButton>(form_, 10, 10);
  auto* skin = Attach(button);
  ASSERT_NE(skin, nullptr);
  const HWND wnd = button->Handle();
  const HWND raw = RawChild(dialog_->Handle(), L"Button", BS_PUSHBUTTON);
  ASSERT_NE(AttachWnd<TnuvSkinControl>(raw), nullptr);
  EXPECT_EQ(Query(wnd), 1);

  // Tag equal to DisabledTag, also when both are 0 (the common Tag).
  for (int tag : {9999, 0}) {
    engine_->SetDisabledTag(tag);
    button->SetTag(tag);
    const Record before = skin->rec;
    EXPECT_EQ(Query(wnd), 0) << tag;
    ::SendMessageW(wnd, WM_NUVSKIN_REPAINT, 0, 0);
    EXPECT_EQ(skin->rec.befores, before.befores) << tag;
    EXPECT_EQ(skin->rec.paints, before.paints) << tag;
  }
  engine_->SetDisabledTag(9999);
  EXPECT_EQ(Query(wnd), 1);

  // Switched off and on again: nothing needs attaching anew.
  engine_->SetActive(false);
  EXPECT_EQ(Query(wnd), 0);
  EXPECT_EQ(Query(raw), 0);
  engine_->SetActive(true);
  EXPECT_EQ(Query(wnd), 1);
  EXPECT_EQ(Query(raw), 1);

  // Released: the skin no longer reacts, and once unhooked sees nothing.
  skin->DoneSkin();
  EXPECT_EQ(Query(wnd), 0);
  skin->RestoreWindowProc();
  const int befores = skin->rec.befores;
  Query(wnd);
  EXPECT_EQ(skin->rec.befores, befores);
}

TEST_F(ControlSkins, RawSkinLetsGoOfAWindowThatDiedFirst) {
  TestWindow::Options options;
  options.bounds = RECT{200, 200, 400, 300};
  auto dialog = std::make_unique<TestWindow>(options);
  const HWND button = RawChild(dialog->Handle(), L"Button", BS_PUSHBUTTON);
  auto* skin = AttachWnd<TnuvSkinControl>(button);
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->GetHandle(), button);

  dialog.reset();  // the dialog and its button go before the frame skin frees its skins
  EXPECT_FALSE(::IsWindow(button));
  EXPECT_EQ(skin->GetHandle(), nullptr);
  EXPECT_FALSE(skin->GetEnabled());
  TBitmap face(20, 20);
  skin->DrawBitmapAt(&face, POINT{0, 0});  // no window: nothing is drawn, not even on the screen
  Release(skin);
}

TEST_F(ControlSkins, DraggedThumbOfAGridFollowsTheCursorWithinItsBar) {
  auto* grid = Place<TStringGrid>(form_, 10, 10, 200, 150);
  grid->SetRowCount(100);
  auto* skin = Attach(grid);
  ASSERT_NE(skin, nullptr);
  skin->swallow = WM_NCLBUTTONDOWN;  // the system's own thumb drag would wait for a real button-up
  const HWND wnd = grid->Handle();
  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(::GetScrollBarInfo(wnd, OBJID_VSCROLL, &info));
  const int barHeight = info.rcScrollBar.bottom - info.rcScrollBar.top;
  const int arrow = ::GetSystemMetrics(SM_CXVSCROLL);
  const POINT press{info.rcScrollBar.left + 4, info.rcScrollBar.top + arrow + 4};
  ASSERT_TRUE(MoveCursorTo(press));
  ::SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(press.x, press.y));
  const TnuvScrollThumbTrack& track = VertScrollThumbTrack();
  EXPECT_EQ(track.downCursor.y, press.y);

  auto dragTo = [&](int y) {
    MoveCursorTo(POINT{press.x, y});
    ::SendMessageW(wnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
  };
  dragTo(press.y + 10);
  EXPECT_TRUE(track.tracking);
  EXPECT_EQ(track.thumbStart, info.xyThumbTop + 10);
  EXPECT_EQ(track.thumbEnd - track.thumbStart, info.xyThumbBottom - info.xyThumbTop);
  POINT barTop{info.rcScrollBar.left, info.rcScrollBar.top};
  ::ScreenToClient(form_->Handle(), &barTop);
  EXPECT_EQ(track.barRect.left, barTop.x);
  EXPECT_EQ(track.barRect.top, barTop.y);
  // Past either end the thumb stops at the arrow button.
  dragTo(press.y + 2 * barHeight);
  EXPECT_EQ(track.thumbEnd, barHeight - arrow);
  dragTo(0);
  EXPECT_EQ(track.thumbStart, arrow);

  ::SendMessageW(wnd, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
  EXPECT_FALSE(track.tracking);
  ASSERT_TRUE(::GetScrollBarInfo(wnd, OBJID_VSCROLL, &info));
  EXPECT_EQ(track.thumbStart, info.xyThumbTop);
}

namespace {

WNDPROC gForeignPrevious = nullptr;
int gForeignCalls = 0;

// Other code that subclasses the old way, on top of the skin.
LRESULT CALLBACK ForeignProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_NUVSKIN_QUERY) ++gForeignCalls;
  return ::CallWindowProcW(gForeignPrevious, wnd, msg, wp, lp);
}

}  // namespace

TEST_F(ControlSkins, RawSkinRemovedUnderAnotherSubclasserDoesNotCutItOff) {
  const HWND button = RawChild(dialog_->Handle(), L"Button", BS_PUSHBUTTON, 10, L"Keep");
  auto* skin = AttachWnd<TnuvSkinControl>(button);
  ASSERT_NE(skin, nullptr);
  gForeignCalls = 0;
  gForeignPrevious = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
  EXPECT_EQ(Query(button), 1);
  Release(skin);

  EXPECT_EQ(::GetWindowLongPtrW(button, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ForeignProc));
  EXPECT_EQ(Query(button), 0);  // the skin is gone, the foreign procedure still runs
  EXPECT_EQ(gForeignCalls, 2);
  wchar_t text[16] = {};
  ::GetWindowTextW(button, text, 16);
  EXPECT_STREQ(text, L"Keep");
  // The other code unsubclasses in turn; the button still works.
  ::SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gForeignPrevious));
  EXPECT_EQ(Query(button), 0);
  ::GetWindowTextW(button, text, 16);
  EXPECT_STREQ(text, L"Keep");
}

namespace {

bool Contains(const Image& image, Pixel p) { return image.Count(0, 0, image.Width(), image.Height(), p) > 0; }

}  // namespace

TEST_F(ControlSkins, FaceTextIsCentredOnTheFaceAndPressedByOnePixel) {
  const HWND wnd = RawChild(dialog_->Handle(), L"Static", SS_LEFT, 10, L"Hg");
  auto* skin = AttachWnd(wnd);
  ASSERT_NE(skin, nullptr);
  constexpr Pixel kBlue = Rgb(0, 0, 255), kWhite = Rgb(255, 255, 255), kGrey = Rgb(128, 128, 128);
  TBitmap face(120, 40);
  face.Canvas()->Brush()->SetColor(static_cast<TColor>(kBlue));
  face.Canvas()->FillRect(RECT{0, 0, 120, 40});
  OwnedObject<TFont> font(Create<TFont>());
  font->SetColor(clWhite);
  font->SetSize(14);
  font->SetStyle(TFontStyles{fsBold});
  skin->face = &face;
  skin->font = font.get();
  auto paint = [&] {
    ::InvalidateRect(wnd, nullptr, TRUE);
    ::UpdateWindow(wnd);  // the static paints itself, then the skin paints over it
    return CaptureWindow(wnd);
  };

  const Image normal = paint();
  ASSERT_EQ(normal.Width(), 120);
  EXPECT_EQ(normal.At(0, 0), kBlue);
  EXPECT_EQ(normal.At(119, 39), kBlue);
  EXPECT_TRUE(Contains(normal, kWhite));
  const Box ink = InkBox(normal, kBlue);
  ASSERT_FALSE(ink.Empty());
  EXPECT_NEAR(ink.left + ink.right, 120, 3);  // centred across
  EXPECT_NEAR(ink.top + ink.bottom, 40, 8);   // and in the line's cell

  // The wide caption comes out the same.
  skin->wide = true;
  const Image wide = paint();
  const Box wideInk = InkBox(wide, kBlue);
  EXPECT_EQ(wideInk.left, ink.left);
  EXPECT_EQ(wideInk.top, ink.top);
  EXPECT_EQ(wideInk.right, ink.right);
  skin->wide = false;
  // Composed off screen first, it is the same to the pixel.
  skin->composed = true;
  EXPECT_TRUE(DifferenceBox(normal, paint()).Empty());
  skin->composed = false;

  skin->SetState(TnuvSkinControlState{F::Down});
  const Box pressed = InkBox(paint(), kBlue);
  EXPECT_EQ(pressed.left, ink.left + 1);
  EXPECT_EQ(pressed.top, ink.top + 1);
  EXPECT_EQ(pressed.right, ink.right + 1);
  EXPECT_EQ(pressed.bottom, ink.bottom + 1);
  skin->SetState({});

  ::EnableWindow(wnd, FALSE);
  const Image disabled = paint();
  EXPECT_TRUE(Contains(disabled, kGrey));
  EXPECT_FALSE(Contains(disabled, kWhite));
}
