// The bitmap and canvas primitives pixel by pixel on real DIBs: nine-grid
// and three-slice geometry, frames, turns, colour replacement, gradients,
// arrows, frames and fills.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GraphicsTestSupport.h"
#include "draw/NUVSkinUtils.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

constexpr TColor kMarker = 0x996633;  // what the target held before drawing
constexpr TColor kTrans = clFuchsia;

// Every pixel tells where it came from: red = x, green = y (blue 0x40 keeps
// it away from the marker and the transparent colour).
TColor Coded(int x, int y) { return MakeRGB(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0x40); }

Owned<TBitmap> CodedBitmap(int width, int height, TPixelFormat format = pf24bit) {
  Owned<TBitmap> b(Create<TBitmap>(width, height, format));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b->SetPixelAt(x, y, Coded(x, y));
  return b;
}

// Compares every pixel with `expected(x, y)` and reports the first misses.
template <class Expected>
void ExpectPixels(const TBitmap& b, Expected expected) {
  int misses = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const TColor want = expected(x, y);
      if (b.PixelAt(x, y) != want && ++misses <= 10)
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << b.PixelAt(x, y) << ", expected 0x"
                      << want;
    }
  EXPECT_EQ(misses, 0);
}

// The rows of a bitmap as text, '#' where the pixel has `color`.
std::vector<std::string> Picture(const TBitmap& b, const RECT& r, TColor color) {
  std::vector<std::string> rows;
  for (int y = r.top; y < r.bottom; ++y) {
    std::string row;
    for (int x = r.left; x < r.right; ++x) row += b.PixelAt(x, y) == color ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

// --- Nine-grid ----------------------------------------------------------------

TEST(NineGrid, ButtonFrameIntoHundredByThirty) {
  Owned<TBitmap> frame = CodedBitmap(84, 25);
  Owned<TBitmap> target = FilledBitmap(100, 30, kMarker);
  DrawNineGrid(frame.get(), target->Canvas(), RECT{0, 0, 100, 30}, true, kTrans);
  ExpectPixels(*target, [](int x, int y) {
    if (x == 41 && y >= 18) return Coded(42, y - 5);      // the bottom edge starts one column left
    if (x >= 42 && x <= 58) {                             // the one column between the corners
      if (y < 12) return Coded(42, y);                    // top edge
      if (y < 18) return Coded(42, 12);                   // centre, one row above the bottom corners
      return Coded(42, y - 5);                            // bottom edge, source rows 13 to 24
    }
    const int sx = x < 42 ? x : x - 16;                   // TR from source column 43 at x 59
    if (y < 12) return Coded(sx, y);                      // TL = (0, 0, 42, 12), TR = (59, 0, 100, 12)
    if (y < 19) return Coded(sx, 12);                     // left and right edges stretch row 12
    return Coded(sx, y - 5);                              // BL and BR: rows 19 to 29 from 14 to 24
  });
}

TEST(NineGrid, ExactSizePutsTheBottomCornersFromRowHMinusHhPlusOne) {
  Owned<TBitmap> frame = CodedBitmap(84, 25);
  Owned<TBitmap> target = FilledBitmap(84, 25, kMarker);
  DrawNineGrid(frame.get(), target->Canvas(), RECT{0, 0, 84, 25}, false, kTrans);
  ExpectPixels(*target, [](int x, int y) {
    if (x == 41 && y >= 13) return Coded(42, y);  // bottom edge, two columns wide here
    if (y == 13 && x != 42) return Coded(x, 12);  // left and right edges: rows 12 and 13 from row 12
    return Coded(x, y);                           // the corners at their own size, 1:1
  });
}

TEST(NineGrid, ThreeRowsOrFewerPaintOnlyTheTopLeftCorner) {
  Owned<TBitmap> frame = CodedBitmap(84, 25);
  for (int h : {1, 2, 3}) {
    SCOPED_TRACE(h);
    Owned<TBitmap> target = FilledBitmap(100, 10, kMarker);
    DrawNineGrid(frame.get(), target->Canvas(), RECT{0, 0, 100, h}, true, kTrans);
    const int cornerRows = h / 2;  // th rows of the corner, at most
    ExpectPixels(*target, [&](int x, int y) { return x < 42 && y < cornerRows ? Coded(x, y) : kMarker; });
  }
  Owned<TBitmap> target = FilledBitmap(100, 10, kMarker);
  DrawNineGrid(frame.get(), target->Canvas(), RECT{0, 5, 100, 5}, true, kTrans);  // no height: nothing
  EXPECT_EQ(CountColor(*target, RECT{0, 0, 100, 10}, kMarker), 1000);
}

TEST(NineGrid, EvenHeightTakesRowHhForTheLeftEdgeAndTheCentre) {
  Owned<TBitmap> frame = CodedBitmap(10, 8);  // hw 5, hh 4: rows 4 to 3 would be no row
  Owned<TBitmap> target = FilledBitmap(20, 20, kMarker);
  DrawNineGrid(frame.get(), target->Canvas(), RECT{0, 0, 20, 20}, false, kTrans);
  for (int y = 4; y < 16; ++y) {
    EXPECT_EQ(target->PixelAt(0, y), Coded(0, 4)) << y;    // left edge
    EXPECT_EQ(target->PixelAt(10, y), Coded(5, 4)) << y;   // centre
    EXPECT_EQ(target->PixelAt(19, y), Coded(9, 4)) << y;   // right edge
  }
  EXPECT_EQ(CountColor(*target, RECT{0, 0, 20, 20}, kMarker), 0);
}

TEST(NineGrid, CornersHonourTransparentEdgesAreAlwaysTransparent) {
  Owned<TBitmap> frame = CodedBitmap(84, 25);
  frame->SetPixelAt(0, 0, kTrans);    // top-left corner
  frame->SetPixelAt(42, 0, kTrans);   // the top edge's only column
  for (bool transparent : {true, false}) {
    SCOPED_TRACE(transparent);
    Owned<TBitmap> target = FilledBitmap(100, 30, kMarker);
    DrawNineGrid(frame.get(), target->Canvas(), RECT{0, 0, 100, 30}, transparent, kTrans);
    EXPECT_EQ(target->PixelAt(0, 0), transparent ? kMarker : kTrans);
    EXPECT_EQ(CountColor(*target, RECT{42, 0, 59, 1}, kMarker), 17);  // stretched edge, left out
    EXPECT_EQ(target->PixelAt(1, 0), Coded(1, 0));
  }
  // A skin without a transparent colour (-1) leaves everything opaque.
  Owned<TBitmap> target = FilledBitmap(100, 30, kMarker);
  DrawNineGrid(frame.get(), target->Canvas(), RECT{0, 0, 100, 30}, true, -1);
  EXPECT_EQ(CountColor(*target, RECT{0, 0, 100, 30}, kMarker), 0);
}

// --- Three slices -------------------------------------------------------------

TEST(ThreeSlice, CapsAtTheirSizeMiddleStretchedNothingStretchedVertically) {
  Owned<TBitmap> bar = CodedBitmap(30, 10);  // parts of 10 columns
  Owned<TBitmap> target = FilledBitmap(60, 40, kMarker);
  DrawThreeSliceH(bar.get(), target->Canvas(), RECT{5, 2, 55, 40}, false, kTrans);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const TColor c = target->PixelAt(x, y);
      if (y < 2 || y >= 12 || x < 5 || x >= 55) {
        EXPECT_EQ(c, kMarker) << x << "," << y;
      } else if (x < 15) {
        EXPECT_EQ(c, Coded(x - 5, y - 2)) << x << "," << y;
      } else if (x >= 45) {
        EXPECT_EQ(c, Coded(x - 25, y - 2)) << x << "," << y;
      } else {  // one of the middle part's columns, from the same row
        EXPECT_GE(c & 0xFF, 10) << x;
        EXPECT_LE(c & 0xFF, 19) << x;
        EXPECT_EQ((c >> 8) & 0xFF, y - 2);
      }
    }
}

TEST(ThreeSlice, NarrowerThanAPartDrawsTheLeftPartCut) {
  Owned<TBitmap> bar = CodedBitmap(30, 10);
  bar->SetPixelAt(1, 1, kTrans);
  for (bool transparent : {false, true}) {
    SCOPED_TRACE(transparent);
    Owned<TBitmap> target = FilledBitmap(20, 12, kMarker);
    DrawThreeSliceH(bar.get(), target->Canvas(), RECT{3, 1, 9, 11}, transparent, kTrans);
    ExpectPixels(*target, [&](int x, int y) {
      if (x < 3 || x >= 9 || y < 1 || y >= 11) return kMarker;
      if (x == 4 && y == 2) return transparent ? kMarker : kTrans;
      return Coded(x - 3, y - 1);
    });
  }
}

TEST(ThreeSlice, TransparentCapsLeaveTheMaskColourOut) {
  Owned<TBitmap> bar = CodedBitmap(30, 10);
  bar->SetPixelAt(0, 0, kTrans);   // left cap
  bar->SetPixelAt(29, 9, kTrans);  // right cap
  Owned<TBitmap> target = FilledBitmap(40, 10, kMarker);
  DrawThreeSliceH(bar.get(), target->Canvas(), RECT{0, 0, 40, 10}, true, kTrans);
  EXPECT_EQ(target->PixelAt(0, 0), kMarker);
  EXPECT_EQ(target->PixelAt(39, 9), kMarker);
  EXPECT_EQ(target->PixelAt(1, 0), Coded(1, 0));
  EXPECT_EQ(target->PixelAt(38, 9), Coded(28, 9));
}

TEST(StretchedThreeSlice, VerticalCapsMiddleAndOverlap) {
  Owned<TBitmap> bar = CodedBitmap(10, 30, pf32bit);
  Owned<TBitmap> target = FilledBitmap(20, 60, kMarker);
  StretchThreeSliceV(bar.get(), target->Canvas(), RECT{2, 0, 12, 50});  // caps of 10 rows
  EXPECT_EQ(bar->PixelFormat(), pf24bit);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 20; ++x) {
      const TColor c = target->PixelAt(x, y);
      if (x < 2 || x >= 12 || y >= 50) EXPECT_EQ(c, kMarker) << x << "," << y;
      else if (y < 10) EXPECT_EQ(c, Coded(x - 2, y));
      else if (y >= 40) EXPECT_EQ(c, Coded(x - 2, y - 20));
      else EXPECT_TRUE(((c >> 8) & 0xFF) >= 10 && ((c >> 8) & 0xFF) <= 19) << x << "," << y;
    }

  // Lower than two caps: each cap gets half, nothing outside the rectangle.
  target = FilledBitmap(20, 60, kMarker);
  StretchThreeSliceV(bar.get(), target->Canvas(), RECT{0, 20, 10, 33}, 10);
  ExpectPixels(*target, [](int x, int y) {
    if (x >= 10 || y < 20 || y >= 33) return kMarker;
    return y < 27 ? Coded(x, y - 20) : Coded(x, y - 33 + 30);  // 7 rows from the top, 6 from the bottom
  });

  // A negative Left draws nothing.
  target = FilledBitmap(20, 60, kMarker);
  StretchThreeSliceV(bar.get(), target->Canvas(), RECT{-1, 0, 12, 50});
  EXPECT_EQ(CountColor(*target, RECT{0, 0, 20, 60}, kMarker), 1200);
}

TEST(StretchedThreeSlice, HorizontalCapsMiddleAndOverlap) {
  Owned<TBitmap> bar = CodedBitmap(30, 10);
  Owned<TBitmap> target = FilledBitmap(60, 20, kMarker);
  StretchThreeSliceH(bar.get(), target->Canvas(), RECT{0, 5, 50, 15}, 8);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      const TColor c = target->PixelAt(x, y);
      if (x >= 50 || y < 5 || y >= 15) EXPECT_EQ(c, kMarker) << x << "," << y;
      else if (x < 8) EXPECT_EQ(c, Coded(x, y - 5));
      else if (x >= 42) EXPECT_EQ(c, Coded(x - 20, y - 5));
      else EXPECT_TRUE((c & 0xFF) >= 8 && (c & 0xFF) <= 21) << x << "," << y;
    }

  target = FilledBitmap(60, 20, kMarker);
  StretchThreeSliceH(bar.get(), target->Canvas(), RECT{4, 0, 15, 10}, 8);  // 11 wide: 6 + 5
  ExpectPixels(*target, [](int x, int y) {
    if (x < 4 || x >= 15 || y >= 10) return kMarker;
    return x < 10 ? Coded(x - 4, y) : Coded(x - 15 + 30, y);
  });

  target = FilledBitmap(60, 20, kMarker);
  StretchThreeSliceH(bar.get(), target->Canvas(), RECT{-5, 0, 50, 10}, 8);
  EXPECT_EQ(CountColor(*target, RECT{0, 0, 60, 20}, kMarker), 1200);
}

TEST(StretchHalftone, WholeBitmapIntoTheRectangle) {
  Owned<TBitmap> source = FilledBitmap(4, 4, clRed);
  Owned<TBitmap> target = FilledBitmap(20, 20, kMarker);
  StretchHalftone(source.get(), target->Canvas(), RECT{2, 3, 14, 11});
  ExpectPixels(*target, [](int x, int y) { return x >= 2 && x < 14 && y >= 3 && y < 11 ? clRed : kMarker; });
}

// --- Frames and turns -----------------------------------------------------------

TEST(CutFrame, EqualFramesFromTheLeftAndLeftoverColumnsInNone) {
  Owned<TBitmap> buttons = CodedBitmap(252, 25);
  Owned<TBitmap> frame(Create<TBitmap>(1, 1, pf32bit));
  CutFrame(buttons.get(), frame.get(), 3, 3);
  EXPECT_EQ(frame->Width(), 84);
  EXPECT_EQ(frame->Height(), 25);
  EXPECT_EQ(frame->PixelFormat(), pf32bit);
  ExpectPixels(*frame, [](int x, int y) { return Coded(x + 168, y); });

  Owned<TBitmap> narrow = CodedBitmap(100, 5);
  for (int index = 1; index <= 3; ++index) {
    CutFrame(narrow.get(), frame.get(), 3, index);
    EXPECT_EQ(frame->Width(), 33);
    ExpectPixels(*frame, [&](int x, int y) { return Coded(x + 33 * (index - 1), y); });
    EXPECT_EQ(CountColor(*frame, RECT{0, 0, 33, 5}, Coded(99, 0)), 0);
  }
  CutFrame(nullptr, frame.get(), 3, 1);  // no source: nothing happens
  EXPECT_EQ(frame->Width(), 33);
}

TEST(Turns, ThreeByOneBothWaysAndHalfTurn) {
  Owned<TBitmap> rgb(Create<TBitmap>(3, 1));
  rgb->SetPixelAt(0, 0, clRed);
  rgb->SetPixelAt(1, 0, clLime);
  rgb->SetPixelAt(2, 0, clBlue);
  Owned<TBitmap> ccw(Create<TBitmap>());
  ccw->Assign(rgb.get());
  RotateBitmap90CCW(ccw.get());
  ASSERT_EQ(ccw->Width(), 1);
  ASSERT_EQ(ccw->Height(), 3);
  EXPECT_EQ(ccw->PixelAt(0, 0), clBlue);
  EXPECT_EQ(ccw->PixelAt(0, 1), clLime);
  EXPECT_EQ(ccw->PixelAt(0, 2), clRed);

  RotateBitmap90CW(rgb.get());
  ASSERT_EQ(rgb->Width(), 1);
  ASSERT_EQ(rgb->Height(), 3);
  EXPECT_EQ(rgb->PixelAt(0, 0), clRed);
  EXPECT_EQ(rgb->PixelAt(0, 1), clLime);
  EXPECT_EQ(rgb->PixelAt(0, 2), clBlue);

  for (TPixelFormat format : {pf24bit, pf32bit}) {
    Owned<TBitmap> b = CodedBitmap(5, 3, format);
    RotateBitmap180(b.get());
    EXPECT_EQ(b->PixelFormat(), format);
    ExpectPixels(*b, [](int x, int y) { return Coded(4 - x, 2 - y); });
    RotateBitmap90CCW(b.get());  // new (y, W - 1 - x) := old (x, y)
    ExpectPixels(*b, [](int x, int y) { return Coded(4 - (4 - y), 2 - x); });
    RotateBitmap90CW(b.get());
    RotateBitmap180(b.get());
    ExpectPixels(*b, [](int x, int y) { return Coded(x, y); });
  }
}

TEST(ReplaceColor, RgbOnlySystemColoursAndMinusOneMatchNothing) {
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  Owned<TBitmap> b = FilledBitmap(4, 2, static_cast<TColor>(face), pf32bit);
  b->SetPixelAt(0, 0, clRed);
  ReplaceColor(b.get(), clBtnFace, clLime);
  EXPECT_EQ(b->PixelFormat(), pf24bit);
  EXPECT_EQ(CountColor(*b, RECT{0, 0, 4, 2}, static_cast<TColor>(face)), 7);
  ReplaceColor(b.get(), -1, clLime);
  EXPECT_EQ(CountColor(*b, RECT{0, 0, 4, 2}, clLime), 0);
  ReplaceColor(b.get(), clRed, clBtnFace);  // the new colour is resolved
  EXPECT_EQ(CountColor(*b, RECT{0, 0, 4, 2}, static_cast<TColor>(face)), 8);
}

TEST(Colours, MakeSplitAndInvert) {
  EXPECT_EQ(MakeRGB(0x12, 0x34, 0x56), 0x563412);
  std::uint8_t r, g, b;
  SplitRGB(clBtnFace, r, g, b);
  EXPECT_EQ(MakeRGB(r, g, b), static_cast<TColor>(::GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(InvertColor(0x203040), 0xDFCFBF);
}

// --- Canvas primitives --------------------------------------------------------

TEST(Gradients, VerticalRowsFromStartToEnd) {
  Owned<TBitmap> b = FilledBitmap(6, 7, kMarker);
  const TColor start = MakeRGB(200, 10, 0), end = MakeRGB(0, 110, 50);
  GradientFillV(b->Canvas(), RECT{1, 1, 5, 6}, start, end);  // five rows
  // start + Trunc((end - start) / 5 x (y - top - 1)), per channel
  const TColor rows[5] = {start, MakeRGB(200, 10, 0), MakeRGB(160, 30, 10), MakeRGB(120, 50, 20), end};
  ExpectPixels(*b, [&](int x, int y) { return x >= 1 && x < 5 && y >= 1 && y < 6 ? rows[y - 1] : kMarker; });

  b = FilledBitmap(6, 3, kMarker);
  GradientFillV(b->Canvas(), RECT{0, 1, 6, 2}, start, end);  // one row: the end colour
  ExpectPixels(*b, [&](int, int y) { return y == 1 ? end : kMarker; });
  GradientFillV(b->Canvas(), RECT{0, 2, 6, 2}, start, end);  // no row: nothing
  EXPECT_EQ(CountColor(*b, RECT{0, 2, 6, 3}, kMarker), 6);
}

TEST(Gradients, HorizontalFirstInnerColumnIsAlreadyAStepAway) {
  Owned<TBitmap> b = FilledBitmap(7, 3, kMarker);
  const TColor start = MakeRGB(200, 10, 0), end = MakeRGB(0, 110, 50);
  GradientFillH(b->Canvas(), RECT{1, 0, 6, 2}, start, end);
  const TColor columns[5] = {start, MakeRGB(160, 30, 10), MakeRGB(120, 50, 20), MakeRGB(80, 70, 30), end};
  ExpectPixels(*b, [&](int x, int y) { return x >= 1 && x < 6 && y < 2 ? columns[x - 1] : kMarker; });

  b = FilledBitmap(3, 2, kMarker);
  GradientFillH(b->Canvas(), RECT{1, 0, 2, 2}, start, end);
  ExpectPixels(*b, [&](int x, int) { return x == 1 ? end : kMarker; });
}

TEST(Arrows, EnabledBlackDisabledGreyOverAWhiteShadow) {
  using Draw = void (*)(TCanvas*, int, int, bool);
  struct Case {
    Draw draw;
    const char* name;
    int x, y;
    std::vector<std::string> shape;  // from (4, 4)
  };
  const Case cases[] = {
      {DrawArrowDown, "down", 4, 4, {"#######", ".#####.", "..###..", "...#...", "......."}},
      {DrawArrowUp, "up", 7, 4, {"...#...", "..###..", ".#####.", "#######", "......."}},
      {DrawArrowLeft, "left", 4, 7, {"...#...", "..##...", ".###...", "####...", ".###...", "..##...", "...#..."}},
      {DrawArrowRight, "right", 4, 4, {"#......", "##.....", "###....", "####...", "###....", "##.....", "#......"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int h = static_cast<int>(c.shape.size());
    Owned<TBitmap> b = FilledBitmap(16, 16, kMarker);
    c.draw(b->Canvas(), c.x, c.y, true);
    EXPECT_EQ(Picture(*b, RECT{4, 4, 11, 4 + h}, clBlack), c.shape);
    EXPECT_EQ(CountColor(*b, RECT{0, 0, 16, 16}, kMarker) + CountColor(*b, RECT{0, 0, 16, 16}, clBlack), 256);

    b = FilledBitmap(16, 16, kMarker);
    c.draw(b->Canvas(), c.x, c.y, false);
    EXPECT_EQ(Picture(*b, RECT{4, 4, 11, 4 + h}, clGray), c.shape);
    // The white shadow shows only where the grey triangle, moved by (1, 1), does not cover it.
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const bool grey = y >= 4 && y < 4 + h && x >= 4 && x < 11 && c.shape[y - 4][x - 4] == '#';
        const bool shadow = y >= 5 && y < 5 + h && x >= 5 && x < 12 && c.shape[y - 5][x - 5] == '#';
        EXPECT_EQ(b->PixelAt(x, y), grey ? clGray : shadow ? clWhite : kMarker) << x << "," << y;
      }
  }
}

TEST(FrameAndFill, OneColourThroughTheBrush) {
  Owned<TBitmap> b = FilledBitmap(10, 10, kMarker);
  FillRectColor(b->Canvas(), RECT{2, 2, 8, 8}, clBlue);
  FrameRectColor(b->Canvas(), RECT{1, 1, 9, 9}, clRed);
  EXPECT_EQ(b->Canvas()->Brush()->Color(), clRed);
  ExpectPixels(*b, [](int x, int y) {
    if (x < 1 || x > 8 || y < 1 || y > 8) return kMarker;
    if (x == 1 || x == 8 || y == 1 || y == 8) return clRed;
    return clBlue;
  });
}

// --- Handles ------------------------------------------------------------------

TEST(DrawLeaks, PrimitivesGiveBackEveryGdiObject) {
  Owned<TBitmap> frame = CodedBitmap(84, 25);
  frame->SetPixelAt(0, 0, kTrans);
  Owned<TBitmap> target = FilledBitmap(120, 60, kMarker);
  TestWindow window(TestWindow::Options{WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 84, 40}});
  auto round = [&] {
    DrawNineGrid(frame.get(), target->Canvas(), RECT{0, 0, 100, 30}, true, kTrans);
    DrawThreeSliceH(frame.get(), target->Canvas(), RECT{0, 30, 120, 60}, true, kTrans);
    StretchThreeSliceV(frame.get(), target->Canvas(), RECT{0, 0, 30, 60});
    StretchThreeSliceH(frame.get(), target->Canvas(), RECT{0, 0, 120, 20}, 10);
    Owned<TBitmap> piece(Create<TBitmap>());
    CutFrame(frame.get(), piece.get(), 3, 2);
    RotateBitmap90CW(piece.get());
    GradientFillV(target->Canvas(), RECT{0, 0, 10, 10}, clRed, clBlue);
    GradientFillH(target->Canvas(), RECT{0, 0, 10, 10}, clRed, clBlue);
    DrawArrowDown(target->Canvas(), 5, 5, false);
    DrawWindowOutline(window.Handle(), clRed, clBlue, true);
    ApplySkinRegion(window.Handle(), frame.get(), frame.get(), true, true, -1, -1, -1, -1, kTrans, 40, 84);
  };
  round();  // the first round makes the objects that stay (pens, the canvases' DCs)
  const int before = GdiHeadroom();
  for (int i = 0; i < 200; ++i) round();
  EXPECT_EQ(GdiHeadroom(), before);
}
