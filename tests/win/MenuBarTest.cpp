// The skinned menu bar of a form, driven by real keys and checked by pixels:
// its background and buttons from the skin, the drop-downs it opens, its
// keyboard rules, its images; and the small MDI button beside it.
#include <gtest/gtest.h>

#include <memory>

#include "FrameTestSupport.h"
#include "MenuInputSupport.h"
#include "frames/MenuBar.h"
#include "frames/SkinWindowVCL.h"
#include "framework/StdCtrls.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

Pixel ToRgb(TColor color) { return static_cast<Pixel>(ColorToRGB(color)); }

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const wchar_t* caption) {
  auto* item = Create<TMenuItem>(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

// A form with File (Open, Exit), Edit (Copy) and Go (no sub-items), a button
// with the focus, skinned by the engine when it is activated.
struct MenuForm {
  explicit MenuForm(TnuvSkinEngine* e) : engine(e) {
    form = Create<TForm>(nullptr);
    form->SetBounds(140, 120, 460, 300);
    menu = Create<TMainMenu>(form);
    file = AddItem(form, menu->Items(), L"&File");
    AddItem(form, file, L"&Open")->OnClick = [this](TObject*) { ++openClicks; };
    AddItem(form, file, L"E&xit");
    edit = AddItem(form, menu->Items(), L"&Edit");
    AddItem(form, edit, L"&Copy");
    go = AddItem(form, menu->Items(), L"&Go");
    go->OnClick = [this](TObject*) { ++goClicks; };
    form->SetMenu(menu);
    button = Create<TButton>(form);
    button->SetBounds(20, 120, 100, 28);
    button->SetParent(form);
    BringToFront(form);
    button->SetFocus();
    AppPump(50);
    frame = dynamic_cast<TnuvSkinWindowVCL*>(engine->FindFrameSkin(form->Handle()));
    bar = frame ? frame->MenuBar() : nullptr;
  }
  ~MenuForm() { TObject::Free(form); }
  MenuForm(const MenuForm&) = delete;
  MenuForm& operator=(const MenuForm&) = delete;

  TnuvSkinEngine* engine;
  TForm* form;
  TMainMenu* menu;
  TMenuItem *file, *edit, *go;
  TButton* button;
  TnuvSkinWindowVCL* frame = nullptr;
  TnuvSkinMenuBar* bar = nullptr;
  int openClicks = 0, goClicks = 0;
};

class MenuBars : public ::testing::Test {
 protected:
  EngineFixture fixture_;
  TnuvSkinEngine* engine_ = fixture_.engine;
};

TEST_F(MenuBars, TheBarAndTheButtonTheUserIsOnAreDrawnFromTheSkin) {
  MenuForm f(engine_);
  ASSERT_TRUE(f.bar && f.bar->Visible()) << "the form was skinned when it was activated";
  ASSERT_EQ(f.bar->ButtonCount(), 3);
  const Image idle = CaptureControl(f.bar);
  SaveScreenshot(idle, L"menu-bar-idle");
  // Beyond the last button the bar shows its background: the skin's one colour.
  const int empty = f.bar->Width() - 20;
  EXPECT_EQ(idle.At(empty, 2), ToRgb(engine_->FMenuColors[0]));
  EXPECT_EQ(idle.At(empty, f.bar->Height() - 2), ToRgb(engine_->FMenuColors[0]));
  const RECT go = f.bar->Buttons(2)->BoundsRect();
  EXPECT_EQ(idle.At(go.left + 1, go.top + 1), ToRgb(engine_->FMenuColors[0])) << "a button at rest has no face";

  // The user is on Edit: its button is filled and framed in the skin's
  // selection colours while its drop-down is open, and the drop-down is
  // painted by the skin too.
  Image selected, dropDown;
  int tag = 0;
  EXPECT_TRUE(RunSteps({
      {[] { return true; }, [] { SendAltChord('E'); }},
      {[] { return MenuWindowVisible(); },
       [&] {
         AppPump(100);
         selected = CaptureControl(f.bar);
         dropDown = CaptureScreenAround(::FindWindowW(L"#32768", nullptr), 0);
         tag = static_cast<int>(f.bar->Buttons(1)->Tag());
         ::EndMenu();
       }},
      {[] { return !MenuWindowVisible(); }, [] { SendKeyPress(VK_ESCAPE); }},
  }));
  SaveScreenshot(selected, L"menu-bar-selected");
  SaveScreenshot(dropDown, L"menu-bar-drop-down");
  const RECT edit = f.bar->Buttons(1)->BoundsRect();
  EXPECT_EQ(tag, kMenuBarHotTag);
  EXPECT_EQ(selected.At(edit.left, edit.top), ToRgb(engine_->FMenuColors[3])) << "frame";
  EXPECT_EQ(selected.At(edit.left + 2, edit.top + 2), ToRgb(engine_->FMenuColors[2])) << "fill";
  EXPECT_GT(selected.Count(edit.left, edit.top, edit.right - edit.left, edit.bottom - edit.top,
                           ToRgb(engine_->FMenuColors[4])),
            5)
      << "the caption in the selected font colour";
  ASSERT_FALSE(dropDown.Empty());
  EXPECT_GT(dropDown.Count(0, 0, dropDown.Width(), dropDown.Height(), ToRgb(engine_->FMenuColors[8])), 200);
  EXPECT_GT(dropDown.Count(0, 0, 20, dropDown.Height(), ToRgb(engine_->FMenuColors[6])), 100);
  EXPECT_FALSE(f.bar->MenuActive());
  EXPECT_EQ(f.bar->Buttons(1)->Tag(), 0) << "back at rest once the bar is left";
}

TEST_F(MenuBars, WithAMenuBarBitmapTheBarIsThatBitmapStretched) {
  TnuvSkinCollectionItem* item = engine_->AdditionalBuiltInSkins()->Add();
  const auto three = ThreeSectSkinData();
  item->Reader()->LoadSkinData(format::ByteSpan(three.data(), three.size()), {});
  engine_->UseAdditionalSkin(0);
  MenuForm f(engine_);
  ASSERT_TRUE(f.bar && f.bar->Visible());
  TBitmap* bitmap = SkinBitmapOf(engine_, SkinBitmap::MENUBAR);
  const Image shot = CaptureControl(f.bar);
  SaveScreenshot(shot, L"menu-bar-bitmap");
  // A column past the buttons: row y shows a bitmap row next to y * h / H.
  const int x = f.bar->Width() - 10, height = f.bar->Height();
  int same = 0;
  for (int y = 0; y < height; ++y) {
    const int row = y * bitmap->Height() / height;
    bool found = false;
    for (int r = std::max(0, row - 1); r <= std::min(bitmap->Height() - 1, row + 1); ++r)
      found = found || shot.At(x, y) == ToRgb(bitmap->PixelAt(bitmap->Width() / 2, r));
    same += found;
  }
  EXPECT_EQ(same, height);
  EXPECT_NE(shot.At(x, 0), shot.At(x, height - 1)) << "the bitmap's top and bottom differ";
}

// Alt and a letter open that drop-down; a letter alone does nothing while
// the user is not on the bar; Enter on an item without sub-items clicks it
// once (the keyboard's own click of it is dropped).
TEST_F(MenuBars, TheKeyboardOpensDropDownsAndClicksAnItemWithoutSubItemsOnce) {
  MenuForm f(engine_);
  ASSERT_TRUE(f.bar);
  SendKeyPress('F');
  AppPump(300);
  EXPECT_FALSE(MenuWindowVisible()) << "a letter alone";
  EXPECT_FALSE(f.bar->MenuActive());
  EXPECT_TRUE(RunSteps({
      {[] { return true; }, [] { SendAltChord('F'); }},
      {[] { return MenuWindowVisible(); }, [] { SendKeyPress(VK_DOWN); }},
      {[] { return true; }, [] { SendKeyPress(VK_RETURN); }},
      {[&] { return f.openClicks > 0; }, [] {}},
  }));
  EXPECT_EQ(f.openClicks, 1);
  int goClicksBeforeEnter = -1;
  EXPECT_TRUE(RunSteps({
      {[] { return true; }, [] { SendAltChord('G'); }},
      {[&] { return f.bar->MenuActive() && f.bar->Buttons(2)->Tag() == kMenuBarHotTag; },
       [&] {
         goClicksBeforeEnter = f.goClicks;
         SendKeyPress(VK_RETURN);
       }},
      {[&] { return f.goClicks > 0; }, [] {}},
  }));
  AppPump(100);
  EXPECT_EQ(goClicksBeforeEnter, 0) << "Alt+G highlights Go; it does not click it";
  EXPECT_EQ(f.goClicks, 1);
  EXPECT_FALSE(f.bar->MenuActive());
}

TEST_F(MenuBars, AnImageOnAnyItemMakesRoomForImagesOnEveryButton) {
  engine_->SetActive(false);
  MenuForm f(engine_);
  auto* images = Create<TImageList>(f.form);
  TBitmap red(16, 16);
  red.Canvas()->Brush()->SetColor(clRed);
  red.Canvas()->FillRect(RECT{0, 0, 16, 16});
  images->Add(&red, nullptr);
  f.menu->SetImages(images);
  engine_->SetActive(true);
  engine_->SkinForm(f.form);
  f.frame = dynamic_cast<TnuvSkinWindowVCL*>(engine_->FindFrameSkin(f.form->Handle()));
  ASSERT_TRUE(f.frame);
  TnuvSkinMenuBar* bar = f.frame->MenuBar();
  EXPECT_EQ(bar->Images(), nullptr) << "no item shows an image";
  EXPECT_FALSE(bar->List());
  const int plainWidth = bar->Buttons(0)->Width();

  f.edit->SetImageIndex(0);
  engine_->SetActive(false);
  engine_->SetActive(true);
  AppPump(50);
  bar = f.frame->MenuBar();
  EXPECT_EQ(bar->Images(), DefaultMenuImages());
  EXPECT_TRUE(bar->List());
  EXPECT_GT(bar->Buttons(0)->Width(), plainWidth) << "every caption moves right by the image width";
  const Image shot = CaptureControl(bar);
  SaveScreenshot(shot, L"menu-bar-images");
  const RECT edit = bar->Buttons(1)->BoundsRect();
  EXPECT_EQ(shot.At(edit.left + 2 + 8, edit.top + 4 + 8), Rgb(255, 0, 0)) << "Edit's image";
  const RECT file = bar->Buttons(0)->BoundsRect();
  EXPECT_EQ(shot.Count(file.left, file.top, file.right - file.left, file.bottom - file.top, Rgb(255, 0, 0)), 0);
}

TEST(MenuBarControlButton, FlatOrGradientFaceAndABlackFrameWhileHot) {
  EngineFixture fixture;
  TForm* form = ShownForm(150, 150, 200, 120);
  auto* button = Create<TnuvSkinMenuBarControlButton>(nullptr);
  button->SetParent(form);
  button->SetBounds(10, 10, 18, 18);
  button->SetColor(0x00C08040);
  button->SetToColor(0x00C08040);
  TBitmap glyph(16, 16);
  glyph.Canvas()->Brush()->SetColor(clWhite);
  glyph.Canvas()->FillRect(RECT{0, 0, 16, 16});
  glyph.Canvas()->Brush()->SetColor(clBlack);
  glyph.Canvas()->FillRect(RECT{4, 7, 12, 9});
  button->SetGlyph(&glyph);
  button->Repaint();
  Image flat = CaptureControl(button);
  EXPECT_EQ(flat.At(0, 0), ToRgb(0x00C08040));
  EXPECT_EQ(flat.At(17, 17), ToRgb(0x00C08040));
  EXPECT_EQ(flat.At(5, 5), ToRgb(0x00C08040)) << "the glyph's white is transparent";
  EXPECT_EQ(flat.At(9, 8), Rgb(0, 0, 0)) << "the glyph at (1, 1)";

  button->SetToColor(clWhite);
  button->Perform(CM_MOUSEENTER, 0, 0);
  Image hot = CaptureControl(button);
  SaveScreenshot(hot, L"mdi-button-hot");
  EXPECT_TRUE(button->Hot());
  EXPECT_EQ(hot.At(0, 0), Rgb(0, 0, 0));
  EXPECT_EQ(hot.At(17, 9), Rgb(0, 0, 0));
  EXPECT_NE(hot.At(9, 2), hot.At(9, 15)) << "top to bottom gradient";
  button->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_NE(CaptureControl(button).At(0, 0), Rgb(0, 0, 0));
  TObject::Free(form);
}

}  // namespace
