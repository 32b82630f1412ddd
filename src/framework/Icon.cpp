// TIcon: an owned HICON, .ico files in and out.
#include <algorithm>
#include <tuple>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "skin/format/Bytes.h"

namespace nuvskin {

namespace {

constexpr std::size_t kDirHeaderSize = 6, kDirEntrySize = 16;
// A 256 x 256 image of 32 bits with its mask needs about 270 KB.
constexpr std::uint32_t kMaxImageBytes = 4u << 20;

[[noreturn]] void InvalidIcon() { throw EInvalidGraphic(kInvalidIconMessage); }

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!icon || !::GetIconInfo(icon, &info)) return {0, 0};
  win::UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
  BITMAP bm{};
  if (!mask || !::GetObjectW(mask.Get(), sizeof(bm), &bm)) return {0, 0};
  // A monochrome icon keeps its AND and XOR halves one above the other.
  return {bm.bmWidth, color ? bm.bmHeight : bm.bmHeight / 2};
}

struct DirEntry {
  int width = 0, height = 0, bitCount = 0;
  std::uint32_t bytes = 0, offset = 0;
};

// A DIB image of an .ico file that CreateIconFromResourceEx can take
// without reading past its end; PNG images are left to the platform.
bool ValidIconImage(const format::Bytes& image) {
  static constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G'};
  if (image.size() >= 8 && std::equal(std::begin(kPng), std::end(kPng), image.begin())) return true;
  format::ByteReader r(image);
  std::uint32_t headerSize, compression;
  std::int32_t width, height;
  std::uint16_t planes, bpp;
  if (!r.ReadU32(headerSize) || !r.ReadI32(width) || !r.ReadI32(height) || !r.ReadU16(planes) || !r.ReadU16(bpp) ||
      !r.ReadU32(compression))
    return false;
  if (headerSize < 40 || width <= 0 || width > 256 || height <= 0 || height > 512 || planes != 1) return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  if (compression != BI_RGB) return false;
  const int rows = height / 2;
  const std::uint64_t palette = bpp <= 8 ? 4ull << bpp : 0;
  const std::uint64_t xorBytes = static_cast<std::uint64_t>(((width * bpp + 31) / 32) * 4) * rows;
  const std::uint64_t andBytes = static_cast<std::uint64_t>(((width + 31) / 32) * 4) * rows;
  return rows > 0 && headerSize + palette + xorBytes + andBytes <= image.size();
}

}  // namespace

TIcon::~TIcon() = default;

int TIcon::Width() const { return size_.cx; }

int TIcon::Height() const { return size_.cy; }

void TIcon::SetHandle(HICON icon) {
  win::UniqueIcon incoming(icon);
  size_ = IconSize(icon);
  handle_ = std::move(incoming);
  Changed();
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::wstring& name) {
  auto icon = static_cast<HICON>(::LoadImageW(instance, name.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  if (!icon) throw EResNotFound("Resource " + WideToUtf8(name) + " not found");
  SetHandle(icon);
}

void TIcon::LoadFromStream(TStream& stream) {
  const std::int64_t start = stream.Position();
  win::UniqueIcon icon;
  std::int64_t end = start;
  try {
    const std::int64_t available = stream.Size() - start;
    if (available < static_cast<std::int64_t>(kDirHeaderSize)) InvalidIcon();
    format::Bytes header(kDirHeaderSize);
    stream.ReadBuffer(header.data(), kDirHeaderSize);
    const std::uint16_t reserved = format::LoadU16(header.data()), type = format::LoadU16(header.data() + 2),
                        count = format::LoadU16(header.data() + 4);
    const std::uint64_t dirSize = kDirHeaderSize + kDirEntrySize * static_cast<std::uint64_t>(count);
    if (reserved != 0 || type != 1 || count == 0 || dirSize > static_cast<std::uint64_t>(available)) InvalidIcon();
    format::Bytes dir(kDirEntrySize * count);
    stream.ReadBuffer(dir.data(), static_cast<std::int64_t>(dir.size()));

    // The system's icon size first, then the most colours, then the largest.
    const int wanted = ::GetSystemMetrics(SM_CXICON);
    auto rank = [wanted](const DirEntry& e) { return std::make_tuple(e.width == wanted, e.bitCount, e.width); };
    DirEntry best;
    std::uint64_t dataEnd = dirSize;
    for (std::uint16_t i = 0; i < count; ++i) {
      const std::uint8_t* p = dir.data() + kDirEntrySize * i;
      DirEntry e;
      e.width = p[0] ? p[0] : 256;
      e.height = p[1] ? p[1] : 256;
      e.bitCount = format::LoadU16(p + 6);
      if (e.bitCount == 0) e.bitCount = p[2] ? (p[2] <= 2 ? 1 : p[2] <= 16 ? 4 : 8) : 8;
      e.bytes = format::LoadU32(p + 8);
      e.offset = format::LoadU32(p + 12);
      const std::uint64_t entryEnd = static_cast<std::uint64_t>(e.offset) + e.bytes;
      if (e.offset < dirSize || e.bytes == 0 || e.bytes > kMaxImageBytes ||
          entryEnd > static_cast<std::uint64_t>(available))
        InvalidIcon();
      dataEnd = std::max(dataEnd, entryEnd);
      if (i == 0 || rank(e) > rank(best)) best = e;
    }
    format::Bytes image(best.bytes);
    stream.SetPosition(start + best.offset);
    stream.ReadBuffer(image.data(), best.bytes);
    if (!ValidIconImage(image)) InvalidIcon();
    icon.Reset(::CreateIconFromResourceEx(image.data(), best.bytes, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
    if (!icon) InvalidIcon();
    end = start + static_cast<std::int64_t>(dataEnd);
  } catch (const EInvalidGraphic&) {
    stream.SetPosition(start);
    throw;
  } catch (const std::exception&) {
    stream.SetPosition(start);
    InvalidIcon();
  }
  stream.SetPosition(end);
  SetHandle(icon.Release());
}

void TIcon::SaveToStream(TStream& stream) {
  if (Empty()) return;
  ICONINFO info{};
  if (!::GetIconInfo(handle_.Get(), &info)) InvalidIcon();
  win::UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
  const int w = size_.cx, h = size_.cy;
  win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
  if (!dc || w <= 0 || h <= 0) InvalidIcon();

  // Colour rows at 32 bits; a monochrome icon's XOR half is the mask bitmap's lower half.
  const std::size_t xorStride = static_cast<std::size_t>(w) * 4;
  std::vector<std::uint8_t> xorBits(xorStride * h);
  BITMAPINFO colorInfo{};
  colorInfo.bmiHeader = {sizeof(BITMAPINFOHEADER), w, color ? h : 2 * h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  if (!::GetDIBits(dc.Get(), color ? color.Get() : mask.Get(), 0, h, xorBits.data(), &colorInfo, DIB_RGB_COLORS))
    InvalidIcon();

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } maskInfo{};
  maskInfo.header = {sizeof(BITMAPINFOHEADER), w, color ? h : 2 * h, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
  const std::size_t andStride = static_cast<std::size_t>((w + 31) / 32) * 4;
  std::vector<std::uint8_t> andBits(andStride * h);
  if (!::GetDIBits(dc.Get(), mask.Get(), color ? 0 : h, h, andBits.data(), reinterpret_cast<BITMAPINFO*>(&maskInfo),
                   DIB_RGB_COLORS))
    InvalidIcon();

  // Without any alpha the colour rows would read as fully transparent:
  // derive alpha from the mask.
  bool hasAlpha = false;
  for (std::size_t i = 3; i < xorBits.size() && !hasAlpha; i += 4) hasAlpha = xorBits[i] != 0;
  if (!hasAlpha) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool transparent = (andBits[y * andStride + x / 8] >> (7 - x % 8)) & 1;
        xorBits[y * xorStride + x * 4 + 3] = transparent ? 0 : 255;
      }
  }

  const auto imageBytes = static_cast<std::uint32_t>(40 + xorBits.size() + andBits.size());
  format::ByteWriter out;
  out.U16(0);
  out.U16(1);
  out.U16(1);
  out.U8(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
  out.U8(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
  out.U8(0);
  out.U8(0);
  out.U16(1);
  out.U16(32);
  out.U32(imageBytes);
  out.U32(kDirHeaderSize + kDirEntrySize);
  out.U32(40);
  out.I32(w);
  out.I32(2 * h);
  out.U16(1);
  out.U16(32);
  out.U32(BI_RGB);
  out.U32(static_cast<std::uint32_t>(xorBits.size() + andBits.size()));
  for (int i = 0; i < 4; ++i) out.U32(0);
  out.Append(xorBits);
  out.Append(andBits);
  stream.WriteBuffer(out.Data().data(), static_cast<std::int64_t>(out.Size()));
}

void TIcon::Assign(TPersistent* source) {
  if (auto* icon = dynamic_cast<TIcon*>(source)) {
    if (icon == this) return;
    HICON copy = icon->Empty() ? nullptr : ::CopyIcon(icon->Handle());
    if (!icon->Empty() && !copy) throw EOutOfResources("Out of system resources");
    SetHandle(copy);
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
  if (Empty()) return;
  ::DrawIconEx(canvas.Handle(), rect.left, rect.top, handle_.Get(), rect.right - rect.left, rect.bottom - rect.top, 0,
               nullptr, DI_NORMAL);
}

}  // namespace nuvskin
