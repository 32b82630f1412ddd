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
