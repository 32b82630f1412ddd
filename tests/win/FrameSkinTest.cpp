// Skinned frames on real dialogs: the size the skinned frame takes and gives
// back, the title pieces, borders, caption buttons and shape by pixel
// against the skin's own bitmaps, and the caption buttons under real input.
#include <gtest/gtest.h>

#include "FrameTestSupport.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

class Frames : public ::testing::Test {
 protected:
  void SetUp() override { MoveCursorTo(POINT{1000, 740}); }
  void TearDown() override {
    if (dialog_ && ::IsWindow(dialog_)) ::DestroyWindow(dialog_);
    AppPump(20);
  }
  HWND OpenDialog(int width = 160, int height = 80) {
    dialog_ = CreateTestDialog(&log_, width, height);
    return dialog_;
  }
  EngineFixture fixture_;
  TnuvSkinEngine* engine_ = fixture_.engine;
  DialogLog log_;
  HWND dialog_ = nullptr;
};

// The system caption height of a window: from its top to its client area.
int CaptionHeightOf(HWND wnd) {
  POINT origin{0, 0};
  ::ClientToScreen(wnd, &origin);
  return origin.y - WindowRectOf(wnd).top;
}

TEST_F(Frames, ADialogGrowsByTheSkinnedFrameAndShrinksBackExactly) {
  engine_->SetActive(false);
  HWND wnd = OpenDialog();
  const SIZE before = WindowSizeOf(wnd);
  const int caption = CaptionHeightOf(wnd);
  const LONG_PTR style = ::GetWindowLongPtrW(wnd, GWL_STYLE);
  engine_->SetActive(true);
  engine_->AddFrameSkin(wnd, false);
  AppPump(50);
  ASSERT_TRUE(IsSkinned(wnd));
  const SIZE skinned = WindowSizeOf(wnd);
  EXPECT_EQ(skinned.cx, before.cx + 10);
  EXPECT_EQ(skinned.cy, before.cy + 31 + 5 - caption);
  SaveScreenshot(CaptureWindow(wnd), L"frames-dialog.png");

  for (int round = 0; round < 2; ++round) {
    engine_->SetActive(false);
    AppPump(20);
    EXPECT_FALSE(IsSkinned(wnd));
    EXPECT_EQ(WindowSizeOf(wnd).cx, before.cx);
    EXPECT_EQ(WindowSizeOf(wnd).cy, before.cy);
    EXPECT_EQ(::GetWindowLongPtrW(wnd, GWL_STYLE), style) << "its own style back, visible as it was";
    engine_->SetActive(true);
    engine_->SetActive(true);  // a second switch-on must not grow it again
    AppPump(20);
    EXPECT_EQ(WindowSizeOf(wnd).cx, skinned.cx);
    EXPECT_EQ(WindowSizeOf(wnd).cy, skinned.cy);
  }
}

}  // namespace

namespace {

// The window's pixel at (x, y) is the bitmap's at (bx, by).
void ExpectPixel(const Image& shot, int x, int y, TBitmap* bitmap, int bx, int by, const char* what) {
  ASSERT_TRUE(shot.Contains(x, y)) << what;
  EXPECT_EQ(shot.At(x, y), static_cast<Pixel>(ColorToRGB(bitmap->PixelAt(bx, by))))
      << what << " at (" << x << ", " << y << ") from (" << bx << ", " << by << ")";
}

// Columns [from, to) of row y are one colour: a stretched copy keeps it.
bool RowUniform(TBitmap* bitmap, int y, int from, int to) {
  for (int x = from + 1; x < to; ++x)
    if (bitmap->PixelAt(x, y) != bitmap->PixelAt(from, y)) return false;
  return true;
}
bool ColumnUniform(TBitmap* bitmap, int x) {
  for (int y = 1; y < bitmap->Height(); ++y)
    if (bitmap->PixelAt(x, y) != bitmap->PixelAt(x, 0)) return false;
  return true;
}

// A point of glyph k of the caption buttons that is not transparent.
POINT OpaqueGlyphPoint(TnuvSkinEngine* engine, int k) {
  TBitmap* buttons = SkinBitmapOf(engine, SkinBitmap::TITLEBUTTONS);
  const int gw = buttons->Width() / 18, gh = buttons->Height();
  for (int d = 0; d < gw / 2; ++d) {
    for (POINT p : {POINT{gw / 2 + d, gh / 2}, POINT{gw / 2 - d, gh / 2}, POINT{gw / 2, gh / 2 + d}}) {
      if (FramePixel(buttons, 18, k, p.x, p.y) != engine->FTransColor) return p;
    }
  }
  return POINT{gw / 2, gh / 2};
}

// Checks the pieces of the skinned frame of `wnd` against the skin.
void ExpectFrameFromSkin(TnuvSkinEngine* engine, HWND wnd, const wchar_t* screenshot) {
  AppPump(50);
  const Image shot = CaptureWindow(wnd);
  SaveScreenshot(shot, screenshot);
  const SIZE size = WindowSizeOf(wnd);
  const int ww = size.cx, wh = size.cy;
  const bool five = engine->GetSkinFlag(SkinFlag::TITLEFIVESECT);
  TBitmap* t1 = SkinBitmapOf(engine, SkinBitmap::TITLEBAR1);
  TBitmap* right = SkinBitmapOf(engine, five ? SkinBitmap::TITLEBAR5 : SkinBitmap::TITLEBAR3);
  TBitmap* filler = SkinBitmapOf(engine, five ? SkinBitmap::TITLEBAR4 : SkinBitmap::TITLEBAR2);
  const int lastRow = t1->Height() - 1;  // below the caption text and the buttons
  ExpectPixel(shot, t1->Width() - 3, lastRow, t1, t1->Width() - 3, lastRow, "left end");
  ExpectPixel(shot, ww - right->Width() + 3, lastRow, right, 3, lastRow, "right end");
  if (RowUniform(filler, lastRow, 0, filler->Width()))
    ExpectPixel(shot, ww - right->Width() - 4, lastRow, filler, 0, lastRow, "filler");

  const int bb = engine->FBottomBorderHeight;
  TBitmap* left = SkinBitmapOf(engine, SkinBitmap::FORMLEFTBORDER);
  TBitmap* rightBorder = SkinBitmapOf(engine, SkinBitmap::FORMRIGHTBORDER);
  if (ColumnUniform(left, 1)) ExpectPixel(shot, 1, wh / 2, left, 1, 0, "left border");
  if (ColumnUniform(rightBorder, 1))
    ExpectPixel(shot, ww - rightBorder->Width() + 1, wh / 2, rightBorder, 1, 0, "right border");
  TBitmap* bottom = SkinBitmapOf(engine, SkinBitmap::FORMBOTTOMBORDER1);
  ExpectPixel(shot, 6, wh - bb + bb / 2, bottom, 6, bb / 2, "bottom border, left end");
  if (engine->GetSkinFlag(SkinFlag::BOTTOMBORDERTHREESECT)) {
    TBitmap* b3 = SkinBitmapOf(engine, SkinBitmap::FORMBOTTOMBORDER3);
    ExpectPixel(shot, ww - b3->Width() + 6, wh - bb + bb / 2, b3, 6, bb / 2, "bottom border, right end");
  }

  TBitmap* buttons = SkinBitmapOf(engine, SkinBitmap::TITLEBUTTONS);
  const int gw = buttons->Width() / 18;
  const POINT g = OpaqueGlyphPoint(engine, 16);
  const int bx = ww - engine->FButtonPosX - gw;
  EXPECT_EQ(shot.At(bx + g.x, engine->FButtonPosY + g.y),
            static_cast<Pixel>(ColorToRGB(FramePixel(buttons, 18, 16, g.x, g.y))))
      << "close glyph, normal";

  // The shape: transparent title pixels are cut out of the window.
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(::GetWindowRgn(wnd, region), ERROR);
  EXPECT_TRUE(::PtInRegion(region, ww / 2, wh / 2));
  if (engine->GetSkinFlag(SkinFlag::TITLEBARNEEDREGION) && t1->PixelAt(0, 0) == engine->FTransColor) {
    EXPECT_FALSE(::PtInRegion(region, 0, 0)) << "the transparent corner is cut";
  }
  ::DeleteObject(region);
}

POINT ScreenPointOf(HWND wnd, int x, int y) {
  const RECT r = WindowRectOf(wnd);
  return POINT{r.left + x, r.top + y};
}

void SendButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  ::SendInput(1, &input, sizeof input);
}

void LoadThreeSectSkin(TnuvSkinEngine* engine) {
  const auto data = ThreeSectSkinData();
  TnuvSkinCollectionItem* item = engine->AdditionalBuiltInSkins()->Add();
  item->Reader()->LoadSkinData(format::ByteSpan(data.data(), data.size()), {});
  engine->UseAdditionalSkin(engine->AdditionalBuiltInSkins()->Count() - 1);
}

}  // namespace

TEST_F(Frames, TitleBordersButtonsAndShapeComeFromTheSkinInBothLayouts) {
  HWND wnd = OpenDialog();
  engine_->AddFrameSkin(wnd, false);
  ExpectFrameFromSkin(engine_, wnd, L"frames-fivesect");
  // Changing the skin repaints the open dialog with the new one.
  LoadThreeSectSkin(engine_);
  EXPECT_TRUE(IsSkinned(wnd));
  ExpectFrameFromSkin(engine_, wnd, L"frames-threesect");
  engine_->UseOwnSkin();
  ExpectFrameFromSkin(engine_, wnd, L"frames-fivesect-again");
}

TEST_F(Frames, CloseButtonIsHotPressedAndClicksOnlyWhenReleasedOverIt) {
  HWND wnd = OpenDialog();
  engine_->AddFrameSkin(wnd, false);
  AppPump(50);
  TBitmap* buttons = SkinBitmapOf(engine_, SkinBitmap::TITLEBUTTONS);
  const int gw = buttons->Width() / 18;
  const int bx = WindowSizeOf(wnd).cx - engine_->FButtonPosX - gw, by = engine_->FButtonPosY;
  auto glyphShown = [&](int k) {
    const POINT g = OpaqueGlyphPoint(engine_, k);
    return AppPumpUntil([&] {
      return CaptureWindow(wnd).At(bx + g.x, by + g.y) == static_cast<Pixel>(ColorToRGB(FramePixel(buttons, 18, k, g.x, g.y)));
    }, 1500);
  };
  const POINT close = ScreenPointOf(wnd, bx + gw / 2, by + gw / 2);
  ASSERT_TRUE(MoveCursorTo(close));
  EXPECT_TRUE(glyphShown(17)) << "hot";
  SendButton(MOUSEEVENTF_LEFTDOWN);
  EXPECT_TRUE(glyphShown(18)) << "pressed";
  // Moving off the button onto the caption and releasing does nothing.
  ASSERT_TRUE(MoveCursorTo(ScreenPointOf(wnd, 60, by + 4)));
  EXPECT_TRUE(glyphShown(16)) << "normal again once the cursor left it";
  SendButton(MOUSEEVENTF_LEFTUP);
  AppPump(150);
  EXPECT_TRUE(log_.commands.empty());
  EXPECT_TRUE(::IsWindow(wnd));
  // A real click on it cancels the dialog.
  ASSERT_TRUE(SendClickAt(close));
  EXPECT_TRUE(AppPumpUntil([&] { return !log_.commands.empty(); }));
  ASSERT_EQ(log_.commands.size(), 1u);
  EXPECT_EQ(LOWORD(log_.commands[0]), IDCANCEL);
}

TEST_F(Frames, AMaximizedWindowThatFillsTheWorkAreaIsNotDraggedAndRestoresOnDoubleClick) {
  HWND wnd = OpenDialog();
  engine_->AddFrameSkin(wnd, false);
  ::ShowWindow(wnd, SW_MAXIMIZE);
  AppPump(100);
  ASSERT_TRUE(::IsZoomed(wnd));
  const RECT maximized = WindowRectOf(wnd);
  ASSERT_TRUE(MoveCursorTo(ScreenPointOf(wnd, 80, 15)));
  SendButton(MOUSEEVENTF_LEFTDOWN);
  AppPump(50);
  MoveCursorTo(ScreenPointOf(wnd, 180, 115));
  AppPump(50);
  SendButton(MOUSEEVENTF_LEFTUP);
  AppPump(100);
  const RECT after = WindowRectOf(wnd);
  EXPECT_EQ(after.left, maximized.left);
  EXPECT_EQ(after.top, maximized.top);
  // A double click on the caption outside the buttons restores it.
  const POINT caption = ScreenPointOf(wnd, 80, 15);
  ASSERT_TRUE(SendClickAt(caption));
  ASSERT_TRUE(SendClickAt(caption));
  EXPECT_TRUE(AppPumpUntil([&] { return !::IsZoomed(wnd); }));
}

TEST_F(Frames, AnInactiveFrameDrawsItsCaptionInTheSystemsInactiveColour) {
  HWND wnd = OpenDialog();
  engine_->AddFrameSkin(wnd, false);
  DialogLog otherLog;
  HWND other = CreateTestDialog(&otherLog, 100, 50, L"Other");
  ::SetWindowPos(other, nullptr, 600, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ::SetActiveWindow(other);
  AppPump(100);
  EXPECT_EQ(::SendMessageW(wnd, WM_NUVSKIN_QUERYACTIVE, 0, 0), 2);
  const Image shot = CaptureWindow(wnd);
  const Pixel inactive = ::GetSysColor(COLOR_INACTIVECAPTION);
  const Pixel active = static_cast<Pixel>(ColorToRGB(engine_->FTitleFontColor));
  EXPECT_GT(shot.Count(20, engine_->FCaptionTop, 80, 13, inactive), 10);
  EXPECT_EQ(shot.Count(20, engine_->FCaptionTop, 80, 13, active), 0);
  ::DestroyWindow(other);
}

TEST_F(Frames, ANarrowWindowKeepsTheRightEndAtItsRightEdge) {
  HWND wnd = OpenDialog();
  engine_->AddFrameSkin(wnd, false);
  ::SetWindowPos(wnd, nullptr, 0, 0, 40, 120, SWP_NOMOVE | SWP_NOZORDER);
  AppPump(100);
  const Image shot = CaptureWindow(wnd);
  SaveScreenshot(shot, L"frames-narrow");
  TBitmap* right = SkinBitmapOf(engine_, SkinBitmap::TITLEBAR5);
  const int ww = WindowSizeOf(wnd).cx, row = right->Height() - 1;
  ExpectPixel(shot, ww - 3, row, right, right->Width() - 3, row, "right end at the right edge");
}

TEST_F(Frames, AMinimizedWindowShowsTheMinimizedTitleWithCentredButtonsAndNoBorders) {
  HWND wnd = OpenDialog();
  engine_->AddFrameSkin(wnd, false);
  ::ShowWindow(wnd, SW_MINIMIZE);
  AppPump(150);
  ASSERT_TRUE(::IsIconic(wnd));
  ::RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  const Image shot = CaptureWindow(wnd);
  SaveScreenshot(shot, L"frames-minimized");
  TBitmap* buttons = SkinBitmapOf(engine_, SkinBitmap::TITLEBUTTONS);
  const int gw = buttons->Width() / 18, gh = buttons->Height();
  int y = std::max((26 - gh) / 2, 0);
  if (gh + y < 22) y += 2;
  const POINT g = OpaqueGlyphPoint(engine_, 16);
  const int bx = WindowSizeOf(wnd).cx - gw - 5;
  EXPECT_EQ(shot.At(bx + g.x, y + g.y), static_cast<Pixel>(ColorToRGB(FramePixel(buttons, 18, 16, g.x, g.y))))
      << "close glyph of the minimized title";
  // The left edge is the minimized title's own, not the side border.
  TBitmap* title = SkinBitmapOf(engine_, SkinBitmap::MINIMIZEDTITLE);
  TBitmap* left = SkinBitmapOf(engine_, SkinBitmap::FORMLEFTBORDER);
  if (title->PixelAt(1, title->Height() / 2) != left->PixelAt(1, 0)) {
    EXPECT_NE(shot.At(1, WindowSizeOf(wnd).cy / 2), static_cast<Pixel>(ColorToRGB(left->PixelAt(1, 0))));
  }
  ::ShowWindow(wnd, SW_RESTORE);
}

TEST_F(Frames, ButtonsAtTheVeryTopAreCaptionWhileTheTopRowsStillResize) {
  const format::Bytes skin = EditedBuiltInSkin([](std::vector<format::Sk2Element>& elements) {
    for (format::Sk2Element& e : elements)
      if (e.name == "SKIN2_TITLEBARBUTTONPOSY") e = format::Sk2Element::Integer(e.name, 2);
  });
  engine_->LoadSkinData(format::ByteSpan(skin.data(), skin.size()));
  ASSERT_EQ(engine_->FButtonPosY, 2);
  dialog_ = CreateTestDialog(&log_, 160, 80, L"Sizeable", WS_THICKFRAME);
  HWND wnd = dialog_;
  ASSERT_TRUE(IsSkinned(wnd));
  const RECT r = WindowRectOf(wnd);
  TBitmap* buttons = SkinBitmapOf(engine_, SkinBitmap::TITLEBUTTONS);
  const int closeX = r.right - engine_->FButtonPosX - buttons->Width() / 18 / 2;
  auto hit = [&](int x, int y) { return ::SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)); };
  ASSERT_EQ(hit(r.left + 60, r.top + 1), HTTOP) << "the platform's sizing edge";
  const LRESULT above = hit(closeX, r.top + 1);
  EXPECT_TRUE(above == HTTOP || above == HTTOPRIGHT) << "above the buttons the window still resizes: " << above;
  EXPECT_EQ(hit(closeX, r.top + 3), HTCAPTION) << "inside the button strip the edge acts as caption";
  EXPECT_EQ(hit(r.left + 60, r.top + 3), HTTOP) << "left of the button strip";
}
