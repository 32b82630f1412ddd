// The library's own bitmaps in a program that brings none of its own: the
// check mark and the MDI glyphs come from the copies inside the library.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "draw/BitmapPrimitives.h"
#include "skin/LibraryBitmaps.h"
#include "skin/format/Bmp.h"

using namespace nuvskin;

namespace {

std::vector<TColor> Pixels(const TBitmap& b) {
  std::vector<TColor> pixels;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) pixels.push_back(b.PixelAt(x, y));
  return pixels;
}

}  // namespace

TEST(LibraryBitmaps, BothLoadAtTheirSizeFromPaletteFiles) {
  struct Case {
    const wchar_t* name;
    int width, height, bitsPerPixel;
  };
  for (const Case& c : {Case{kMenuCheckedBitmap, 16, 16, 4}, Case{kMdiControlerBitmap, 48, 16, 1}}) {
    SCOPED_TRACE(WideToUtf8(c.name));
    const auto file = LibraryBitmapFile(c.name);
    int width = 0, height = 0, bpp = 0;
    ASSERT_TRUE(format::PeekBmp(format::ByteSpan(file.data(), file.size()), width, height, bpp));
    EXPECT_EQ(bpp, c.bitsPerPixel);
    TBitmap b;
    LoadLibraryBitmap(&b, c.name);
    EXPECT_EQ(b.Width(), c.width);
    EXPECT_EQ(b.Height(), c.height);
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentColor(), clWhite);
  }
}

TEST(LibraryBitmaps, CheckMarkIsGreenWithAShadowAndDrawsWithoutItsWhite) {
  TBitmap mark;
  LoadLibraryBitmap(&mark, kMenuCheckedBitmap);
  int green = 0, shadow = 0, white = 0;
  for (TColor c : Pixels(mark)) {
    green += c == clGreen || c == clLime;
    shadow += c == clGray;
    white += c == clWhite;
  }
  EXPECT_GT(green, 20);
  EXPECT_GT(shadow, 5);
  EXPECT_EQ(green + shadow + white, 256);
  for (POINT p : {POINT{0, 0}, POINT{15, 0}, POINT{0, 15}, POINT{15, 15}}) EXPECT_EQ(mark.PixelAt(p.x, p.y), clWhite);
  EXPECT_EQ(mark.PixelAt(8, 8), clGreen);
  EXPECT_EQ(mark.PixelAt(13, 5), clGray);  // the shadow falls down and to the right

  TBitmap menu(16, 16);
  menu.Canvas()->Brush()->SetColor(clNavy);
  menu.Canvas()->FillRect(RECT{0, 0, 16, 16});
  menu.Canvas()->Draw(0, 0, &mark);
  EXPECT_EQ(menu.PixelAt(0, 0), clNavy);
  EXPECT_EQ(menu.PixelAt(8, 8), clGreen);
}

TEST(LibraryBitmaps, MdiGlyphsAreMinimizeRestoreAndClose) {
  TBitmap glyphs;
  LoadLibraryBitmap(&glyphs, kMdiControlerBitmap);
  for (TColor c : Pixels(glyphs)) ASSERT_TRUE(c == clBlack || c == clWhite);
  std::vector<TBitmap> frames(3);
  for (int i = 0; i < 3; ++i) CutFrame(&glyphs, &frames[static_cast<std::size_t>(i)], 3, i + 1);
  TBitmap& minimize = frames[0];
  TBitmap& restore = frames[1];
  TBitmap& close = frames[2];
  EXPECT_NE(Pixels(minimize), Pixels(restore));
  EXPECT_NE(Pixels(restore), Pixels(close));
  EXPECT_NE(Pixels(minimize), Pixels(close));

  // Minimize: a bar in the lower half and nothing above it.
  int top = 16;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (minimize.PixelAt(x, y) == clBlack) top = std::min(top, y);
  EXPECT_GE(top, 8);
  EXPECT_EQ(minimize.PixelAt(8, 11), clBlack);
  // Restore: the front window's frame lies over the back one's.
  EXPECT_EQ(restore.PixelAt(0, 6), clBlack);
  EXPECT_EQ(restore.PixelAt(11, 3), clBlack);
  EXPECT_EQ(restore.PixelAt(4, 10), clWhite);
  // Close: a cross, the same mirrored left to right, black at its centre.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(close.PixelAt(x, y), close.PixelAt(15 - x, y)) << x << "," << y;
  EXPECT_EQ(close.PixelAt(7, 7), clBlack);
}

TEST(LibraryBitmaps, UnknownNamesRaiseAndChangeNothing) {
  TBitmap b(5, 4);
  EXPECT_THROW(LoadLibraryBitmap(&b, L"NUVSKIN_NO_SUCH_BITMAP"), EInvalidGraphic);
  EXPECT_THROW(LoadLibraryBitmap(&b, L""), EInvalidGraphic);
  EXPECT_EQ(b.Width(), 5);
  EXPECT_EQ(b.Height(), 4);
  EXPECT_TRUE(LibraryBitmapFile(L"NUVSKIN_NO_SUCH_BITMAP").empty());
  EXPECT_NO_THROW(LoadLibraryBitmap(nullptr, kMenuCheckedBitmap));
}
