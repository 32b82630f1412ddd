// The library's own bitmaps in a program that brings none of its own: the
// check mark (as the engine's menus hold it) and the MDI glyphs come from
// the copies inside the library.
#include <gtest/gtest.h>

#include <vector>

#include "draw/BitmapPrimitives.h"
#include "engine/EngineUnit.h"
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

TEST(LibraryBitmaps, TheyDrawWithoutTheirWhiteAndTheMdiFramesDiffer) {
  // As menus draw it: through the engine's check-mark image list, white masked.
  ASSERT_EQ(CheckedMenuImages()->Count(), 1);
  TBitmap menu(16, 16);
  menu.Canvas()->Brush()->SetColor(clNavy);
  menu.Canvas()->FillRect(RECT{0, 0, 16, 16});
  CheckedMenuImages()->Draw(menu.Canvas(), 0, 0, 0);
  EXPECT_EQ(menu.PixelAt(0, 0), clNavy);
  EXPECT_EQ(menu.PixelAt(8, 8), clGreen);

  TBitmap glyphs;
  LoadLibraryBitmap(&glyphs, kMdiControlerBitmap);
  std::vector<TBitmap> frames(3);
  for (int i = 0; i < 3; ++i) CutFrame(&glyphs, &frames[static_cast<std::size_t>(i)], 3, i + 1);
  EXPECT_NE(Pixels(frames[0]), Pixels(frames[1]));
  EXPECT_NE(Pixels(frames[1]), Pixels(frames[2]));
  EXPECT_NE(Pixels(frames[0]), Pixels(frames[2]));
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
