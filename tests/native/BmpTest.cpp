#include <gtest/gtest.h>

#include "skin/format/Bmp.h"

using namespace nuvskin::format;

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
