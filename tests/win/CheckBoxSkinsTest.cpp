// Check boxes and radio buttons under their skins: the skin's image for each
// state where the control's own box is, framework and raw, the radio
// button's double click, and the caption colour given back.
#include <gtest/gtest.h>

#include "ButtonSkinsTestSupport.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

class CheckBoxSkins : public ControlSkinFixture {
 protected:
  void SetUp() override {
    ControlSkinFixture::SetUp();
    form_->SetColor(static_cast<TColor>(kFormColor));
  }
  static constexpr Pixel kFormColor = Rgb(64, 128, 192);
};

TEST_F(CheckBoxSkins, ACheckBoxShowsTheFrameOfItsStateOnTheSideOfItsBox) {
  const format::Bytes skin = SkinWithColors({{"SKIN2_CONTROLFONTCOLOR", clNavy}});
  engine_->LoadSkinData(format::ByteSpan(skin.data(), skin.size()));
  TBitmap* images = SkinBitmapOf(engine_, SkinBitmap::CHECKBOX);
  const int size = images->Width() / 6;
  auto* box = Place<TCheckBox>(form_, 20, 20, 120, 21);
  box->SetCaption(L"Check");
  box->SetAllowGrayed(true);
  ASSERT_NE(Attach<TnuvSkinCheckBox>(box), nullptr);
  frame_->UpdateFrame();  // as the binding does once it attached the skin
  EXPECT_EQ(box->Font()->Color(), clNavy);

  struct Case {
    TCheckBoxState state;
    bool enabled;
    int frame;
  } cases[] = {{cbUnchecked, true, 3}, {cbChecked, true, 1},  {cbGrayed, true, 2},
               {cbUnchecked, false, 6}, {cbChecked, false, 4}, {cbGrayed, false, 5}};
  const int y = (box->ClientHeight() - size) / 2;
  for (const Case& c : cases) {
    box->SetState(c.state);
    box->SetEnabled(c.enabled);
    EXPECT_EQ(FaceMismatches(Shot(box), images, 6, c.frame, kFormColor, -1, POINT{0, y}), 0) << c.frame;
  }
  const Image right = Shot(box);
  // The caption left of the box, and the same again right to left.
  struct Side {
    TAlignment alignment;
    TBiDiMode biDi;
    int x;
  } sides[] = {{taLeftJustify, bdLeftToRight, 120 - size - 1},
               {taRightJustify, bdRightToLeft, 120 - size - 1},
               {taLeftJustify, bdRightToLeft, 0}};
  box->SetEnabled(true);
  box->SetState(cbChecked);
  for (const Side& s : sides) {
    box->SetAlignment(s.alignment);
    box->SetBiDiMode(s.biDi);
    EXPECT_EQ(FaceMismatches(Shot(box), images, 6, 1, kFormColor, -1, POINT{s.x, y}), 0) << s.x;
  }
  const Image left = Shot(box);

  SetActive(false);
  EXPECT_EQ(box->Font()->Color(), clWindowText) << "its own caption colour back";
  SaveRow({right, left}, L"check-box");
}

TEST_F(CheckBoxSkins, ARadioButtonShowsItsKeyedFrameAndTakesDoubleClicksForItself) {
  TBitmap* images = SkinBitmapOf(engine_, SkinBitmap::RADIOBUTTON);
  const TColor key = engine_->GetSkinColor(SkinColor::TRANSCOLOR);
  const int size = images->Width() / 4;
  auto* radio = Place<TRadioButton>(form_, 20, 20, 120, 21);
  radio->SetCaption(L"Radio");
  // Underneath the skin: sees what reaches the control.
  int seen = 0;
  TWindowProcHook control(radio, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg == WM_LBUTTONDBLCLK) ++seen;
    next(m);
  });
  ASSERT_NE(Attach<TnuvSkinRadioButton>(radio), nullptr);
  const int y = (radio->ClientHeight() - size) / 2;
  struct Case {
    bool checked, enabled;
    int frame;
  } cases[] = {{true, true, 1}, {false, true, 2}, {true, false, 3}, {false, false, 4}};
  for (const Case& c : cases) {
    radio->SetChecked(c.checked);
    radio->SetEnabled(c.enabled);
    EXPECT_EQ(FaceMismatches(Shot(radio), images, 4, c.frame, kFormColor, key, POINT{0, y}), 0) << c.frame;
  }
  radio->SetEnabled(true);
  int doubleClicks = 0;
  radio->OnDblClick = [&](TObject*) { ++doubleClicks; };
  ::SendMessageW(radio->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(seen, 0);
  SaveRow({Shot(radio)}, L"radio-button");
}

TEST_F(CheckBoxSkins, RawCheckBoxesAndRadioButtonsShowTheImageAtTheirTopLeftCorner) {
  TBitmap* boxes = SkinBitmapOf(engine_, SkinBitmap::CHECKBOX);
  TBitmap* radios = SkinBitmapOf(engine_, SkinBitmap::RADIOBUTTON);
  const TColor key = engine_->GetSkinColor(SkinColor::TRANSCOLOR);
  const Pixel formColor = PixelOf(engine_->GetSkinColor(SkinColor::FORMCOLOR));
  auto child = [&](DWORD style, int top) {
    return ::CreateWindowExW(0, L"Button", L"Raw", WS_CHILD | WS_VISIBLE | style, 10, top, 120, 25,
                             dialog_->Handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
  };
  const HWND box = child(BS_AUTOCHECKBOX, 10), radio = child(BS_AUTORADIOBUTTON, 50);
  ASSERT_NE(AttachWnd<TnuvSkinWndCheckBox>(box), nullptr);
  ASSERT_NE(AttachWnd<TnuvSkinWndRadioButton>(radio), nullptr);
  auto shot = [](HWND wnd) {
    PumpMessages(50);
    return CaptureWindow(wnd);
  };
  ::InvalidateRect(box, nullptr, TRUE);
  ::InvalidateRect(radio, nullptr, TRUE);
  EXPECT_EQ(FaceMismatches(shot(box), boxes, 6, 3, formColor, -1), 0);
  EXPECT_EQ(FaceMismatches(shot(radio), radios, 4, 2, formColor, key), 0);
  // Below the image the strip goes on in the form's colour, as tall as the window.
  const Image strip = shot(box);
  EXPECT_EQ(ColourBox(strip, formColor, RECT{0, 17, 17, 25}).bottom, 25);
  EXPECT_EQ(strip.Count(0, 17, 17, 8, formColor), 17 * 8);

  // Checked by the dialog: the system's own box must not stay on top.
  ::SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
  ::SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(FaceMismatches(CaptureWindow(box), boxes, 6, 1, formColor, -1), 0);
  EXPECT_EQ(FaceMismatches(CaptureWindow(radio), radios, 4, 1, formColor, key), 0);
  ::EnableWindow(box, FALSE);
  EXPECT_EQ(FaceMismatches(shot(box), boxes, 6, 4, formColor, -1), 0);
  SaveRow({shot(box), shot(radio)}, L"raw-check-and-radio");
}

}  // namespace
