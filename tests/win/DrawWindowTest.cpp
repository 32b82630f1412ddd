// Primitives that work on real windows: the skin region read back from the
// window, outlines in the window DC and control borders, captured.
#include <gtest/gtest.h>

#include <vector>

#include "GraphicsTestSupport.h"
#include "draw/NUVSkinUtils.h"
#include "framework/Forms.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

constexpr TColor kTrans = clFuchsia;
constexpr int kWidth = 40, kHeight = 30;

TestWindow::Options PopupOptions(int width = kWidth, int height = kHeight) {
  TestWindow::Options o;
  o.style = WS_POPUP | WS_VISIBLE;
  o.bounds = RECT{50, 50, 50 + width, 50 + height};
  return o;
}

// A 40 x 6 title: rounded corners in rows 0 and 1, and in row 2 a
// transparent pixel before an opaque last pixel.
Owned<TBitmap> TitleImage() {
  Owned<TBitmap> b = FilledBitmap(kWidth, 6, clNavy);
  for (int x : {0, 1, 2, 37, 38, 39}) b->SetPixelAt(x, 0, kTrans);
  for (int x : {0, 39}) b->SetPixelAt(x, 1, kTrans);
  b->SetPixelAt(38, 2, kTrans);
  return b;
}

// A 40 x 4 bottom border with cut corners in its last row.
Owned<TBitmap> BottomImage() {
  Owned<TBitmap> b = FilledBitmap(kWidth, 4, clTeal);
  for (int x : {0, 1, 38, 39}) b->SetPixelAt(x, 3, kTrans);
  return b;
}

win::UniqueRegion HandMade(const std::vector<RECT>& rects) {
  win::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  for (const RECT& r : rects) {
    win::UniqueRegion part(::CreateRectRgnIndirect(&r));
    ::CombineRgn(region.Get(), region.Get(), part.Get(), RGN_OR);
  }
  return region;
}

win::UniqueRegion WindowRegion(HWND wnd) {
  win::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_NE(::GetWindowRgn(wnd, region.Get()), ERROR);
  return region;
}

// A windowed control that paints itself white.
class TWhiteControl : public TCustomControl {
  NUV_CLASS(TWhiteControl, TCustomControl)
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(RECT{0, 0, Width(), Height()});
  }
};

// The offset of a window's client area inside its window rectangle.
POINT ClientOrigin(HWND wnd) {
  POINT p{0, 0};
  ::ClientToScreen(wnd, &p);
  RECT r{};
  ::GetWindowRect(wnd, &r);
  return POINT{p.x - r.left, p.y - r.top};
}

}  // namespace

TEST(SkinRegion, AllRowsOfBothImagesWithLimitsMinusOne) {
  TestWindow window(PopupOptions());
  Owned<TBitmap> title = TitleImage(), bottom = BottomImage();
  ApplySkinRegion(window.Handle(), title.get(), bottom.get(), true, true, -1, -1, -1, -1, kTrans, kHeight, kWidth);
  win::UniqueRegion actual = WindowRegion(window.Handle());
  win::UniqueRegion expected = HandMade({
      {3, 0, 37, 1}, {1, 1, 39, 2},                 // rounded corners
      {0, 2, 38, 3}, {39, 2, 40, 3},                // pixel 38 stays cut out before the opaque last one
      {0, 3, 40, 6},                                // the rest of the title
      {0, 6, 40, 26},                               // between the images
      {0, 26, 40, 29}, {2, 29, 38, 30},             // the bottom image at Height - 4
  });
  EXPECT_TRUE(::EqualRgn(actual.Get(), expected.Get()));
  EXPECT_FALSE(::PtInRegion(actual.Get(), 38, 2));
  EXPECT_TRUE(::PtInRegion(actual.Get(), 39, 2));
  EXPECT_FALSE(::PtInRegion(actual.Get(), 0, 29));
}

TEST(SkinRegion, LimitsSelectTheScannedRows) {
  Owned<TBitmap> title = TitleImage(), bottom = BottomImage();
  struct Case {
    int minY, maxY;
    std::vector<RECT> titleRects;
  };
  const Case cases[] = {
      // MinY > 0 keeps the rows above whole; stop < image height keeps those below whole.
      {2, 3, {{0, 0, 40, 2}, {0, 2, 38, 3}, {39, 2, 40, 3}, {0, 3, 40, 6}}},
      // A minimum not below the maximum scans from the minimum to the last row.
      {1, 1, {{0, 0, 40, 1}, {1, 1, 39, 2}, {0, 2, 38, 3}, {39, 2, 40, 3}, {0, 3, 40, 6}}},
      // The built-in skin's limits: rows 0 to 5.
      {0, 5, {{3, 0, 37, 1}, {1, 1, 39, 2}, {0, 2, 38, 3}, {39, 2, 40, 3}, {0, 3, 40, 6}}},
      // Minimum -1 with a maximum: rows 0 to 1 only.
      {-1, 1, {{3, 0, 37, 1}, {1, 1, 39, 2}, {0, 2, 40, 6}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.minY << ".." << c.maxY);
    TestWindow window(PopupOptions());
    // The bottom image is not needed: the window stays whole down to its bottom.
    ApplySkinRegion(window.Handle(), title.get(), bottom.get(), true, false, c.minY, c.maxY, -1, -1, kTrans, kHeight,
                    kWidth);
    std::vector<RECT> rects = c.titleRects;
    rects.push_back(RECT{0, 6, 40, 30});
    win::UniqueRegion expected = HandMade(rects);
    EXPECT_TRUE(::EqualRgn(WindowRegion(window.Handle()).Get(), expected.Get()));
  }
}

TEST(SkinRegion, BottomOnlyAndAWholeWindow) {
  Owned<TBitmap> title = TitleImage(), bottom = BottomImage();
  TestWindow window(PopupOptions());
  // Bottom rows 3 only (limits 3, 3): rows 0 to 2 of it are added whole.
  ApplySkinRegion(window.Handle(), title.get(), bottom.get(), false, true, -1, -1, 3, 3, kTrans, kHeight, kWidth);
  win::UniqueRegion expected = HandMade({{0, 0, 40, 26}, {0, 26, 40, 29}, {2, 29, 38, 30}});
  EXPECT_TRUE(::EqualRgn(WindowRegion(window.Handle()).Get(), expected.Get()));

  // A transparent colour that is no RGB value cuts nothing out.
  ApplySkinRegion(window.Handle(), title.get(), bottom.get(), true, true, -1, -1, -1, -1, -1, kHeight, kWidth);
  win::UniqueRegion whole(::CreateRectRgn(0, 0, kWidth, kHeight));
  EXPECT_TRUE(::EqualRgn(WindowRegion(window.Handle()).Get(), whole.Get()));
}

TEST(SkinRegion, RectanglesComeInTopToBottomOrder) {
  Owned<TBitmap> title = TitleImage(), bottom = BottomImage();
  const std::vector<RECT> rects =
      SkinRegionRects({title.get(), true, -1, -1}, {bottom.get(), true, -1, -1}, kTrans, kHeight, kWidth);
  ASSERT_EQ(rects.size(), 12u);  // 1 + 1 + 2 + 3 title rows, the middle, 3 + 1 bottom rows
  for (std::size_t i = 1; i < rects.size(); ++i) {
    EXPECT_GE(rects[i].top, rects[i - 1].top);
    if (rects[i].top == rects[i - 1].top) {
      EXPECT_GE(rects[i].left, rects[i - 1].right);
    }
  }
  // The region made from them in one call is their union.
  win::UniqueRegion made = CreateRegionFromRects(rects);
  win::UniqueRegion expected = HandMade(rects);
  EXPECT_TRUE(::EqualRgn(made.Get(), expected.Get()));
}

TEST(WindowOutline, FramesTheWholeWindowInItsWindowDC) {
  TestWindow::Options o;
  o.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  o.bounds = RECT{60, 60, 260, 200};
  TestWindow window(o);
  PumpMessages(100);
  DrawWindowOutline(window.Handle(), clRed, clBlue, true);
  Image shot = CaptureWindow(window.Handle());
  ASSERT_EQ(shot.Width(), 200);
  ASSERT_EQ(shot.Height(), 140);
  const Pixel red = Rgb(255, 0, 0), blue = Rgb(0, 0, 255);
  EXPECT_EQ(shot.Count(0, 0, 200, 1, red), 200);
  EXPECT_EQ(shot.Count(0, 139, 200, 1, red), 200);
  EXPECT_EQ(shot.Count(0, 0, 1, 140, red), 140);
  EXPECT_EQ(shot.Count(199, 0, 1, 140, red), 140);
  EXPECT_EQ(shot.Count(1, 1, 198, 1, blue), 198);
  EXPECT_EQ(shot.Count(1, 138, 198, 1, blue), 198);
  EXPECT_EQ(shot.Count(1, 1, 1, 138, blue), 138);
  EXPECT_EQ(shot.Count(198, 1, 1, 138, blue), 138);
  EXPECT_EQ(shot.Count(2, 2, 196, 136, red) + shot.Count(2, 2, 196, 136, blue), 0);

  // Without the inner frame only the outer ring changes; the control form
  // draws on the control's window.
  TForm* form = Create<TForm>(nullptr);
  form->SetBounds(80, 80, 160, 120);
  form->Show();
  PumpMessages(100);
  const Image before = CaptureWindow(form->Handle());
  DrawWindowOutline(form, clLime, clBlue, false);
  shot = CaptureWindow(form->Handle());
  const Pixel lime = Rgb(0, 255, 0);
  EXPECT_EQ(shot.Count(0, 0, 160, 1, lime), 160);
  EXPECT_EQ(shot.Count(0, 0, 1, 120, lime), 120);
  for (int y = 1; y < 119; ++y)
    for (int x = 1; x < 159; ++x) ASSERT_EQ(shot.At(x, y), before.At(x, y)) << x << "," << y;
  form->Free();
}

TEST(ControlBorder, TwoPixelFrameAndTheLeftLineInTheBorderColour) {
  TForm* form = Create<TForm>(nullptr);
  form->SetBounds(100, 100, 200, 150);
  auto* control = Create<TWhiteControl>(form);
  control->SetParent(form);
  control->SetBounds(10, 10, 40, 30);
  auto* other = Create<TWhiteControl>(form);  // a neighbour that must stay as it was
  other->SetParent(form);
  other->SetBounds(60, 10, 40, 30);
  form->Show();
  PumpMessages(150);

  PaintControlBorder(control, clBlue, clRed);
  const Image shot = CaptureWindow(control->Handle());
  const Pixel red = Rgb(255, 0, 0), blue = Rgb(0, 0, 255), white = Rgb(255, 255, 255);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool edge = x < 2 || y < 2 || x >= 38 || y >= 28;
      const Pixel want = x == 0 ? blue : edge ? red : white;
      ASSERT_EQ(shot.At(x, y), want) << x << "," << y;
    }
  EXPECT_EQ(CaptureWindow(other->Handle()).Count(0, 0, 40, 30, white), 1200);
  form->Free();
}

TEST(ControlBorder, WindowlessControlIsPaintedOnItsParentAtItsPlace) {
  class TShape : public TGraphicControl {
   public:
    using TGraphicControl::TGraphicControl;
  };
  TForm* form = Create<TForm>(nullptr);
  form->SetBounds(120, 120, 200, 150);
  form->SetColor(clWhite);
  auto* shape = Create<TShape>(form);
  shape->SetParent(form);
  shape->SetBounds(20, 15, 30, 20);
  form->Show();
  PumpMessages(150);
  PaintControlBorder(shape, clBlue, clRed);
  const Image shot = CaptureWindow(form->Handle());
  const POINT o = ClientOrigin(form->Handle());
  const Pixel red = Rgb(255, 0, 0), blue = Rgb(0, 0, 255);
  EXPECT_EQ(shot.Count(o.x + 20, o.y + 15, 1, 20, blue), 20);
  EXPECT_EQ(shot.Count(o.x + 21, o.y + 15, 29, 2, red), 58);
  EXPECT_EQ(shot.Count(o.x + 48, o.y + 15, 2, 20, red), 40);
  EXPECT_EQ(shot.Count(o.x + 21, o.y + 33, 29, 2, red), 58);
  EXPECT_EQ(shot.Count(o.x + 22, o.y + 17, 26, 16, red), 0);  // inside untouched
  EXPECT_EQ(shot.Count(o.x + 19, o.y + 15, 1, 20, red) + shot.Count(o.x + 19, o.y + 15, 1, 20, blue), 0);
  form->Free();

  // Without a parent there is nothing to paint on, and no error.
  auto* orphan = Create<TShape>(nullptr);
  EXPECT_NO_THROW(PaintControlBorder(orphan, clBlue, clRed));
  orphan->Free();
}
