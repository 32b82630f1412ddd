// TBitmap: a DIB section with a memory DC for its canvas, BMP files in and out.
#include <algorithm>
#include <cstring>
#include <new>

#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "skin/format/Bmp.h"

namespace nuvskin {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

int BitsPerPixel(TPixelFormat format) { return format == pf32bit ? 32 : 24; }

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(kInvalidBitmapMessage); }

// One BMP file from the stream's position: the headers first, then exactly
// the bytes they promise. Nothing is allocated for pixel data the stream
// does not hold. False when the headers are damaged or the data is short.
bool ReadBmpFile(TStream& stream, format::Bytes& file) {
  const std::int64_t available = stream.Size() - stream.Position();
  constexpr std::size_t kPrefix = kFileHeaderSize + 4;
  if (available < static_cast<std::int64_t>(kPrefix)) return false;
  file.resize(kPrefix);
  stream.ReadBuffer(file.data(), kPrefix);
  const std::uint32_t headerSize = format::LoadU32(file.data() + kFileHeaderSize);
  if (file[0] != 'B' || file[1] != 'M' || headerSize < 12 || headerSize > 1024) return false;
  const std::size_t headerEnd = kFileHeaderSize + headerSize;
  if (static_cast<std::int64_t>(headerEnd) > available) return false;
  file.resize(headerEnd);
  stream.ReadBuffer(file.data() + kPrefix, static_cast<std::int64_t>(headerEnd - kPrefix));

  std::uint64_t end = 0;
  if (!format::BmpFileSize(file, static_cast<std::uint64_t>(available), end) || end > SIZE_MAX) return false;
  file.resize(static_cast<std::size_t>(end));
  stream.ReadBuffer(file.data() + headerEnd, static_cast<std::int64_t>(end - headerEnd));
  return true;
}

}  // namespace

struct TBitmap::Dib {
  win::UniqueBitmap bitmap;
  std::uint8_t* bits = nullptr;
  int width = 0, height = 0;
  TPixelFormat format = pf24bit;
  std::size_t Stride() const { return static_cast<std::size_t>(format::BmpImage::BmpStride(width, BitsPerPixel(format))); }
  // Row y counted from the top; DIB rows are stored bottom-up.
  std::uint8_t* Row(int y) const { return bits + static_cast<std::size_t>(height - 1 - y) * Stride(); }
};

// The bitmap's canvas draws into the bitmap's memory DC.
class TBitmap::BitmapCanvas : public TCanvas {
 public:
  explicit BitmapCanvas(TBitmap& owner) : owner_(owner) {}

 protected:
  void CreateHandle() override { SetHandle(owner_.SelectIntoDC()); }

 private:
  TBitmap& owner_;
};

TBitmap::Dib TBitmap::CreateDib(int width, int height, TPixelFormat format) {
  Dib dib;
  dib.format = format == pf32bit ? pf32bit : pf24bit;
  if (width <= 0 || height <= 0) return dib;
  if (width > format::kMaxBmpDimension || height > format::kMaxBmpDimension)
    throw EOutOfResources("Out of system resources");
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(BitsPerPixel(dib.format));
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dib.bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib.bitmap || !bits) throw EOutOfResources("Out of system resources");
  dib.bits = static_cast<std::uint8_t*>(bits);
  dib.width = width;
  dib.height = height;
  return dib;
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) { Adopt(CreateDib(width, height, format)); }

TBitmap::~TBitmap() {
  TObject::Free(canvas_);
  canvas_ = nullptr;
  FreeContext();
}

HDC TBitmap::SelectIntoDC() const {
  if (!dc_) {
    dc_.Reset(::CreateCompatibleDC(nullptr));
    if (!dc_) throw EOutOfResources("Out of system resources");
  }
  if (bitmap_ && !oldBitmap_) oldBitmap_ = ::SelectObject(dc_.Get(), bitmap_.Get());
  return dc_.Get();
}

void TBitmap::FreeContext() const {
  if (canvas_) canvas_->SetHandle(nullptr);
  if (oldBitmap_) ::SelectObject(dc_.Get(), oldBitmap_);
  oldBitmap_ = nullptr;
  dc_.Reset();
}

HBITMAP TBitmap::Handle() const {
  FreeContext();
  return bitmap_.Get();
}

// Takes `dib` as the bitmap's pixels; while a memory DC exists the DIB in it
// is swapped, so the canvas keeps drawing into the bitmap.
TBitmap::Dib TBitmap::DibFor(int width, int height, TPixelFormat format) {
  // The size and format the bitmap has: its own DIB takes the new pixels, so
  // that reloading a skin costs the platform no new bitmaps.
  if (bits_ && width == width_ && height == height_ && format == format_) {
    ::GdiFlush();
    return Dib{{}, bits_, width_, height_, format_};
  }
  return CreateDib(width, height, format);
}

void TBitmap::Adopt(Dib&& dib) {
  if (dib.bits && dib.bits == bits_ && !dib.bitmap) {  // from DibFor: the pixels are already ours
    Changed();
    return;
  }
  if (oldBitmap_) ::SelectObject(dc_.Get(), oldBitmap_);
  oldBitmap_ = nullptr;
  bitmap_ = std::move(dib.bitmap);
  bits_ = dib.bits;
  width_ = dib.width;
  height_ = dib.height;
  format_ = dib.format;
  if (dc_ && bitmap_) oldBitmap_ = ::SelectObject(dc_.Get(), bitmap_.Get());
  Changed();
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = Create<BitmapCanvas>(*this);
  return canvas_;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  Dib dib = CreateDib(width, height, format_);
  if (dib.bits && bits_) {
    ::GdiFlush();
    const Dib old{{}, bits_, width_, height_, format_};
    const std::size_t rowBytes = static_cast<std::size_t>(std::min(width, width_)) * (BitsPerPixel(format_) / 8);
    for (int y = 0; y < std::min(height, height_); ++y) std::memcpy(dib.Row(y), old.Row(y), rowBytes);
  }
  Adopt(std::move(dib));
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  value = value == pf32bit ? pf32bit : pf24bit;
  if (value == format_) return;
  Dib dib = CreateDib(width_, height_, value);
  if (dib.bits) {
    ::GdiFlush();
    const Dib old{{}, bits_, width_, height_, format_};
    const int from = BitsPerPixel(format_) / 8, to = BitsPerPixel(value) / 8;
    for (int y = 0; y < height_; ++y) {
      const std::uint8_t* s = old.Row(y);
      std::uint8_t* d = dib.Row(y);
      for (int x = 0; x < width_; ++x, s += from, d += to) std::memcpy(d, s, 3);
    }
  }
  Adopt(std::move(dib));
}

int TBitmap::Stride() const { return format::BmpImage::BmpStride(width_, BitsPerPixel(format_)); }

std::uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
  ::GdiFlush();  // GDI may still be drawing into the DIB
  return bits_ + static_cast<std::size_t>(height_ - 1 - y) * Stride();
}

TColor TBitmap::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) throw EInvalidGraphicOperation("Pixel index out of range");
  ::GdiFlush();
  const std::uint8_t* p =
      bits_ + static_cast<std::size_t>(height_ - 1 - y) * Stride() + static_cast<std::size_t>(x) * (BitsPerPixel(format_) / 8);
  return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16));
}

void TBitmap::SetPixelAt(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) throw EInvalidGraphicOperation("Pixel index out of range");
  const COLORREF rgb = ColorToRGB(color);
  std::uint8_t* p = ScanLine(y) + static_cast<std::size_t>(x) * (BitsPerPixel(format_) / 8);
  p[0] = GetBValue(rgb);
  p[1] = GetGValue(rgb);
  p[2] = GetRValue(rgb);
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
  return Empty() ? clDefault : PixelAt(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor value) {
  transparentColor_ = value;
  transparentMode_ = value == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == transparentMode_) return;
  // Fixing the colour without naming one keeps the colour seen until now.
  if (value == tmFixed && transparentColor_ == clDefault) transparentColor_ = TransparentColor();
  transparentMode_ = value;
  Changed();
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
  if (Empty()) return;
  HDC dst = canvas.Handle();
  HDC src = SelectIntoDC();
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  win::ColorStretchScope stretch(dst);
  if (Transparent()) {
    ::TransparentBlt(dst, rect.left, rect.top, w, h, src, 0, 0, width_, height_, ColorToRGB(TransparentColor()));
  } else if (w == width_ && h == height_) {
    ::BitBlt(dst, rect.left, rect.top, w, h, src, 0, 0, canvas.CopyMode());
  } else {
    ::StretchBlt(dst, rect.left, rect.top, w, h, src, 0, 0, width_, height_, canvas.CopyMode());
  }
}

void TBitmap::LoadFromStream(TStream& stream) {
  const std::int64_t start = stream.Position();
  format::Bytes file;
  bool read = false;
  try {
    read = ReadBmpFile(stream, file);
  } catch (const std::exception&) {  // a failing stream or no memory: the same for the caller
  }
  try {
    if (!read) InvalidBitmap();
    LoadFromBytes(file.data(), file.size());
  } catch (...) {
    stream.SetPosition(start);
    throw;
  }
}

void TBitmap::DefineProperties(TFiler& filer) {
  TGraphic::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "Data",
      [this](TStream& data) {
        std::uint8_t b[4] = {};
        if (data.Read(b, 4) != 4) InvalidBitmap();
        if (format::LoadU32(b) > data.Size() - data.Position()) InvalidBitmap();
        LoadFromStream(data);
      },
      [this](TStream& data) {
        TMemoryStream file;
        SaveToStream(file);
        format::ByteWriter size;
        size.U32(static_cast<std::uint32_t>(file.Size()));
        data.WriteBuffer(size.Data().data(), 4);
        file.SaveToStream(data);
      },
      !Empty());
}

void TBitmap::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
  format::BmpImage image;
  if (!format::ParseBmp(format::ByteSpan(data, size), image)) InvalidBitmap();
  const bool direct = (image.bitsPerPixel == 24 || image.bitsPerPixel == 32) && image.compression == BI_RGB;
  Dib dib;
  try {
    dib = DibFor(image.width, image.height, image.bitsPerPixel == 32 && direct ? pf32bit : pf24bit);
    if (direct) {
      // Stored rows go in as they are, so that saving gives the same bytes.
      const std::size_t stride = dib.Stride();
      for (int y = 0; y < image.height; ++y) {
        const int stored = image.topDown ? y : image.height - 1 - y;
        std::memcpy(dib.Row(y), image.bits.data() + static_cast<std::size_t>(stored) * stride, stride);
      }
    } else {
      const std::vector<std::uint32_t> pixels = format::DecodeBmpPixels(image);
      for (int y = 0; y < image.height; ++y) {
        std::uint8_t* d = dib.Row(y);
        const std::uint32_t* s = pixels.data() + static_cast<std::size_t>(y) * image.width;
        for (int x = 0; x < image.width; ++x, d += 3) {
          d[0] = static_cast<std::uint8_t>(s[x] >> 16);
          d[1] = static_cast<std::uint8_t>(s[x] >> 8);
          d[2] = static_cast<std::uint8_t>(s[x]);
        }
      }
    }
  } catch (const EOutOfResources&) {
    InvalidBitmap();
  } catch (const std::bad_alloc&) {
    InvalidBitmap();
  }
  xPelsPerMeter_ = image.xPelsPerMeter;
  yPelsPerMeter_ = image.yPelsPerMeter;
  // Palette counts of a converted file describe a palette we do not write.
  sizeImage_ = direct ? image.sizeImage : 0;
  clrUsed_ = 0;
  clrImportant_ = direct ? image.clrImportant : 0;
  Adopt(std::move(dib));
}

void TBitmap::SaveToStream(TStream& stream) {
  if (Empty()) return;
  format::BmpImage image;
  image.width = width_;
  image.height = height_;
  image.bitsPerPixel = BitsPerPixel(format_);
  image.xPelsPerMeter = xPelsPerMeter_;
  image.yPelsPerMeter = yPelsPerMeter_;
  image.clrUsed = clrUsed_;
  image.clrImportant = clrImportant_;
  const std::size_t dataSize = static_cast<std::size_t>(Stride()) * static_cast<std::size_t>(height_);
  // A file that gave its image size gets the current one back.
  image.sizeImage = sizeImage_ ? static_cast<std::uint32_t>(dataSize) : 0;
  ::GdiFlush();
  image.bits.assign(bits_, bits_ + dataSize);
  const format::Bytes file = format::EncodeBmp(image);
  stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::wstring& name) {
  HRSRC resource = ::FindResourceW(instance, name.c_str(), RT_BITMAP);
  if (!resource) throw EResNotFound("Resource " + WideToUtf8(name) + " not found");
  HGLOBAL global = ::LoadResource(instance, resource);
  const auto* dib = static_cast<const std::uint8_t*>(global ? ::LockResource(global) : nullptr);
  const DWORD size = ::SizeofResource(instance, resource);
  if (!dib || size < 40) InvalidBitmap();
  // A bitmap resource is a packed DIB: give it the file header it lacks and
  // read it like a file.
  const std::uint32_t headerSize = format::LoadU32(dib);
  const std::uint16_t bpp = format::LoadU16(dib + 14);
  const std::uint32_t compression = format::LoadU32(dib + 16);
  const std::uint32_t clrUsed = format::LoadU32(dib + 32);
  std::uint64_t colorTable = 0;
  if (bpp <= 8) colorTable = 4ull * (clrUsed ? clrUsed : (1u << bpp));
  else if (compression == BI_BITFIELDS && headerSize == 40) colorTable = 12;
  const std::uint64_t offBits = kFileHeaderSize + static_cast<std::uint64_t>(headerSize) + colorTable;
  format::ByteWriter file;
  file.Append("BM");
  file.U32(static_cast<std::uint32_t>(kFileHeaderSize + size));
  file.U32(0);
  file.U32(static_cast<std::uint32_t>(std::min<std::uint64_t>(offBits, UINT32_MAX)));
  file.Append(format::ByteSpan(dib, size));
  LoadFromBytes(file.Data().data(), file.Size());
}

void TBitmap::Assign(TPersistent* source) {
  if (!source) {
    Clear();
    return;
  }
  if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    if (bitmap == this) return;
    Dib dib = DibFor(bitmap->width_, bitmap->height_, bitmap->format_);
    if (dib.bits) {
      ::GdiFlush();
      std::memcpy(dib.bits, bitmap->bits_, dib.Stride() * static_cast<std::size_t>(dib.height));
    }
    transparentColor_ = bitmap->transparentColor_;
    transparentMode_ = bitmap->transparentMode_;
    xPelsPerMeter_ = bitmap->xPelsPerMeter_;
    yPelsPerMeter_ = bitmap->yPelsPerMeter_;
    sizeImage_ = bitmap->sizeImage_;
    clrUsed_ = bitmap->clrUsed_;
    clrImportant_ = bitmap->clrImportant_;
    SetTransparent(bitmap->Transparent());
    Adopt(std::move(dib));
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::Clear() {
  xPelsPerMeter_ = yPelsPerMeter_ = 0;
  sizeImage_ = clrUsed_ = clrImportant_ = 0;
  Adopt(CreateDib(0, 0, format_));
}

}  // namespace nuvskin
