// Windows BMP files without Win32: a validating parser, pixel decoding and an
// encoder. The framework's TBitmap, the skin readers, nsktool and the skin art
// program all read and write BMP files through here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/format/Bytes.h"

namespace nuvskin::format {

// Largest width or height accepted; anything bigger is refused before any
// allocation. The pixel data must also be present in the file.
constexpr int kMaxBmpDimension = 32768;

// An RLE bitmap may unpack to at most this many bytes plus kMaxRleExpansion
// bytes per byte of compressed data; a small file claiming a huge picture
// is refused before its rows are allocated.
constexpr std::uint64_t kMaxRleSlack = 1u << 20;
constexpr std::uint64_t kMaxRleExpansion = 256;

struct BmpImage {
  int width = 0;
  int height = 0;           // always positive; see topDown
  int bitsPerPixel = 0;     // 1, 4, 8, 16, 24 or 32
  bool topDown = false;     // rows stored top row first (negative height in the file)
  std::uint32_t compression = 0;      // 0 BI_RGB or 3 BI_BITFIELDS (RLE files are unpacked to BI_RGB)
  std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue masks of BI_BITFIELDS
  std::vector<std::uint32_t> palette;  // RGBQUAD values as stored: 0x00RRGGBB
  // Header fields kept so that a file is written back as it was read.
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t sizeImage = 0;
  std::uint32_t clrUsed = 0;
  std::uint32_t clrImportant = 0;
  Bytes bits;  // pixel rows as stored, each Stride() bytes

  int Stride() const { return BmpStride(width, bitsPerPixel); }
  static int BmpStride(int width, int bitsPerPixel) {
    return static_cast<int>(((static_cast<std::int64_t>(width) * bitsPerPixel + 31) / 32) * 4);
  }
};

// Parses a complete BMP file ("BM", file header, the OS/2 core header or
// BITMAPINFOHEADER or a later version, optional palette or masks, pixel rows
// stored plain, as bit fields or BI_RLE8/BI_RLE4 runs). Returns false with a
// short reason in `error` when the file is damaged, truncated or unsupported.
bool ParseBmp(ByteSpan file, BmpImage& out, std::string* error = nullptr);

// Only the header: size and bit depth, for listings. False when damaged.
bool PeekBmp(ByteSpan file, int& width, int& height, int& bitsPerPixel);

// How many bytes the BMP file starting with `headers` (file header and the
// whole info header) takes in a stream of `available` bytes. False when the
// headers are damaged or the file cannot fit.
bool BmpFileSize(ByteSpan headers, std::uint64_t available, std::uint64_t& size);

// Pixels as colour values 0x00BBGGRR, top row first, width * height entries.
std::vector<std::uint32_t> DecodeBmpPixels(const BmpImage& image);

// A 24-bit BMP of 0x00BBGGRR pixels given top row first.
BmpImage MakeBmp24(int width, int height, const std::vector<std::uint32_t>& pixels);

// A BMP file: file header, 40-byte BITMAPINFOHEADER, palette or masks, rows.
Bytes EncodeBmp(const BmpImage& image);

}  // namespace nuvskin::format
