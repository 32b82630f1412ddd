// Framework push, bitmap and speed buttons under their skins: the faces the
// skin's button bitmap gives each state, the focus rectangle, the glyph
// beside the caption, exact clicking by mouse and keys, and the caption
// colour given back when skinning stops.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "ButtonSkinsTestSupport.h"
#include "framework/Buttons.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

using F = TnuvSkinControlStateFlag;

// 40 pixels wide in the default font.
constexpr wchar_t kFortyPixelCaption[] = L"Caption";

class ButtonSkins : public ControlSkinFixture {
 protected:
  void SetUp() override {
    ControlSkinFixture::SetUp();
    form_->SetColor(static_cast<TColor>(kFormColor));
  }
  template <class T = TButton>
  T* SkinnedButton(int left, int top, int width, int height, const wchar_t* caption) {
    T* button = Place<T>(form_, left, top, width, height);
    button->SetCaption(caption);
    EXPECT_NE(Attach<TnuvSkinButton>(button), nullptr);
    return button;
  }
  // A skin whose button captions are `color`.
  void UseButtonFontColor(TColor color) {
    const format::Bytes skin = SkinWithColors({{"SKIN2_BUTTONFONTCOLOR", color}});
    engine_->LoadSkinData(format::ByteSpan(skin.data(), skin.size()));
  }
  static constexpr Pixel kFormColor = Rgb(64, 128, 192);
};

TEST_F(ButtonSkins, StatesShowTheSkinsThreeFacesWithTheCaptionPressedByOnePixel) {
  UseButtonFontColor(clRed);
  constexpr int w = 100, h = 30;
  auto face = [&](int k) { return ButtonFace(engine_, k, w, h, static_cast<TColor>(kFormColor)); };
  auto* plain = SkinnedButton(20, 20, w, h, L"");
  auto* wide = SkinnedButton(20, 60, 160, 40, L"Caption");

  const Image normal = Shot(plain);
  EXPECT_EQ(Mismatches(normal, face(1)), 0);
  const Box caption = ColourBox(Shot(wide), Rgb(255, 0, 0));
  ASSERT_FALSE(caption.Empty());
  EXPECT_NEAR(caption.left + caption.right, 160, 6);  // centred
  EXPECT_NEAR(caption.top + caption.bottom, 40, 4);

  ASSERT_TRUE(MoveCursorTo(CentreOf(plain)));
  ASSERT_TRUE(AppPumpUntil([&] { return SkinOf(plain)->State().Contains(F::Hot); }));
  const Image hot = Shot(plain);
  EXPECT_EQ(Mismatches(hot, face(2)), 0);

  ASSERT_EQ(::WindowFromPoint(CentreOf(plain)), plain->Handle()) << "another window is over the button";
  SendButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(AppPumpUntil([&] { return SkinOf(plain)->State().Contains(F::Down); }));
  const Image pressed = Shot(plain);
  SendButton(MOUSEEVENTF_LEFTUP);
  // Pressing also gave the button the focus: its rectangle moves with the face.
  EXPECT_EQ(Mismatches(pressed, face(3), RECT{6, 6, w - 4, h - 4}), 0);

  MoveCursorTo(CentreOf(wide));
  SendButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(AppPumpUntil([&] { return SkinOf(wide)->State().Contains(F::Down); }));
  const Image widePressed = Shot(wide);
  SendButton(MOUSEEVENTF_LEFTUP);
  const Box moved = ColourBox(widePressed, Rgb(255, 0, 0));
  EXPECT_EQ(moved.left, caption.left + 1);
  EXPECT_EQ(moved.top, caption.top + 1);
  EXPECT_EQ(moved.right, caption.right + 1);
  EXPECT_EQ(moved.bottom, caption.bottom + 1);
  SaveRow({normal, hot, pressed, Shot(wide), widePressed}, L"button-states");
}

TEST_F(ButtonSkins, TheFocusRectangleIsInsetByFive) {
  auto* button = SkinnedButton(20, 20, 120, 30, L"");
  auto* other = SkinnedButton(20, 70, 120, 30, L"");
  other->SetFocus();
  const Image unfocused = Shot(button);
  button->SetFocus();
  const Image focused = Shot(button);
  const Box changed = DifferenceBox(unfocused, focused);
  EXPECT_EQ(changed.left, 5);
  EXPECT_EQ(changed.top, 5);
  EXPECT_EQ(changed.right, 115);
  EXPECT_EQ(changed.bottom, 25);
  // Only the outline: the middle of the face is the same.
  EXPECT_TRUE(DifferenceBox(unfocused, focused, RECT{6, 6, 114, 24}).Empty());
}

TEST_F(ButtonSkins, ClicksAreExactByMouseAndKeys) {
  auto* button = SkinnedButton(20, 20, 120, 30, L"Click");
  auto* plain = Place<TButton>(form_, 20, 70, 120, 30);  // the system's own button
  int clicks = 0, plainClicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  plain->OnClick = [&](TObject*) { ++plainClicks; };
  auto settle = [] { AppPump(100); };

  ASSERT_TRUE(SendClickAt(CentreOf(button)));
  settle();
  EXPECT_EQ(clicks, 1) << "a click";

  // Pressed away from the last click, or the press is a double click.
  MoveCursorTo(POINT{CentreOf(button).x + 30, CentreOf(button).y});
  SendButton(MOUSEEVENTF_LEFTDOWN);
  settle();
  MoveCursorTo(POINT{CentreOf(button).x, CentreOf(button).y + 120});
  SendButton(MOUSEEVENTF_LEFTUP);
  settle();
  EXPECT_EQ(clicks, 1) << "pressed, moved out, released outside";
  EXPECT_FALSE(SkinOf(button)->State().Contains(F::Down));
  ASSERT_TRUE(SendClickAt(CentreOf(button)));
  settle();
  EXPECT_EQ(clicks, 2) << "back in, a click";

  button->SetFocus();
  SendKey(VK_SPACE, false);
  settle();
  EXPECT_EQ(clicks, 2) << "Space clicks when it is released";
  EXPECT_TRUE(SkinOf(button)->State().Contains(F::Down));
  SendKey(VK_SPACE, true);
  settle();
  EXPECT_EQ(clicks, 3);
  SendKeyPress(VK_RETURN);
  settle();
  EXPECT_EQ(clicks, 4) << "Enter";

  // A double click: as many clicks as the system's button gives.
  for (TButton* b : {button, static_cast<TButton*>(plain)}) {
    const LPARAM at = MAKELPARAM(10, 10);
    for (UINT msg : {UINT{WM_LBUTTONDOWN}, UINT{WM_LBUTTONUP}, UINT{WM_LBUTTONDBLCLK}, UINT{WM_LBUTTONUP}})
      ::PostMessageW(b->Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  }
  settle();
  EXPECT_EQ(plainClicks, 2);
  EXPECT_EQ(clicks, 4 + plainClicks);
}

// The framework reports OnExit when a control loses the focus: a skinned
// button must let that through.
TEST_F(ButtonSkins, LeavingAFocusedButtonStillReportsOnExit) {
  auto* button = SkinnedButton(20, 20, 120, 30, L"First");
  auto* next = SkinnedButton(20, 70, 120, 30, L"Next");
  int exits = 0;
  button->OnExit = [&](TObject*) { ++exits; };
  button->SetFocus();
  const Image focused = Shot(button);
  next->SetFocus();
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(DifferenceBox(focused, Shot(button)).Empty()) << "the focus rectangle went";
}

TEST_F(ButtonSkins, GlyphAndCaptionShareTheClientByTheLayoutRule) {
  UseButtonFontColor(clRed);
  OwnedObject<TBitmap> glyph(GlyphImages({clLime}));
  auto* button = SkinnedButton<TBitBtn>(20, 20, 100, 40, kFortyPixelCaption);
  button->SetGlyph(glyph.get());
  button->SetSpacing(-1);
  ASSERT_EQ(button->Margin(), -1);
  ASSERT_EQ(MeasureText(button->Font(), button->Caption(), 0, 0).cx, 40);
  // 98 pixels inside the one-pixel inset: (98 - 16 - 40) div 3 = 14 before
  // the glyph and between glyph and caption; the square sits 2 pixels into
  // its 16.
  Image shot = Shot(button);
  const Box square = ColourBox(shot, PixelOf(clLime));
  EXPECT_EQ(square.left, 1 + 14 + 2);
  const Box text = ColourBox(shot, PixelOf(clRed));
  EXPECT_GE(text.left, 1 + 14 + 16 + 14);
  EXPECT_LE(text.left, 1 + 14 + 16 + 14 + 1);
  EXPECT_LE(text.right, 1 + 14 + 16 + 14 + 40);
  const Image leftToRight = shot;

  // Right to left the glyph goes right; the control's Layout stays.
  button->SetBiDiMode(bdRightToLeft);
  shot = Shot(button);
  EXPECT_EQ(ColourBox(shot, PixelOf(clLime)).right, 99 - 14 - 2);
  EXPECT_LT(ColourBox(shot, PixelOf(clRed)).right, 99 - 14 - 16 - 14 + 1);
  EXPECT_EQ(button->Layout(), blGlyphLeft);
  SaveRow({leftToRight, shot}, L"bitbtn-layout");
}

TEST_F(ButtonSkins, ADisabledBitmapButtonShowsItsDisabledGlyph) {
  const TColor colors[] = {clRed, clBlue, clYellow, clAqua};
  auto glyphShot = [&](int numGlyphs, bool enabled) {
    OwnedObject<TBitmap> glyph(GlyphImages(std::vector<TColor>(colors, colors + numGlyphs)));
    auto* button = SkinnedButton<TBitBtn>(20, 20, 100, 40, L"");
    button->SetGlyph(glyph.get());
    button->SetNumGlyphs(numGlyphs);
    button->SetEnabled(enabled);
    Image shot = Shot(button);
    Release(frame_->FControlSkins.back());
    TObject::Free(button);
    return shot;
  };
  auto count = [](const Image& shot, TColor color) {
    return shot.Count(0, 0, shot.Width(), shot.Height(), PixelOf(color));
  };
  const Image one = glyphShot(1, false);
  EXPECT_EQ(count(one, clRed), 0) << "one image, disabled: greyed";
  EXPECT_GT(count(one, clBtnShadow), 0);
  const Image two = glyphShot(2, false);
  EXPECT_EQ(count(two, clBlue), 12 * 12) << "image 2";
  EXPECT_EQ(count(two, clRed), 0);
  const Image four = glyphShot(4, true);
  EXPECT_EQ(count(four, clRed), 12 * 12) << "image 1 of four";
  EXPECT_EQ(count(four, clBlue), 0);
  SaveRow({one, two, four}, L"bitbtn-glyphs");
}

// A bitmap button draws its caption in its font's colour when the system
// paints it: the skin's light colour must not stay on the grey face.
TEST_F(ButtonSkins, TheCaptionColourIsTheSkinsWhileSkinnedAndTheButtonsOwnAfter) {
  UseButtonFontColor(clWhite);
  auto* button = SkinnedButton<TBitBtn>(20, 20, 120, 30, L"Light");
  const TColor own = button->Font()->Color();
  Shot(button);
  EXPECT_EQ(button->Font()->Color(), clWhite);

  SetActive(false);
  EXPECT_EQ(button->Font()->Color(), own);
  EXPECT_TRUE(ColourBox(Shot(button), Rgb(255, 255, 255), RECT{4, 4, 116, 26}).Empty()) << "no white caption";
  SetActive(true);
  Shot(button);
  EXPECT_EQ(button->Font()->Color(), clWhite);

  // Told to leave button captions alone, the skin gives the colour back
  // and keeps off another's.
  engine_->SetNoChangeButtonsFontColor(true);
  frame_->UpdateFrame();
  EXPECT_EQ(button->Font()->Color(), own);
  auto* kept = Place<TButton>(form_, 20, 70, 120, 30);
  kept->SetCaption(L"Kept");
  kept->Font()->SetColor(clMaroon);
  Attach(kept);
  EXPECT_FALSE(ColourBox(Shot(kept), PixelOf(clMaroon)).Empty());
  EXPECT_EQ(kept->Font()->Color(), clMaroon);
}

TEST_F(ButtonSkins, SpeedButtonsAreFlatInTheToolBarColours) {
  auto* up = Place<TSpeedButton>(form_, 20, 20, 60, 30);
  auto* down = Place<TSpeedButton>(form_, 90, 20, 60, 30);
  auto* own = Place<TSpeedButton>(form_, 160, 20, 60, 30);
  OwnedObject<TBitmap> glyph(GlyphImages({clLime}));
  for (TSpeedButton* b : {up, down}) {
    b->SetGlyph(glyph.get());
    b->SetGroupIndex(1);
  }
  down->SetDown(true);
  own->SetTag(999999);
  for (TSpeedButton* b : {up, down, own}) ASSERT_NE(Attach<TnuvSkinSpeedButton>(b), nullptr);
  form_->Invalidate();
  const Image upShot = Shot(up), downShot = Shot(down), ownShot = Shot(own);
  const auto colour = [&](int index) { return PixelOf(engine_->GetSkinColor(index)); };
  EXPECT_EQ(upShot.At(3, 3), colour(SkinColor::FORMCOLOR));
  EXPECT_EQ(downShot.At(3, 3), colour(SkinColor::TOOLBARDOWNCOLOR));
  EXPECT_EQ(downShot.At(0, 0), colour(SkinColor::TOOLBARBORDERCOLOR));
  // Down in its group: the glyph one pixel right and down of the other's.
  const Box upGlyph = ColourBox(upShot, PixelOf(clLime)), downGlyph = ColourBox(downShot, PixelOf(clLime));
  EXPECT_EQ(downGlyph.left, upGlyph.left + 1);
  EXPECT_EQ(downGlyph.top, upGlyph.top + 1);
  // Tag 999999: its own face in a two-pixel button-face frame with a left line.
  EXPECT_EQ(ownShot.At(1, 10), PixelOf(clBtnFace));
  EXPECT_EQ(ownShot.At(0, 10), colour(SkinColor::CONTROLBORDERCOLOR));
  EXPECT_EQ(ownShot.At(58, 10), PixelOf(clBtnFace));
  SaveRow({upShot, downShot, ownShot}, L"speed-buttons");
}

}  // namespace
