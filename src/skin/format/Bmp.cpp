#include "skin/format/Bmp.h"

#include <algorithm>
#include <bit>

namespace nuvskin::format {

namespace {

constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;
constexpr std::size_t kFileHeaderSize = 14, kCoreHeaderSize = 12, kInfoHeaderSize = 40;

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

bool IsSupportedHeaderSize(std::uint32_t size) {
  return size == kCoreHeaderSize || (size >= kInfoHeaderSize && size <= 1024);
}

// The fields both header layouts share: the 12-byte OS/2 core header keeps
// 16-bit sizes and nothing after the bit depth.
struct InfoHeader {
  std::uint32_t size = 0;
  std::int32_t width = 0, height = 0;
  std::uint16_t planes = 0, bpp = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t sizeImage = 0;
  bool core = false;
};

// `info` starts at the info header and holds all of it.
InfoHeader ReadInfoHeader(const std::uint8_t* info, std::uint32_t size) {
  InfoHeader h;
  h.size = size;
  if (size == kCoreHeaderSize) {
    h.core = true;
    h.width = LoadU16(info + 4);
    h.height = LoadU16(info + 6);
    h.planes = LoadU16(info + 8);
    h.bpp = LoadU16(info + 10);
    return h;
  }
  h.width = static_cast<std::int32_t>(LoadU32(info + 4));
  h.height = static_cast<std::int32_t>(LoadU32(info + 8));
  h.planes = LoadU16(info + 12);
  h.bpp = LoadU16(info + 14);
  h.compression = LoadU32(info + 16);
  h.sizeImage = LoadU32(info + 20);
  return h;
}

bool IsRle(std::uint32_t compression) { return compression == kBiRle8 || compression == kBiRle4; }

// Masks of BI_BITFIELDS: each channel present, inside the pixel, and no bit
// shared by two channels.
bool MasksValid(const std::uint32_t (&masks)[3], int bpp) {
  const std::uint32_t inside = bpp == 32 ? 0xFFFFFFFFu : ((1u << bpp) - 1);
  for (int i = 0; i < 3; ++i) {
    if (masks[i] == 0 || (masks[i] & ~inside)) return false;
    for (int j = i + 1; j < 3; ++j)
      if (masks[i] & masks[j]) return false;
  }
  return true;
}

// Decodes BI_RLE8 or BI_RLE4 data into bottom-up rows of `img` (width,
// height and depth set, bits sized and zeroed). Pixels the stream skips over
// (a delta, an early end of line or of bitmap) keep palette index 0, as the
// zeroed rows give them.
bool DecodeRle(ByteSpan data, bool four, BmpImage& img, std::string* error) {
  const std::size_t stride = static_cast<std::size_t>(img.Stride());
  const int width = img.width, height = img.height;
  auto put = [&](int x, int y, std::uint8_t index) {
    std::uint8_t* row = img.bits.data() + static_cast<std::size_t>(y) * stride;
    if (four)
      row[x >> 1] |= static_cast<std::uint8_t>((x & 1) ? index : index << 4);
    else
      row[x] = index;
  };
  ByteReader r(data);
  int x = 0, y = 0;
  std::uint8_t count, value;
  while (r.ReadU8(count) && r.ReadU8(value)) {
    if (count > 0) {  // a run of one index (RLE4: two nibbles taking turns)
      if (y >= height || count > width - x) return Fail(error, "RLE run past the row");
      for (int i = 0; i < count; ++i, ++x)
        put(x, y, four ? static_cast<std::uint8_t>((i & 1) ? value & 0xF : value >> 4) : value);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return true;
      case 2: {  // delta: move right and up
        std::uint8_t dx, dy;
        if (!r.ReadU8(dx) || !r.ReadU8(dy)) return Fail(error, "truncated RLE data");
        if (dx > width - x || dy >= height - y) return Fail(error, "RLE delta past the image");
        x += dx;
        y += dy;
        break;
      }
      default: {  // absolute run of `value` indexes, padded to 16 bits
        if (y >= height || value > width - x) return Fail(error, "RLE run past the row");
        const std::size_t bytes = four ? (value + 1u) / 2 : value;
        ByteSpan run;
        if (!r.ReadSpan(bytes, run) || !r.Skip(bytes & 1)) return Fail(error, "truncated RLE data");
        for (int i = 0; i < value; ++i, ++x)
          put(x, y, four ? static_cast<std::uint8_t>((i & 1) ? run[i / 2] & 0xF : run[i / 2] >> 4) : run[i]);
        break;
      }
    }
  }
  // No end-of-bitmap mark: only a stream that ended every row is whole.
  if (y < height) return Fail(error, "truncated RLE data");
  return true;
}

}  // namespace

bool PeekBmp(ByteSpan file, int& width, int& height, int& bitsPerPixel) {
  if (file.size() < kFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M') return false;
  const std::uint8_t* info = file.data() + kFileHeaderSize;
  const std::uint32_t headerSize = LoadU32(info);
  const std::size_t needed = headerSize == kCoreHeaderSize ? kCoreHeaderSize : kInfoHeaderSize;
  if (!IsSupportedHeaderSize(headerSize) || file.size() < kFileHeaderSize + needed) return false;
  const InfoHeader h = ReadInfoHeader(info, headerSize);
  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return false;
  width = h.width;
  height = h.height < 0 ? -h.height : h.height;
  bitsPerPixel = h.bpp;
  return true;
}

bool BmpFileSize(ByteSpan headers, std::uint64_t available, std::uint64_t& size) {
  int width = 0, height = 0, bpp = 0;
  if (!PeekBmp(headers, width, height, bpp)) return false;
  if (width > kMaxBmpDimension || height > kMaxBmpDimension || bpp > 32) return false;
  const std::uint32_t headerSize = LoadU32(headers.data() + kFileHeaderSize);
  const std::uint64_t headerEnd = kFileHeaderSize + headerSize;
  if (headers.size() < headerEnd) return false;
  const InfoHeader h = ReadInfoHeader(headers.data() + kFileHeaderSize, headerSize);
  const std::uint64_t offBits = LoadU32(headers.data() + 10);
  const std::uint64_t declared = LoadU32(headers.data() + 2);
  std::uint64_t end;
  if (IsRle(h.compression)) {
    // Compressed rows are as long as the header says, else the file is.
    if (h.sizeImage) end = offBits + h.sizeImage;
    else end = (declared > offBits && declared <= available) ? declared : available;
  } else {
    end = offBits + static_cast<std::uint64_t>(BmpImage::BmpStride(width, bpp)) * static_cast<std::uint64_t>(height);
  }
  end = std::max(end, headerEnd);
  if (end > available) return false;
  // The declared file size, when plausible, says where the next thing in a stream starts.
  if (declared > end && declared <= available) end = declared;
  size = end;
  return true;
}

bool ParseBmp(ByteSpan file, BmpImage& out, std::string* error) {
  ByteReader r(file);
  std::uint8_t b0, b1;
  std::uint32_t fileSize, reserved, offBits, headerSize;
  if (!r.ReadU8(b0) || !r.ReadU8(b1) || b0 != 'B' || b1 != 'M') return Fail(error, "not a BMP file");
  if (!r.ReadU32(fileSize) || !r.ReadU32(reserved) || !r.ReadU32(offBits) || !r.ReadU32(headerSize))
    return Fail(error, "truncated file header");
  if (!IsSupportedHeaderSize(headerSize)) return Fail(error, "unsupported info header");
  ByteSpan header;
  if (!r.Seek(kFileHeaderSize) || !r.ReadSpan(headerSize, header)) return Fail(error, "truncated info header");

  const InfoHeader h = ReadInfoHeader(header.data(), headerSize);
  BmpImage img;
  img.compression = h.compression;
  if (!h.core) {
    img.sizeImage = h.sizeImage;
    img.xPelsPerMeter = static_cast<std::int32_t>(LoadU32(header.data() + 24));
    img.yPelsPerMeter = static_cast<std::int32_t>(LoadU32(header.data() + 28));
    img.clrUsed = LoadU32(header.data() + 32);
    img.clrImportant = LoadU32(header.data() + 36);
  }

  const int bpp = h.bpp;
  if (h.planes != 1) return Fail(error, "bad plane count");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return Fail(error, "unsupported bit depth");
  if (h.core && bpp == 16) return Fail(error, "unsupported bit depth");
  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return Fail(error, "bad dimensions");
  img.topDown = h.height < 0;
  const std::int64_t absHeight = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
  if (h.width > kMaxBmpDimension || absHeight > kMaxBmpDimension) return Fail(error, "dimensions too large");
  img.width = h.width;
  img.height = static_cast<int>(absHeight);
  img.bitsPerPixel = bpp;

  if (img.compression == kBiBitfields) {
    if (bpp != 16 && bpp != 32) return Fail(error, "bit fields need 16 or 32 bits per pixel");
    // Masks follow a 40-byte header; later headers hold them inside.
    ByteReader m(file);
    if (!m.Seek(kFileHeaderSize + kInfoHeaderSize) || !m.ReadU32(img.masks[0]) || !m.ReadU32(img.masks[1]) ||
        !m.ReadU32(img.masks[2]))
      return Fail(error, "truncated colour masks");
    if (!MasksValid(img.masks, bpp)) return Fail(error, "bad colour masks");
  } else if (IsRle(img.compression)) {
    if (bpp != (img.compression == kBiRle8 ? 8 : 4)) return Fail(error, "RLE compression does not fit the bit depth");
    if (img.topDown) return Fail(error, "RLE bitmaps cannot be top-down");
  } else if (img.compression != kBiRgb) {
    return Fail(error, "unsupported compression");
  }

  if (bpp <= 8) {
    const std::uint32_t maxColors = 1u << bpp;
    const std::uint32_t count = img.clrUsed == 0 ? maxColors : img.clrUsed;
    if (count > maxColors) return Fail(error, "palette too large");
    const std::size_t entrySize = h.core ? 3 : 4;  // RGBTRIPLE or RGBQUAD
    const std::size_t paletteOffset = kFileHeaderSize + headerSize;
    if (paletteOffset > file.size() || (file.size() - paletteOffset) / entrySize < count)
      return Fail(error, "truncated palette");
    img.palette.resize(count);
    const std::uint8_t* p = file.data() + paletteOffset;
    for (auto& entry : img.palette) {
      entry = static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
      p += entrySize;
    }
  }

  const std::uint64_t stride = static_cast<std::uint64_t>(img.Stride());
  const std::uint64_t dataSize = stride * static_cast<std::uint64_t>(img.height);
  if (offBits > file.size()) return Fail(error, "truncated pixel data");
  if (IsRle(img.compression)) {
    ByteSpan data = file.subspan(offBits);
    if (img.sizeImage && img.sizeImage < data.size()) data = data.first(img.sizeImage);
    if (dataSize > kMaxRleSlack + kMaxRleExpansion * static_cast<std::uint64_t>(data.size()))
      return Fail(error, "RLE bitmap too large for its data");
    img.bits.assign(static_cast<std::size_t>(dataSize), 0);
    if (!DecodeRle(data, img.compression == kBiRle4, img, error)) return false;
    // From here on the rows are plain.
    img.compression = kBiRgb;
    img.sizeImage = 0;
  } else {
    if (dataSize > file.size() - offBits) return Fail(error, "truncated pixel data");
    img.bits.assign(file.begin() + offBits, file.begin() + offBits + static_cast<std::ptrdiff_t>(dataSize));
  }
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
