#include "skin/format/Bmp.h"

#include <bit>

namespace nuvskin::format {

namespace {

constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3;
constexpr std::size_t kFileHeaderSize = 14, kInfoHeaderSize = 40;

bool Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

// Value of `v & mask` scaled to 0..255.
std::uint32_t Channel(std::uint32_t v, std::uint32_t mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const std::uint32_t max = (bits >= 32) ? 0xFFFFFFFFu : ((1u << bits) - 1);
  const std::uint32_t raw = (v & mask) >> shift;
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(raw) * 255 + max / 2) / max);
}

}  // namespace

bool PeekBmp(ByteSpan file, int& width, int& height, int& bitsPerPixel) {
  if (file.size() < kFileHeaderSize + 16 || file[0] != 'B' || file[1] != 'M') return false;
  const std::uint8_t* info = file.data() + kFileHeaderSize;
  const std::uint32_t headerSize = LoadU32(info);
  if (headerSize < kInfoHeaderSize || file.size() < kFileHeaderSize + kInfoHeaderSize) return false;
  const auto w = static_cast<std::int32_t>(LoadU32(info + 4));
  const auto h = static_cast<std::int32_t>(LoadU32(info + 8));
  if (w <= 0 || h == 0 || h == INT32_MIN) return false;
  width = w;
  height = h < 0 ? -h : h;
  bitsPerPixel = LoadU16(info + 14);
  return true;
}

bool ParseBmp(ByteSpan file, BmpImage& out, std::string* error) {
  ByteReader r(file);
  std::uint8_t b0, b1;
  std::uint32_t fileSize, reserved, offBits, headerSize;
  if (!r.ReadU8(b0) || !r.ReadU8(b1) || b0 != 'B' || b1 != 'M') return Fail(error, "not a BMP file");
  if (!r.ReadU32(fileSize) || !r.ReadU32(reserved) || !r.ReadU32(offBits) || !r.ReadU32(headerSize))
    return Fail(error, "truncated file header");
  if (headerSize < kInfoHeaderSize || headerSize > 1024) return Fail(error, "unsupported info header");
  ByteSpan header;
  if (!r.Seek(kFileHeaderSize) || !r.ReadSpan(headerSize, header)) return Fail(error, "truncated info header");

  ByteReader h(header);
  std::uint32_t size;
  std::int32_t width, height;
  std::uint16_t planes, bpp;
  BmpImage img;
  h.ReadU32(size);
  h.ReadI32(width);
  h.ReadI32(height);
  h.ReadU16(planes);
  h.ReadU16(bpp);
  h.ReadU32(img.compression);
  h.ReadU32(img.sizeImage);
  h.ReadI32(img.xPelsPerMeter);
  h.ReadI32(img.yPelsPerMeter);
  h.ReadU32(img.clrUsed);
  h.ReadU32(img.clrImportant);

  if (planes != 1) return Fail(error, "bad plane count");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return Fail(error, "unsupported bit depth");
  if (width <= 0 || height == 0 || height == INT32_MIN) return Fail(error, "bad dimensions");
  img.topDown = height < 0;
  const std::int64_t absHeight = height < 0 ? -static_cast<std::int64_t>(height) : height;
  if (width > kMaxBmpDimension || absHeight > kMaxBmpDimension) return Fail(error, "dimensions too large");
  img.width = width;
  img.height = static_cast<int>(absHeight);
  img.bitsPerPixel = bpp;

  if (img.compression == kBiBitfields) {
    if (bpp != 16 && bpp != 32) return Fail(error, "bit fields need 16 or 32 bits per pixel");
    // Masks follow a 40-byte header; later headers hold them inside.
    ByteReader m(file);
    if (!m.Seek(kFileHeaderSize + kInfoHeaderSize) || !m.ReadU32(img.masks[0]) || !m.ReadU32(img.masks[1]) ||
        !m.ReadU32(img.masks[2]))
      return Fail(error, "truncated colour masks");
  } else if (img.compression != kBiRgb) {
    return Fail(error, "compressed BMP files are not supported");
  }

  if (bpp <= 8) {
    const std::uint32_t maxColors = 1u << bpp;
    const std::uint32_t count = img.clrUsed == 0 ? maxColors : img.clrUsed;
    if (count > maxColors) return Fail(error, "palette too large");
    std::size_t paletteOffset = kFileHeaderSize + headerSize;
    ByteReader p(file);
    if (!p.Seek(paletteOffset)) return Fail(error, "truncated palette");
    img.palette.resize(count);
    for (auto& entry : img.palette)
      if (!p.ReadU32(entry)) return Fail(error, "truncated palette");
    for (auto& entry : img.palette) entry &= 0x00FFFFFF;
  }

  const std::uint64_t stride = static_cast<std::uint64_t>(img.Stride());
  const std::uint64_t dataSize = stride * static_cast<std::uint64_t>(img.height);
  if (offBits > file.size() || dataSize > file.size() - offBits) return Fail(error, "truncated pixel data");
  img.bits.assign(file.begin() + offBits, file.begin() + offBits + static_cast<std::ptrdiff_t>(dataSize));
  out = std::move(img);
  return true;
}

std::vector<std::uint32_t> DecodeBmpPixels(const BmpImage& img) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(img.width) * img.height, 0);
  const int stride = img.Stride();
  auto paletteColor = [&](std::uint32_t index) -> std::uint32_t {
    if (index >= img.palette.size()) return 0;
    const std::uint32_t q = img.palette[index];  // 0x00RRGGBB
    return ((q >> 16) & 0xFF) | (q & 0xFF00) | ((q & 0xFF) << 16);
  };
  std::uint32_t masks[3] = {img.masks[0], img.masks[1], img.masks[2]};
  if (img.compression != kBiBitfields) {
    if (img.bitsPerPixel == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (img.bitsPerPixel == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  }
  for (int y = 0; y < img.height; ++y) {
    const int storedRow = img.topDown ? y : img.height - 1 - y;
    const std::uint8_t* row = img.bits.data() + static_cast<std::size_t>(storedRow) * stride;
    std::uint32_t* dst = px.data() + static_cast<std::size_t>(y) * img.width;
    for (int x = 0; x < img.width; ++x) {
      switch (img.bitsPerPixel) {
        case 1: dst[x] = paletteColor((row[x >> 3] >> (7 - (x & 7))) & 1); break;
        case 4: dst[x] = paletteColor((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF); break;
        case 8: dst[x] = paletteColor(row[x]); break;
        case 24: {
          const std::uint8_t* p = row + x * 3;  // B, G, R
          dst[x] = p[2] | (p[1] << 8) | (p[0] << 16);
          break;
        }
        case 16:
        case 32: {
          const std::uint32_t v = img.bitsPerPixel == 16 ? LoadU16(row + x * 2) : LoadU32(row + x * 4);
          dst[x] = Channel(v, masks[0]) | (Channel(v, masks[1]) << 8) | (Channel(v, masks[2]) << 16);
          break;
        }
      }
    }
  }
  return px;
}

BmpImage MakeBmp24(int width, int height, const std::vector<std::uint32_t>& pixels) {
  BmpImage img;
  img.width = width;
  img.height = height;
  img.bitsPerPixel = 24;
  const int stride = img.Stride();
  img.bits.assign(static_cast<std::size_t>(stride) * height, 0);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = img.bits.data() + static_cast<std::size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = pixels[static_cast<std::size_t>(y) * width + x];
      row[x * 3 + 0] = static_cast<std::uint8_t>(c >> 16);
      row[x * 3 + 1] = static_cast<std::uint8_t>(c >> 8);
      row[x * 3 + 2] = static_cast<std::uint8_t>(c);
    }
  }
  return img;
}

Bytes EncodeBmp(const BmpImage& img) {
  const bool bitfields = img.compression == kBiBitfields;
  const std::size_t extra = bitfields ? 12 : img.palette.size() * 4;
  const std::size_t offBits = kFileHeaderSize + kInfoHeaderSize + extra;
  ByteWriter w;
  w.Append("BM");
  w.U32(static_cast<std::uint32_t>(offBits + img.bits.size()));
  w.U32(0);
  w.U32(static_cast<std::uint32_t>(offBits));
  w.U32(kInfoHeaderSize);
  w.I32(img.width);
  w.I32(img.topDown ? -img.height : img.height);
  w.U16(1);
  w.U16(static_cast<std::uint16_t>(img.bitsPerPixel));
  w.U32(img.compression);
  w.U32(img.sizeImage);
  w.I32(img.xPelsPerMeter);
  w.I32(img.yPelsPerMeter);
  w.U32(img.clrUsed);
  w.U32(img.clrImportant);
  if (bitfields) {
    for (std::uint32_t m : img.masks) w.U32(m);
  } else {
    for (std::uint32_t q : img.palette) w.U32(q);
  }
  w.Append(img.bits);
  return w.Take();
}

}  // namespace nuvskin::format
