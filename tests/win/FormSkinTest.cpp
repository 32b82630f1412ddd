// Skinned forms: what the form binding does to a form's size, menu, colour
// and controls when skinning starts, and that it gives all of it back when
// skinning stops; forms that opt out; forms and controls that go while
// skinned; shortcuts of a menu the form no longer shows.
#include <gtest/gtest.h>

#include <memory>

#include "FrameTestSupport.h"
#include "MenuInputSupport.h"
#include "controls/SkinControl.h"
#include "frames/MenuBar.h"
#include "frames/SkinWindowVCL.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

struct FormFree {
  void operator()(TForm* form) const { TObject::Free(form); }
};
using FormPtr = std::unique_ptr<TForm, FormFree>;

TnuvSkinWindowVCL* FrameOf(TnuvSkinEngine* engine, TCustomForm* form) {
  return dynamic_cast<TnuvSkinWindowVCL*>(engine->FindFrameSkin(form->Handle()));
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const wchar_t* caption) {
  auto* item = Create<TMenuItem>(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

// A main menu with File (Open, Exit) and Edit (Copy) owned by the form.
TMainMenu* AddMainMenu(TForm* form) {
  auto* menu = Create<TMainMenu>(form);
  TMenuItem* file = AddItem(form, menu->Items(), L"&File");
  AddItem(form, file, L"&Open");
  AddItem(form, file, L"E&xit");
  TMenuItem* edit = AddItem(form, menu->Items(), L"&Edit");
  AddItem(form, edit, L"&Copy");
  form->SetMenu(menu);
  return menu;
}

TPanel* AddPanel(TForm* form, int left, int top, int width, int height, TAnchors anchors) {
  auto* panel = Create<TPanel>(form);
  panel->SetBounds(left, top, width, height);
  panel->SetAnchors(anchors);
  panel->SetParent(form);
  return panel;
}

class FormSkins : public ::testing::Test {
 protected:
  // A form on screen that the engine has not seen yet.
  FormPtr UnskinnedForm(int width = 420, int height = 320) {
    engine_->SetActive(false);
    FormPtr form(Create<TForm>(nullptr));
    form->SetBounds(120, 110, width, height);
    return form;
  }
  // Shows the form (the engine off, so that the hook leaves it), then skins
  // it the way the engine skins a form.
  TnuvSkinWindowVCL* ShowAndSkin(TForm* form) {
    form->Show();
    ::SetForegroundWindow(form->Handle());
    AppPump(50);
    before_ = ClientSizeOf(form->Handle());
    engine_->SetActive(true);
    engine_->SkinForm(form);
    AppPump(50);
    return FrameOf(engine_, form);
  }

  EngineFixture fixture_;
  TnuvSkinEngine* engine_ = fixture_.engine;
  SIZE before_{};
};

TEST_F(FormSkins, AFormWithoutAMenuKeepsItsControlsAndGrowsOnlyByItsBorders) {
  FormPtr form = UnskinnedForm();
  TPanel* panel = AddPanel(form.get(), 10, 12, 100, 40, TAnchors{akLeft, akTop});
  TnuvSkinWindowVCL* frame = ShowAndSkin(form.get());
  ASSERT_NE(frame, nullptr);
  HWND wnd = form->Handle();
  EXPECT_TRUE(IsSkinned(wnd));
  EXPECT_FALSE(frame->MenuBar()->Visible());
  EXPECT_EQ(frame->GetMenuBarHeight(), 0);
  EXPECT_EQ(panel->Top(), 12) << "no menu bar: nothing moves down";
  const SIZE skinned = ClientSizeOf(wnd);
  EXPECT_EQ(skinned.cx, before_.cx + 2 * std::max(4, frame->FLeftBorder) - 8);
  EXPECT_EQ(skinned.cy, before_.cy + 2 * std::max(4, frame->FBottomBorder) - 8);
  EXPECT_EQ(::GetWindowLongPtrW(wnd, GWL_STYLE) & WS_SYSMENU, 0) << "the skin draws the system menu's buttons";
  EXPECT_EQ(form->Color(), engine_->FFormColor);

  engine_->SetActive(false);
  AppPump(50);
  EXPECT_FALSE(IsSkinned(wnd));
  EXPECT_EQ(ClientSizeOf(wnd).cx, before_.cx);
  EXPECT_EQ(ClientSizeOf(wnd).cy, before_.cy);
  EXPECT_NE(::GetWindowLongPtrW(wnd, GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_EQ(form->Color(), clBtnFace);
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(::GetWindowRgn(wnd, region), ERROR) << "the window's own shape is back";
  ::DeleteObject(region);
}

// The menu moves onto the skinned bar: the controls go down by the bar's
// height as the Part's anchor rule says, and come back exactly, also after
// the user resized the skinned form.
TEST_F(FormSkins, AMenuBarPushesTheControlsDownAndEverythingComesBackExactly) {
  FormPtr form = UnskinnedForm();
  TMainMenu* menu = AddMainMenu(form.get());
  form->Show();
  AppPump(30);
  const int clientHeight = form->ClientHeight();
  TPanel* top = AddPanel(form.get(), 10, 10, 100, 20, TAnchors{akLeft, akTop});
  TPanel* stretched = AddPanel(form.get(), 10, 40, 100, 100, TAnchors{akLeft, akTop, akBottom});
  TPanel* bottom = AddPanel(form.get(), 10, clientHeight - 40, 100, 20, TAnchors{akLeft, akBottom});
  const RECT topBounds = top->BoundsRect(), stretchedBounds = stretched->BoundsRect(), bottomBounds = bottom->BoundsRect();
  TnuvSkinWindowVCL* frame = ShowAndSkin(form.get());
  ASSERT_NE(frame, nullptr);
  HWND wnd = form->Handle();

  EXPECT_EQ(form->Menu(), nullptr) << "the platform's menu bar is gone";
  EXPECT_EQ(::GetMenu(wnd), nullptr);
  ASSERT_TRUE(frame->MenuBar()->Visible());
  const int bar = frame->GetMenuBarHeight();
  ASSERT_GT(bar, 0);
  ASSERT_EQ(frame->MenuBar()->ButtonCount(), 2);
  EXPECT_EQ(frame->MenuBar()->Buttons(0)->Caption(), L"&File");
  EXPECT_EQ(frame->MenuBar()->Top(), 0);
  const int grow = 2 * std::max(4, frame->FBottomBorder) - 8;
  EXPECT_EQ(ClientSizeOf(wnd).cy, before_.cy + bar + grow) << "the client area takes the bar in";
  EXPECT_EQ(top->Top(), topBounds.top + bar);
  EXPECT_EQ(stretched->Top(), stretchedBounds.top + bar);
  EXPECT_EQ(stretched->Height(), 100 + grow) << "top and bottom anchors: moved down, same height";
  EXPECT_EQ(form->ClientHeight() - bottom->Top(), clientHeight - bottomBounds.top)
      << "bottom anchor only: stays at the bottom";
  EXPECT_TRUE(menu->OwnerDraw()) << "the form's menus are drawn by the skin";

  auto expectBack = [&](int dw, int dh, const char* when) {
    SCOPED_TRACE(when);
    EXPECT_FALSE(IsSkinned(wnd));
    EXPECT_EQ(form->Menu(), menu);
    EXPECT_EQ(::GetMenu(wnd), menu->Handle());
    EXPECT_FALSE(frame->MenuBar()->Visible());
    EXPECT_FALSE(menu->OwnerDraw());
    EXPECT_EQ(ClientSizeOf(wnd).cx, before_.cx + dw);
    EXPECT_EQ(ClientSizeOf(wnd).cy, before_.cy + dh);
    EXPECT_EQ(top->Top(), topBounds.top);
    EXPECT_EQ(stretched->Top(), stretchedBounds.top);
    EXPECT_EQ(stretched->Height(), 100 + dh);
    EXPECT_EQ(bottom->Top(), bottomBounds.top + dh);
  };
  engine_->SetActive(false);
  AppPump(30);
  expectBack(0, 0, "first switch off");
  engine_->SetActive(true);
  AppPump(30);
  EXPECT_EQ(top->Top(), topBounds.top + bar) << "moved once, not twice";
  // The user makes the skinned form larger; switched off, it keeps that.
  form->SetBounds(form->Left(), form->Top(), form->Width() + 40, form->Height() + 30);
  AppPump(30);
  engine_->SetActive(false);
  AppPump(30);
  expectBack(40, 30, "after a resize");
  engine_->SetActive(true);
  engine_->SetActive(false);
  AppPump(30);
  expectBack(40, 30, "switched on and off again");
}

// A control named "TnuvForm" marks a form the application skins itself.
class TnuvForm : public TPanel {
  NUV_CLASS(TnuvForm, TPanel)
  using TPanel::TPanel;
};

TEST_F(FormSkins, FormsThatOptOutKeepTheirOwnFrameMenuAndSize) {
  struct Case {
    const char* name;
    std::function<void(TForm*)> setup;
    int disabledTag;
  };
  const Case cases[] = {
      {"Tag equals DisabledTag", [](TForm* f) { f->SetTag(9999); }, 9999},
      {"holds a TnuvForm", [](TForm* f) { Create<TnuvForm>(f)->SetParent(f); }, 9999},
      {"DisabledTag 0 and Tag 0", [](TForm*) {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine_->SetDisabledTag(c.disabledTag);
    FormPtr form = UnskinnedForm();
    TMainMenu* menu = AddMainMenu(form.get());
    c.setup(form.get());
    ShowAndSkin(form.get());
    HWND wnd = form->Handle();
    EXPECT_FALSE(IsSkinned(wnd)) << "every message passes: the form answers like an unskinned one";
    EXPECT_EQ(form->Menu(), menu);
    EXPECT_EQ(ClientSizeOf(wnd).cy, before_.cy);
    EXPECT_NE(::GetWindowLongPtrW(wnd, GWL_STYLE) & WS_SYSMENU, 0);
  }
  engine_->SetDisabledTag(9999);
}

TEST_F(FormSkins, AnEmbeddedFormWithANameTakesTheSkinsFormColour) {
  FormPtr form = UnskinnedForm();
  auto* named = Create<TForm>(form.get());
  named->SetName("Embedded");
  named->SetParent(form.get());
  named->SetBounds(0, 0, 100, 80);
  named->SetColor(clWhite);
  auto* unnamed = Create<TForm>(form.get());
  unnamed->SetParent(form.get());
  unnamed->SetColor(clWhite);
  ShowAndSkin(form.get());
  EXPECT_EQ(named->Color(), engine_->FFormColor);
  EXPECT_EQ(unnamed->Color(), clWhite);
}

// The engine lets go of the other forms: each gets back what it had, its
// menu among it, and is skinned again when all forms are.
TEST_F(FormSkins, SkinAllFormsOffGivesOtherFormsTheirMenuBackAndOnSkinsThemAgain) {
  FormPtr form = UnskinnedForm();
  TMainMenu* menu = AddMainMenu(form.get());
  TPanel* panel = AddPanel(form.get(), 10, 10, 60, 20, TAnchors{akLeft, akTop});
  ShowAndSkin(form.get());
  HWND wnd = form->Handle();
  ASSERT_TRUE(IsSkinned(wnd));
  ASSERT_TRUE(IsSkinned(fixture_.owner->Handle()));

  engine_->SetSkinAllForms(false);
  AppPump(30);
  EXPECT_EQ(engine_->FindFrameSkin(wnd), nullptr);
  EXPECT_NE(engine_->FindFrameSkin(fixture_.owner->Handle()), nullptr) << "the engine's own form stays skinned";
  EXPECT_FALSE(IsSkinned(wnd));
  EXPECT_EQ(form->Menu(), menu);
  EXPECT_EQ(::GetMenu(wnd), menu->Handle());
  EXPECT_EQ(panel->Top(), 10);
  EXPECT_EQ(ClientSizeOf(wnd).cy, before_.cy);
  EXPECT_EQ(form->Color(), clBtnFace);
  EXPECT_NE(::GetWindowLongPtrW(wnd, GWL_STYLE) & WS_SYSMENU, 0);
  for (int i = 0; i < form->ControlCount(); ++i)
    EXPECT_FALSE(form->Controls(i)->Is<TnuvSkinMenuBar>()) << "no menu bar is left on the form";

  engine_->SetSkinAllForms(true);
  AppPump(30);
  EXPECT_TRUE(IsSkinned(wnd));
  EXPECT_EQ(form->Menu(), nullptr);
  EXPECT_GT(panel->Top(), 10);
}

// Forms that go while skinned: freed by the program, released from their
// own click, and a form whose engine goes first.
TEST_F(FormSkins, FormsFreedWhileSkinnedLeaveTheEngineAndTheEngineCanGoFirst) {
  const int ownerForm = engine_->FrameSkinCount();
  FormPtr freed = UnskinnedForm();
  AddMainMenu(freed.get());
  ShowAndSkin(freed.get());
  ASSERT_EQ(engine_->FrameSkinCount(), ownerForm + 1);
  freed.reset();
  EXPECT_EQ(engine_->FrameSkinCount(), ownerForm);

  FormPtr released = UnskinnedForm();
  auto* button = Create<TButton>(released.get());
  button->SetParent(released.get());
  TForm* raw = released.get();
  button->OnClick = [raw](TObject*) { raw->Release(); };
  ShowAndSkin(released.get());
  ASSERT_TRUE(IsSkinned(raw->Handle()));
  released.release();  // it frees itself
  button->Click();
  AppPump(50);
  EXPECT_EQ(engine_->FrameSkinCount(), ownerForm);

  FormPtr survivor = UnskinnedForm();
  TMainMenu* menu = AddMainMenu(survivor.get());
  ShowAndSkin(survivor.get());
  HWND wnd = survivor->Handle();
  TObject::Free(fixture_.owner);
  fixture_.owner = nullptr;
  AppPump(30);
  EXPECT_FALSE(IsSkinned(wnd));
  EXPECT_EQ(survivor->Menu(), menu) << "the engine went: the form is its own again";
  EXPECT_EQ(ClientSizeOf(wnd).cy, before_.cy);
}

// A skin that counts what its frame skin asks of it.
class TCountingSkin : public TnuvSkinControlVCL {
  NUV_CLASS(TCountingSkin, TnuvSkinControlVCL)
  TCountingSkin(TControl* control, TnuvSkinWindow* skinWindow) : TnuvSkinControlVCL(control, skinWindow) {}
  void SkinChanged() override { ++changes; }
  int changes = 0;
};
class TCountedPanel : public TPanel {
  NUV_CLASS(TCountedPanel, TPanel)
  using TPanel::TPanel;
};

TEST_F(FormSkins, AControlFreedWhileItsFormLivesIsNeverTouchedByItsSkinAgain) {
  static const bool registered = [] {
    RegisterControlSkins({{&TCountedPanel::StaticClass(), MakeControlSkin<TCountingSkin>}});
    return true;
  }();
  (void)registered;
  FormPtr form = UnskinnedForm();
  auto* kept = Create<TCountedPanel>(form.get());
  kept->SetParent(form.get());
  auto* doomed = Create<TCountedPanel>(form.get());
  doomed->SetParent(form.get());
  TnuvSkinWindowVCL* frame = ShowAndSkin(form.get());
  ASSERT_EQ(frame->FControlSkins.size(), 2u);
  auto* keptSkin = dynamic_cast<TCountingSkin*>(frame->FControlSkins[0]);
  auto* doomedSkin = dynamic_cast<TCountingSkin*>(frame->FControlSkins[1]);
  ASSERT_TRUE(keptSkin && doomedSkin);
  TObject::Free(doomed);
  EXPECT_EQ(doomedSkin->Control(), nullptr);
  const int keptChanges = keptSkin->changes, doomedChanges = doomedSkin->changes;
  // A new control may be made where the freed one was: it is no one's.
  auto* newcomer = Create<TCountedPanel>(form.get());
  newcomer->SetParent(form.get());
  engine_->SetActive(false);
  engine_->SetActive(true);
  EXPECT_EQ(doomedSkin->changes, doomedChanges);
  EXPECT_GT(keptSkin->changes, keptChanges);
  EXPECT_EQ(frame->FControlSkins.size(), 2u) << "controls made later are not walked";
  EXPECT_EQ(::SendMessageW(newcomer->Handle(), WM_NUVSKIN_QUERY, 0, 0), 0);
}

// Ctrl+K sent as real keys while the form shows no menu of its own.
TEST_F(FormSkins, AShortcutOfTheMainMenuWorksWhileTheFormShowsTheSkinnedBar) {
  FormPtr form = UnskinnedForm();
  TMainMenu* menu = AddMainMenu(form.get());
  int clicks = 0;
  TMenuItem* item = menu->Items()->Items(0)->Items(0);
  item->SetShortCut(ShortCut('K', {ssCtrl}));
  item->OnClick = [&](TObject*) { ++clicks; };
  auto* edit = Create<TEdit>(form.get());
  edit->SetParent(form.get());
  ShowAndSkin(form.get());
  ASSERT_EQ(form->Menu(), nullptr);
  ::SetForegroundWindow(form->Handle());
  edit->SetFocus();
  AppPump(50);
  SendChord(VK_CONTROL, 'K');
  EXPECT_TRUE(AppPumpUntil([&] { return clicks > 0; }, 1000));
  AppPump(50);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(edit->Text(), L"") << "the key ran the item and went no further";
}

}  // namespace
