// Skinned MDI frames and children: the children's menus merged into the
// frame's bar, cascading and tiling by the numbers, the child buttons of a
// maximized child, the window list, and the active child's shortcuts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "MenuInputSupport.h"
#include "frames/MenuBar.h"
#include "frames/SkinWindowVCL.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const wchar_t* caption, int group = 0) {
  auto* item = Create<TMenuItem>(owner);
  item->SetCaption(caption);
  item->SetGroupIndex(static_cast<std::uint8_t>(group));
  parent->Add(item);
  return item;
}

std::vector<std::wstring> Captions(TToolBar* bar) {
  std::vector<std::wstring> captions;
  for (int i = 0; i < bar->ButtonCount(); ++i) captions.push_back(bar->Buttons(i)->Caption());
  return captions;
}

class Mdi : public ::testing::Test {
 protected:
  // An MDI frame with File (group 0), Edit (1) and Window (9), the
  // application's main form while the test runs, skinned on activation.
  void SetUp() override {
    frame_ = Create<TForm>(nullptr);
    frame_->SetBounds(60, 40, 700, 520);
    frame_->SetFormStyle(fsMDIForm);
    if (withMenu_) {
      auto* menu = Create<TMainMenu>(frame_);
      AddItem(frame_, AddItem(frame_, menu->Items(), L"&File", 0), L"&New");
      AddItem(frame_, AddItem(frame_, menu->Items(), L"&Edit", 1), L"&Undo");
      window_ = AddItem(frame_, menu->Items(), L"&Window", 9);
      AddItem(frame_, window_, L"&Cascade");
      frame_->SetMenu(menu);
      frame_->SetWindowMenu(window_);
    }
    savedMain_ = Application->MainForm();
    Application->SetMainForm(frame_);
    ASSERT_TRUE(BringToFront(frame_));
    AppPump(50);
    frameSkin_ = dynamic_cast<TnuvSkinWindowVCL*>(engine_->FindFrameSkin(frame_->Handle()));
    ASSERT_NE(frameSkin_, nullptr);
  }
  void TearDown() override {
    while (frame_ && frame_->MDIChildCount() > 0) TObject::Free(frame_->MDIChildren(0));
    TObject::Free(frame_);
    Application->SetMainForm(savedMain_);
    AppPump(20);
  }
  // A child with Edit2 (group 1) and Tools (group 2), skinned as its frame is.
  TForm* NewChild(const std::wstring& caption, bool menu = true) {
    auto* child = Create<TForm>(nullptr);
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(caption);
    child->SetBounds(0, 0, 300, 200);
    if (menu) {
      auto* m = Create<TMainMenu>(child);
      AddItem(child, AddItem(child, m->Items(), L"Edit&2", 1), L"&Redo");
      tools_ = AddItem(child, m->Items(), L"&Tools", 2);
      AddItem(child, tools_, L"&Options");
      child->SetMenu(m);
    }
    child->Show();
    AppPumpUntil([&] { return IsSkinned(child->Handle()); }, 1000);
    AppPump(50);
    return child;
  }
  TnuvSkinMenuBar* Bar() const { return frameSkin_->MenuBar(); }

  bool withMenu_ = true;
  EngineFixture fixture_;
  TnuvSkinEngine* engine_ = fixture_.engine;
  TForm* frame_ = nullptr;
  TMenuItem* window_ = nullptr;
  TMenuItem* tools_ = nullptr;
  TCustomForm* savedMain_ = nullptr;
  TnuvSkinWindowVCL* frameSkin_ = nullptr;
};

TEST_F(Mdi, ChildrenAreSkinnedAndTheirMenuMergesIntoTheFramesBarByGroup) {
  ASSERT_EQ(Captions(Bar()), (std::vector<std::wstring>{L"&File", L"&Edit", L"&Window"}));
  TForm* child = NewChild(L"Document 1");
  EXPECT_TRUE(IsSkinned(child->Handle())) << "a child of a skinned frame is skinned";
  EXPECT_EQ(child->Menu(), nullptr);
  EXPECT_EQ(Captions(Bar()), (std::vector<std::wstring>{L"&File", L"Edit&2", L"&Tools", L"&Window"}));
  auto* childSkin = dynamic_cast<TnuvSkinWindowVCL*>(engine_->FindFrameSkin(child->Handle()));
  ASSERT_NE(childSkin, nullptr);
  EXPECT_FALSE(childSkin->MenuBar()->Visible()) << "a child shows its menu on the frame's bar only";

  // A child menu whose first group is 0 goes before everything.
  auto* early = Create<TMainMenu>(frame_);
  AddItem(frame_, early->Items(), L"&Zero", 0);
  AddItem(frame_, early->Items(), L"&Five", 5);
  std::vector<TMenuItem*> items;
  bool images = true;
  frameSkin_->CollectBarItems(items, early, images);
  std::vector<std::wstring> merged;
  for (TMenuItem* item : items) merged.push_back(item->Caption());
  EXPECT_EQ(merged, (std::vector<std::wstring>{L"&Zero", L"&Five", L"&Edit", L"&Window"}));
  EXPECT_FALSE(images);

  TObject::Free(child);
  AppPump(50);
  EXPECT_EQ(Captions(Bar()), (std::vector<std::wstring>{L"&File", L"&Edit", L"&Window"}))
      << "the last child went: the frame's own menu again";
}

TEST_F(Mdi, CascadeAndTileLayTheChildrenOutByTheNumbers) {
  TForm* children[3] = {NewChild(L"One", false), NewChild(L"Two", false), NewChild(L"Three", false)};
  ASSERT_EQ(frame_->MDIChildCount(), 3);
  frame_->Cascade();
  AppPump(50);
  const int width = static_cast<int>(frame_->ClientWidth() * 0.8);
  const int height = static_cast<int>(frame_->ClientHeight() * 0.6);
  for (int i = 0; i < 3; ++i) {
    TCustomForm* child = frame_->MDIChildren(2 - i);
    const int at = 22 * i;
    EXPECT_EQ(child->Left(), at) << i;
    EXPECT_EQ(child->Top(), at) << i;
    EXPECT_EQ(child->Width(), width) << i;
    EXPECT_EQ(child->Height(), height) << i;
  }
  (void)children;
}

class MdiWithoutMenu : public Mdi {
 protected:
  MdiWithoutMenu() { withMenu_ = false; }
};

TEST_F(MdiWithoutMenu, TilingOneChildSideBySideFillsTheClientLessTheMargins) {
  frame_->SetClientWidth(800);
  frame_->SetClientHeight(600);
  AppPump(30);
  ASSERT_EQ(frame_->ClientWidth(), 800);
  ASSERT_EQ(frame_->ClientHeight(), 600);
  TForm* child = NewChild(L"Only", false);
  frame_->Tile();  // side by side
  AppPump(50);
  EXPECT_EQ(child->Left(), 0);
  EXPECT_EQ(child->Top(), 0);
  EXPECT_EQ(child->Width(), 796);
  EXPECT_EQ(child->Height(), 596);
}

TEST_F(Mdi, AMaximizedChildsButtonsActOnItAndGoWithTheLastChild) {
  TForm* first = NewChild(L"First");
  TForm* second = NewChild(L"Second");
  auto visible = [&] {
    std::vector<bool> v;
    for (int i = 1; i <= 3; ++i) v.push_back(frameSkin_->MDIButton(i)->Visible());
    return v;
  };
  EXPECT_EQ(visible(), (std::vector<bool>{false, false, false}));
  second->SetWindowState(wsMaximized);
  AppPump(100);
  ASSERT_EQ(frame_->ActiveMDIChild(), second);
  EXPECT_EQ(visible(), (std::vector<bool>{true, true, true})) << "close, restore, minimize";
  const Image row = CaptureControl(frameSkin_->MDIButton(1));
  SaveScreenshot(CaptureWindow(frame_->Handle()), L"mdi-maximized-child");
  EXPECT_GT(row.Count(0, 0, row.Width(), row.Height(), Rgb(0, 0, 0)), 10) << "the close glyph";
  const RECT close = frameSkin_->MDIButton(1)->BoundsRect();
  EXPECT_LE(close.bottom, frameSkin_->GetMenuBarHeight()) << "in the menu bar's row";
  EXPECT_GT(close.left, Bar()->Buttons(Bar()->ButtonCount() - 1)->BoundsRect().right);

  frameSkin_->MDIButton(2)->Click();  // restore
  AppPump(100);
  EXPECT_FALSE(::IsZoomed(second->Handle()));
  EXPECT_EQ(visible(), (std::vector<bool>{false, false, false}));

  second->SetWindowState(wsMaximized);
  AppPump(100);
  frameSkin_->MDIButton(3)->Click();  // minimize
  AppPump(100);
  EXPECT_TRUE(::IsIconic(second->Handle()));

  first->SetWindowState(wsMaximized);
  AppPump(100);
  ASSERT_EQ(frame_->ActiveMDIChild(), first);
  ASSERT_TRUE(frameSkin_->MDIButton(1)->Visible());
  first->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  frameSkin_->MDIButton(1)->Click();  // close
  AppPumpUntil([&] { return frame_->MDIChildCount() == 1; }, 1000);
  EXPECT_EQ(frame_->MDIChildCount(), 1);

  TObject::Free(second);
  AppPump(50);
  EXPECT_EQ(visible(), (std::vector<bool>{false, false, false})) << "the last child went";
}

TEST_F(Mdi, TheWindowListFollowsTheChildren) {
  auto listed = [&] {
    std::vector<std::wstring> names;
    for (int i = 0; i < window_->Count(); ++i) {
      TMenuItem* item = window_->Items(i);
      if (item->Tag() != 0) names.push_back(item->Caption() + (item->Checked() ? L"*" : L""));
    }
    return names;
  };
  NewChild(L"Alpha", false);
  TForm* beta = NewChild(L"Beta", false);
  EXPECT_EQ(window_->Items(0)->Caption(), L"&Cascade");
  EXPECT_EQ(window_->Items(1)->Caption(), L"-");
  const std::vector<std::wstring> both = listed();
  ASSERT_EQ(both.size(), 2u);
  EXPECT_NE(std::find(both.begin(), both.end(), L"Beta*"), both.end()) << "the active child is checked";
  EXPECT_NE(std::find(both.begin(), both.end(), L"Alpha"), both.end());
  TObject::Free(beta);
  AppPump(50);
  EXPECT_EQ(listed(), (std::vector<std::wstring>{L"Alpha*"}));
}

TEST_F(Mdi, AShortcutOfTheActiveChildsMenuWorksWhileItsBarIsHidden) {
  TForm* child = NewChild(L"Document");
  int clicks = 0;
  TMenuItem* options = tools_->Items(0);
  options->SetShortCut(ShortCut('T', {ssCtrl}));
  options->OnClick = [&](TObject*) { ++clicks; };
  ASSERT_TRUE(BringToFront(frame_));
  AppPump(50);
  SendChord(VK_CONTROL, 'T');
  EXPECT_TRUE(AppPumpUntil([&] { return clicks > 0; }, 1000));
  AppPump(50);
  EXPECT_EQ(clicks, 1);
  (void)child;
}

}  // namespace
