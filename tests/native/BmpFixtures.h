// One small picture written as the BMP variants paint programs produce:
// plain rows of every depth (bottom-up or top-down), bit fields, RLE8, RLE4
// and OS/2 core headers. Shared by the tests and the fuzz seeds.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "skin/format/Bmp.h"

namespace nuvskin::test {

constexpr int kPictureWidth = 5, kPictureHeight = 3;

// Palette as BMP files store it (0x00RRGGBB); pure channels, so that 16-bit
// pixels hold them exactly.
inline const std::vector<std::uint32_t> kPicturePalette = {0x000000, 0xFF0000, 0x00FF00, 0xFFFFFF};

// Palette index of each pixel, top row first.
inline constexpr std::array<std::uint8_t, kPictureWidth * kPictureHeight> kPictureIndexes = {
    1, 1, 1, 2, 3,  //
    0, 0, 2, 2, 2,  //
    3, 2, 1, 0, 0};

inline std::uint32_t PictureColor(int x, int y) {  // 0x00BBGGRR
  const std::uint32_t q = kPicturePalette[kPictureIndexes[static_cast<std::size_t>(y * kPictureWidth + x)]];
  return ((q >> 16) & 0xFF) | (q & 0xFF00) | ((q & 0xFF) << 16);
}

// The picture as plain rows of `bpp` bits; 16 and 32 bits use `masks` as
// BI_BITFIELDS when given, else 5-5-5 and 8-8-8.
inline format::Bytes PlainBmp(int bpp, bool topDown = false, std::array<std::uint32_t, 3> masks = {}) {
  format::BmpImage img;
  img.width = kPictureWidth;
  img.height = kPictureHeight;
  img.bitsPerPixel = bpp;
  img.topDown = topDown;
  if (bpp <= 8) img.palette.assign(std::size_t{1} << bpp, 0);
  for (std::size_t i = 0; i < kPicturePalette.size() && i < img.palette.size(); ++i) img.palette[i] = kPicturePalette[i];
  if (masks[0]) {
    img.compression = 3;
    for (int i = 0; i < 3; ++i) img.masks[i] = masks[static_cast<std::size_t>(i)];
  } else if (bpp == 16) {
    masks = {0x7C00, 0x03E0, 0x001F};
  } else {
    masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }
  auto scaled = [](std::uint32_t mask, std::uint32_t channel) {  // 0 or 255 into the mask
    return channel ? mask : 0u;
  };
  const std::size_t stride = static_cast<std::size_t>(img.Stride());
  img.bits.assign(stride * kPictureHeight, 0);
  for (int y = 0; y < kPictureHeight; ++y) {
    std::uint8_t* row = img.bits.data() + static_cast<std::size_t>(topDown ? y : kPictureHeight - 1 - y) * stride;
    for (int x = 0; x < kPictureWidth; ++x) {
      const std::uint8_t index = kPictureIndexes[static_cast<std::size_t>(y * kPictureWidth + x)];
      const std::uint32_t q = kPicturePalette[index];
      const std::uint32_t v =
          scaled(masks[0], q & 0xFF0000) | scaled(masks[1], q & 0xFF00) | scaled(masks[2], q & 0xFF);
      switch (bpp) {
        case 1: row[x / 8] |= static_cast<std::uint8_t>((index & 1) << (7 - x % 8)); break;
        case 4: row[x / 2] |= static_cast<std::uint8_t>(index << ((x % 2) ? 0 : 4)); break;
        case 8: row[x] = index; break;
        case 16: row[x * 2] = static_cast<std::uint8_t>(v), row[x * 2 + 1] = static_cast<std::uint8_t>(v >> 8); break;
        case 24: row[x * 3] = q & 0xFF, row[x * 3 + 1] = (q >> 8) & 0xFF, row[x * 3 + 2] = (q >> 16) & 0xFF; break;
        case 32:
          for (int b = 0; b < 4; ++b) row[x * 4 + b] = static_cast<std::uint8_t>(v >> (8 * b));
          break;
      }
    }
  }
  return format::EncodeBmp(img);
}

// "BM", the file size, reserved and the offset of the pixel data.
inline void WriteFileHeader(format::ByteWriter& w, std::size_t offBits, std::size_t dataSize) {
  w.Append("BM");
  w.U32(static_cast<std::uint32_t>(offBits + dataSize));
  w.U32(0);
  w.U32(static_cast<std::uint32_t>(offBits));
}

// A BI_RLE8 (bpp 8) or BI_RLE4 (bpp 4) file holding `runs` as its pixel data,
// with the picture's palette.
inline format::Bytes RleBmp(int bpp, int width, int height, const format::Bytes& runs) {
  const std::size_t offBits = 14 + 40 + 4 * kPicturePalette.size();
  format::ByteWriter w;
  WriteFileHeader(w, offBits, runs.size());
  w.U32(40);
  w.I32(width);
  w.I32(height);
  w.U16(1);
  w.U16(static_cast<std::uint16_t>(bpp));
  w.U32(bpp == 8 ? 1 : 2);
  w.U32(static_cast<std::uint32_t>(runs.size()));
  w.U32(0), w.U32(0);
  w.U32(static_cast<std::uint32_t>(kPicturePalette.size())), w.U32(0);
  for (std::uint32_t q : kPicturePalette) w.U32(q);
  w.Append(runs);
  return w.Take();
}

// The picture in RLE8 and RLE4, bottom row first, with every escape: runs,
// absolute runs (odd lengths padded), a delta over two index-0 pixels, end
// of line and end of bitmap.
inline format::Bytes Rle8Bmp() {
  return RleBmp(8, kPictureWidth, kPictureHeight,
                {0, 3, 3, 2, 1, 0, 2, 0, 0, 0,  // 3 2 1 | 0 0
                 0, 2, 2, 0, 3, 2, 0, 0,        // skip 2 | 2 2 2
                 3, 1, 1, 2, 1, 3, 0, 1});      // 1 1 1 | 2 | 3
}

inline format::Bytes Rle4Bmp() {
  return RleBmp(4, kPictureWidth, kPictureHeight,
                {0, 5, 0x32, 0x10, 0x00, 0, 0, 0,  // 3 2 1 0 0 (three bytes, padded)
                 0, 2, 2, 0, 3, 0x22, 0, 0,        // skip 2 | 2 2 2
                 3, 0x11, 2, 0x23, 0, 1});         // 1 1 1 | 2 3
}

// The picture with a 12-byte OS/2 core header and RGBTRIPLE palette.
inline format::Bytes CoreBmp(int bpp) {
  format::BmpImage plain;
  format::ParseBmp(PlainBmp(bpp), plain);
  const std::size_t offBits = 14 + 12 + 3 * plain.palette.size();
  format::ByteWriter w;
  WriteFileHeader(w, offBits, plain.bits.size());
  w.U32(12);
  w.U16(kPictureWidth);
  w.U16(kPictureHeight);
  w.U16(1);
  w.U16(static_cast<std::uint16_t>(bpp));
  for (std::uint32_t q : plain.palette) w.U8(q & 0xFF), w.U8((q >> 8) & 0xFF), w.U8((q >> 16) & 0xFF);
  w.Append(plain.bits);
  return w.Take();
}

}  // namespace nuvskin::test
