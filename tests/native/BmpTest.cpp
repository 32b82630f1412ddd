#include <gtest/gtest.h>

#include <algorithm>

#include "BmpFixtures.h"
#include "skin/format/Bmp.h"

using namespace nuvskin::format;
using namespace nuvskin::test;

namespace {

Bytes Sample24() {
  // 3 x 2: top row red, green, blue; bottom row white, black, magenta.
  return EncodeBmp(MakeBmp24(3, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x000000, 0xFF00FF}));
}

}  // namespace

TEST(Bmp, TwentyFourBitRoundTripsPixelsAndBytes) {
  const Bytes file = Sample24();
  ASSERT_EQ(file.size(), 54u + 2 * 12);  // rows padded to 12 bytes
  BmpImage img;
  ASSERT_TRUE(ParseBmp(file, img));
  EXPECT_EQ(img.width, 3);
  EXPECT_EQ(img.height, 2);
  EXPECT_EQ(img.bitsPerPixel, 24);
  const auto px = DecodeBmpPixels(img);
  EXPECT_EQ(px[0], 0x0000FFu);
  EXPECT_EQ(px[2], 0xFF0000u);
  EXPECT_EQ(px[5], 0xFF00FFu);
  EXPECT_EQ(EncodeBmp(img), file);
}

TEST(Bmp, PaletteDepthsAndTopDownRowsDecode) {
  BmpImage one;
  one.width = 9;
  one.height = 2;
  one.bitsPerPixel = 1;
  one.topDown = true;
  one.palette = {0x000000, 0xFFFFFF};
  one.bits.assign(static_cast<std::size_t>(one.Stride()) * 2, 0);
  one.bits[0] = 0x80;          // top row, x = 0 set
  one.bits[one.Stride()] = 0x00;
  one.bits[one.Stride() + 1] = 0x80;  // second row, x = 8 set
  BmpImage back;
  ASSERT_TRUE(ParseBmp(EncodeBmp(one), back));
  auto px = DecodeBmpPixels(back);
  EXPECT_EQ(px[0], 0xFFFFFFu);
  EXPECT_EQ(px[1], 0u);
  EXPECT_EQ(px[9 + 8], 0xFFFFFFu);

  BmpImage four;
  four.width = 2;
  four.height = 1;
  four.bitsPerPixel = 4;
  four.palette.assign(16, 0);
  four.palette[3] = 0x123456;  // stored as R=0x12, G=0x34, B=0x56
  four.bits = {0x30, 0, 0, 0};
  ASSERT_TRUE(ParseBmp(EncodeBmp(four), back));
  px = DecodeBmpPixels(back);
  EXPECT_EQ(px[0], 0x563412u);
  EXPECT_EQ(px[1], 0u);
}

TEST(Bmp, DamagedFilesAreRefused) {
  const Bytes good = Sample24();
  BmpImage img;
  std::string why;
  for (std::size_t cut : {std::size_t{0}, std::size_t{2}, std::size_t{20}, std::size_t{54}, good.size() - 1}) {
    const Bytes part(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(ParseBmp(part, img, &why)) << cut;
  }
  Bytes huge = good;
  huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x00;  // width 16 M
  EXPECT_FALSE(ParseBmp(huge, img, &why));
  EXPECT_EQ(why, "dimensions too large");
  Bytes claimsMore = good;
  claimsMore[22] = 0x00, claimsMore[23] = 0x10;  // height 4096, data for 2 rows
  EXPECT_FALSE(ParseBmp(claimsMore, img, &why));
  EXPECT_EQ(why, "truncated pixel data");
  Bytes rle = good;
  rle[30] = 1;
  EXPECT_FALSE(ParseBmp(rle, img));
}

namespace {

std::vector<std::uint32_t> Pixels(const Bytes& file) {
  BmpImage img;
  std::string why;
  EXPECT_TRUE(ParseBmp(file, img, &why)) << why;
  return DecodeBmpPixels(img);
}

}  // namespace

TEST(Bmp, VariantsPaintProgramsWriteDecodeToTheTwentyFourBitPicture) {
  const std::vector<std::uint32_t> expected = Pixels(PlainBmp(24));
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x < kPictureWidth; ++x) ASSERT_EQ(expected[y * kPictureWidth + x], PictureColor(x, y));
  const struct {
    const char* name;
    Bytes file;
  } variants[] = {
      {"rle8", Rle8Bmp()},
      {"rle4", Rle4Bmp()},
      {"core 4", CoreBmp(4)},
      {"core 8", CoreBmp(8)},
      {"core 24", CoreBmp(24)},
      {"16 5-5-5", PlainBmp(16)},
      {"16 5-6-5", PlainBmp(16, false, {0xF800, 0x07E0, 0x001F})},
      {"32 bit fields", PlainBmp(32, false, {0x000000FF, 0x0000FF00, 0x00FF0000})},
  };
  for (const auto& v : variants) EXPECT_EQ(Pixels(v.file), expected) << v.name;
  for (int bpp : {1, 4, 8, 16, 24, 32}) EXPECT_EQ(Pixels(PlainBmp(bpp, true)), Pixels(PlainBmp(bpp))) << bpp;

  // A delta (1 right, 2 up) and an early end of bitmap leave palette index 0.
  const std::vector<std::uint32_t> early = Pixels(RleBmp(8, kPictureWidth, kPictureHeight, {0, 2, 1, 2, 2, 3, 0, 1}));
  EXPECT_EQ(early[1], 0xFFFFFFu);
  EXPECT_EQ(early[2], 0xFFFFFFu);
  EXPECT_EQ(std::count(early.begin(), early.end(), 0u), kPictureWidth * kPictureHeight - 2);
}

TEST(Bmp, MalformedVariantsAreRefusedWithAReason) {
  auto rle8 = [](const Bytes& runs) { return RleBmp(8, kPictureWidth, kPictureHeight, runs); };
  Bytes topDownRle = Rle8Bmp();
  topDownRle[22] = 0xFD, topDownRle[23] = topDownRle[24] = topDownRle[25] = 0xFF;  // height -3
  Bytes rleDepth = Rle8Bmp();
  rleDepth[30] = 2;  // RLE4 runs in an 8-bit file
  Bytes shortPalette = CoreBmp(8);
  shortPalette.resize(14 + 12 + 3 * 100);
  const struct {
    Bytes file;
    const char* why;
  } cases[] = {
      {rle8({6, 1, 0, 1}), "RLE run past the row"},
      {rle8({0, 6, 1, 1, 1, 1, 1, 1, 0, 1}), "RLE run past the row"},
      {rle8({0, 0, 0, 0, 0, 0, 1, 1, 0, 1}), "RLE run past the row"},  // a fourth row
      {rle8({0, 2, 0, 3, 0, 1}), "RLE delta past the image"},
      {rle8({0, 2, 6, 0, 0, 1}), "RLE delta past the image"},
      {rle8({3, 1}), "truncated RLE data"},
      {rle8({0, 5, 1, 2}), "truncated RLE data"},
      {RleBmp(4, kPictureWidth, kPictureHeight, {0, 2, 1}), "truncated RLE data"},
      {topDownRle, "RLE bitmaps cannot be top-down"},
      {rleDepth, "RLE compression does not fit the bit depth"},
      {RleBmp(8, kMaxBmpDimension, kMaxBmpDimension, {0, 1}), "RLE bitmap too large for its data"},
      {PlainBmp(16, false, {0xF800, 0, 0x001F}), "bad colour masks"},
      {PlainBmp(16, false, {0xF800, 0x0FE0, 0x001F}), "bad colour masks"},
      {PlainBmp(16, false, {0x1F0000, 0x07E0, 0x001F}), "bad colour masks"},
      {shortPalette, "truncated palette"},
  };
  for (const auto& c : cases) {
    BmpImage img;
    std::string why;
    EXPECT_FALSE(ParseBmp(c.file, img, &why)) << c.why;
    EXPECT_EQ(why, c.why);
  }
}
