// Bitmaps and icons: BMP and ICO files in and out, damaged files, resources,
// resizing, pixel formats, scan-line orientation and copies.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "GraphicsTestSupport.h"
#include "skin/LibraryBitmaps.h"
#include "skin/format/Bmp.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

constexpr int kW = 5, kH = 3;  // odd width: rows are padded

// Palette entries as a BMP stores them (0x00RRGGBB) and as colours.
const std::vector<std::uint32_t> kPalette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808000};
TColor PaletteColor(std::uint32_t q) { return static_cast<TColor>(((q >> 16) & 0xFF) | (q & 0xFF00) | ((q & 0xFF) << 16)); }

int IndexAt(int x, int y, int colours) { return (x + 2 * y) % colours; }

// A paletted BMP of kW x kH whose pixel (x, y) has IndexAt(x, y).
format::BmpImage Indexed(int bpp) {
  format::BmpImage img;
  img.width = kW;
  img.height = kH;
  img.bitsPerPixel = bpp;
  const int colours = bpp == 1 ? 2 : static_cast<int>(kPalette.size());
  img.palette.assign(kPalette.begin(), kPalette.begin() + colours);
  img.clrUsed = bpp == 1 ? 0 : colours;
  img.bits.assign(static_cast<std::size_t>(img.Stride()) * kH, 0);
  for (int y = 0; y < kH; ++y) {
    std::uint8_t* row = img.bits.data() + static_cast<std::size_t>(kH - 1 - y) * img.Stride();
    for (int x = 0; x < kW; ++x) {
      const int i = IndexAt(x, y, colours);
      if (bpp == 8) row[x] = static_cast<std::uint8_t>(i);
      if (bpp == 4) row[x / 2] |= static_cast<std::uint8_t>(i << ((x % 2) ? 0 : 4));
      if (bpp == 1) row[x / 8] |= static_cast<std::uint8_t>(i << (7 - x % 8));
    }
  }
  return img;
}

TColor DirectColor(int x, int y) { return static_cast<TColor>(RGB(40 * x + 10, 90 * y + 5, 200 - 30 * x)); }

// 24- or 32-bit file of DirectColor pixels with header fields a writer
// might set; 32-bit pixels carry varied alpha bytes.
format::BmpImage Direct(int bpp) {
  format::BmpImage img;
  img.width = kW;
  img.height = kH;
  img.bitsPerPixel = bpp;
  img.xPelsPerMeter = 3780;
  img.yPelsPerMeter = 3781;
  img.bits.assign(static_cast<std::size_t>(img.Stride()) * kH, 0);
  img.sizeImage = static_cast<std::uint32_t>(img.bits.size());
  for (int y = 0; y < kH; ++y) {
    std::uint8_t* row = img.bits.data() + static_cast<std::size_t>(kH - 1 - y) * img.Stride();
    for (int x = 0; x < kW; ++x) {
      const COLORREF c = static_cast<COLORREF>(DirectColor(x, y));
      std::uint8_t* p = row + x * (bpp / 8);
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
      if (bpp == 32) p[3] = static_cast<std::uint8_t>(x * 50 + y);
    }
  }
  return img;
}

void ToStream(const format::Bytes& bytes, TMemoryStream& stream) {
  stream.Clear();
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
}

format::Bytes Saved(TGraphic& graphic) {
  TMemoryStream out;
  graphic.SaveToStream(out);
  return out.Bytes();
}

}  // namespace

TEST(BitmapFiles, PalettedAndSixteenBitFilesLoadAsTwentyFourBitTopRowFirst) {
  for (int bpp : {1, 4, 8}) {
    SCOPED_TRACE(bpp);
    TMemoryStream stream;
    ToStream(format::EncodeBmp(Indexed(bpp)), stream);
    TBitmap b;
    b.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    ASSERT_EQ(b.Width(), kW);
    ASSERT_EQ(b.Height(), kH);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    const int colours = bpp == 1 ? 2 : static_cast<int>(kPalette.size());
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) EXPECT_EQ(b.PixelAt(x, y), PaletteColor(kPalette[IndexAt(x, y, colours)])) << x << "," << y;

    // Saved as a 24-bit file with the same pixels.
    format::BmpImage saved;
    ASSERT_TRUE(format::ParseBmp(Saved(b), saved));
    EXPECT_EQ(saved.bitsPerPixel, 24);
    EXPECT_EQ(saved.clrUsed, 0u);
    const std::vector<std::uint32_t> pixels = format::DecodeBmpPixels(saved);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) EXPECT_EQ(static_cast<TColor>(pixels[y * kW + x]), b.PixelAt(x, y));
  }

  // 16 bits, 5-5-5: pure channels survive the conversion.
  format::BmpImage img;
  img.width = 3;
  img.height = 1;
  img.bitsPerPixel = 16;
  img.bits = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x00, 0x00};  // red, green, blue, padding
  TMemoryStream stream;
  ToStream(format::EncodeBmp(img), stream);
  TBitmap b;
  b.LoadFromStream(stream);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(b.PixelAt(0, 0), clRed);
  EXPECT_EQ(b.PixelAt(1, 0), clLime);
  EXPECT_EQ(b.PixelAt(2, 0), clBlue);
}

TEST(BitmapFiles, TwentyFourAndThirtyTwoBitFilesSaveByteForByte) {
  for (int bpp : {24, 32}) {
    for (bool sizeGiven : {true, false}) {
      SCOPED_TRACE(testing::Message() << bpp << " bits, image size given " << sizeGiven);
      format::BmpImage img = Direct(bpp);
      if (!sizeGiven) img.sizeImage = 0;
      const format::Bytes file = format::EncodeBmp(img);
      TMemoryStream stream;
      ToStream(file, stream);
      TBitmap b;
      b.LoadFromStream(stream);
      EXPECT_EQ(b.PixelFormat(), bpp == 32 ? pf32bit : pf24bit);
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) EXPECT_EQ(b.PixelAt(x, y), DirectColor(x, y)) << x << "," << y;
      // The top row is the last row the file stores.
      EXPECT_EQ(std::memcmp(b.ScanLine(0), img.bits.data() + 2 * img.Stride(), img.Stride()), 0);
      EXPECT_EQ(Saved(b), file);
    }
  }
  // Drawing on a loaded bitmap changes the pixels saved, nothing else.
  const format::Bytes file = format::EncodeBmp(Direct(24));
  TMemoryStream stream;
  ToStream(file, stream);
  TBitmap b;
  b.LoadFromStream(stream);
  b.Canvas()->SetPixel(0, 0, clWhite);
  const format::Bytes changed = Saved(b);
  ASSERT_EQ(changed.size(), file.size());
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + 54, changed.begin()));
  EXPECT_NE(changed, file);
}

TEST(BitmapFiles, DamagedFilesRaiseAndLeaveBitmapStreamAndHandlesAsTheyWere) {
  const format::Bytes good = format::EncodeBmp(Indexed(8));
  std::vector<format::Bytes> damaged;
  for (std::size_t n = 0; n < good.size(); ++n) damaged.emplace_back(good.begin(), good.begin() + n);
  auto patched = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
    format::Bytes f = good;
    std::copy(bytes.begin(), bytes.end(), f.begin() + at);
    damaged.push_back(f);
  };
  patched(0, {'B', 'X'});                 // not a BMP
  patched(14, {12, 0, 0, 0});             // old core header
  patched(14 + 12, {2, 0});               // two planes
  patched(14 + 14, {7, 0});               // 7 bits per pixel
  patched(14 + 16, {2, 0, 0, 0});         // RLE4 runs in an 8-bit file
  patched(14 + 4, {0, 0, 0, 0});          // width 0
  patched(14 + 8, {0, 0, 0, 0});          // height 0
  patched(14 + 32, {0x2C, 1, 0, 0});      // 300 palette entries
  patched(10, {0xFF, 0xFF, 0, 0});        // pixels beyond the end

  TBitmap b(3, 2);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(RECT{0, 0, 3, 2});
  b.Canvas()->TextOut(0, 0, L"warm");
  const int headroom = GdiHeadroom();
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(i);
    TMemoryStream stream;
    ToStream(damaged[i], stream);
    try {
      b.LoadFromStream(stream);
      ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.PixelAt(2, 1), clRed);
  }
  EXPECT_EQ(GdiHeadroom(), headroom);
}

TEST(BitmapFiles, AHeaderClaimingAnAbsurdSizeIsRefusedBeforeAllocating) {
  for (std::int32_t width : {30000, 40000, 0x7FFFFFFF}) {
    format::BmpImage img = Direct(24);
    format::Bytes file = format::EncodeBmp(img);
    std::memcpy(file.data() + 18, &width, 4);
    std::memcpy(file.data() + 22, &width, 4);  // as high as wide
    TMemoryStream stream;
    ToStream(file, stream);
    TBitmap b;
    EXPECT_THROW(b.LoadFromStream(stream), EInvalidGraphic) << width;
    EXPECT_TRUE(b.Empty());
  }
}

TEST(BitmapFiles, AStreamOfSeveralFilesIsReadOneFileAtATime) {
  const format::Bytes first = format::EncodeBmp(Direct(24)), second = format::EncodeBmp(Indexed(4));
  TMemoryStream stream;
  stream.WriteBuffer(first.data(), static_cast<std::int64_t>(first.size()));
  stream.WriteBuffer(second.data(), static_cast<std::int64_t>(second.size()));
  stream.SetPosition(0);
  TBitmap a, b;
  a.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(first.size()));
  b.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(a.PixelAt(4, 2), DirectColor(4, 2));
  EXPECT_EQ(b.PixelAt(4, 2), PaletteColor(kPalette[IndexAt(4, 2, 6)]));
}

// GraphicsTest.rc brings a check mark of its own (a blue square) and a
// damaged bitmap under the name of the MDI glyphs.
TEST(LibraryBitmaps, TheProgramsOwnBitmapWinsAndADamagedOneGivesTheLibrarys) {
  TBitmap mark;
  LoadLibraryBitmap(&mark, kMenuCheckedBitmap);
  ASSERT_EQ(mark.Width(), 16);
  ASSERT_EQ(mark.Height(), 16);
  EXPECT_EQ(mark.PixelAt(8, 8), clBlue);  // green in the library's
  EXPECT_EQ(mark.PixelAt(0, 0), clWhite);
  EXPECT_TRUE(mark.Transparent());
  EXPECT_EQ(mark.TransparentColor(), clWhite);

  TBitmap glyphs;
  LoadLibraryBitmap(&glyphs, kMdiControlerBitmap);
  EXPECT_EQ(glyphs.Width(), 48);
  EXPECT_EQ(glyphs.Height(), 16);
}

TEST(BitmapFiles, ResourceBitmapsLoadByNameAndFilesRoundTripOnDisk) {
  TBitmap b;
  b.LoadFromResourceName(::GetModuleHandleW(nullptr), L"TEST_CHECKS16");
  ASSERT_EQ(b.Width(), 8);
  ASSERT_EQ(b.Height(), 4);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(CountColor(b, RECT{0, 0, 8, 1}, clRed), 8);  // top row
  EXPECT_EQ(CountColor(b, RECT{0, 3, 8, 4}, clBlue), 8);  // bottom row
  EXPECT_EQ(CountColor(b, RECT{0, 1, 4, 3}, clLime), 8);
  EXPECT_EQ(CountColor(b, RECT{4, 1, 8, 3}, clWhite), 8);
  EXPECT_THROW(b.LoadFromResourceName(::GetModuleHandleW(nullptr), L"NO_SUCH_BITMAP"), EResNotFound);
  EXPECT_EQ(b.Width(), 8);

  const std::string path = (std::filesystem::temp_directory_path() / "nuvskin-graphics-test.bmp").string();
  b.SaveToFile(path);
  TBitmap c;
  c.LoadFromFile(path);
  EXPECT_EQ(Saved(c), Saved(b));
  EXPECT_TRUE(DeleteFile(path));
}

TEST(Bitmap, SetSizeKeepsFormatAndOverlappingPixelsAndFormatsConvert) {
  TBitmap b(4, 3, pf32bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) b.SetPixelAt(x, y, DirectColor(x, y));
  b.SetSize(6, 2);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.PixelAt(x, y), DirectColor(x, y)) << x << "," << y;
  EXPECT_EQ(b.PixelAt(5, 1), clBlack);
  b.SetPixelFormat(pf24bit);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(b.PixelAt(3, 1), DirectColor(3, 1));
  b.SetPixelFormat(pf8bit);  // taken as 24 bits
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  b.SetWidth(1);
  EXPECT_EQ(b.PixelAt(0, 1), DirectColor(0, 1));
  b.Clear();
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  // A canvas used while empty draws into the pixels once there are some.
  EXPECT_GT(b.Canvas()->TextWidth(L"abc"), 0);
  b.SetSize(2, 2);
  b.Canvas()->Brush()->SetColor(clAqua);
  b.Canvas()->FillRect(RECT{0, 0, 2, 2});
  EXPECT_EQ(b.PixelAt(1, 1), clAqua);
}

TEST(Bitmap, ScanLineZeroIsTheTopRowInBottomUpMemory) {
  TBitmap b(5, 4);
  EXPECT_EQ(b.Stride(), 16);
  b.Canvas()->Pen()->SetColor(clRed);
  b.Canvas()->MoveTo(0, 0);
  b.Canvas()->LineTo(5, 0);
  const std::uint8_t* top = b.ScanLine(0);
  EXPECT_EQ(top[0], 0);
  EXPECT_EQ(top[2], 255);  // B G R
  EXPECT_EQ(b.ScanLine(0) - b.ScanLine(1), b.Stride());
  b.ScanLine(3)[0] = 255;  // blue at the bottom left, written to memory
  EXPECT_EQ(b.Canvas()->Pixels(0, 3), clBlue);
  EXPECT_EQ(b.TransparentColor(), clBlue);  // tmAuto: the lower-left pixel
  EXPECT_THROW(b.ScanLine(4), EInvalidGraphicOperation);
  EXPECT_THROW(b.PixelAt(5, 0), EInvalidGraphicOperation);
}

TEST(Bitmap, AssignCopiesPixelsFormatAndTransparencyIntoAnIndependentBitmap) {
  Owned<TBitmap> a(FilledBitmap(3, 3, clGreen, pf32bit));
  a->SetTransparent(true);
  a->SetTransparentColor(clGreen);
  TBitmap b;
  b.Assign(a.get());
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_EQ(b.TransparentColor(), clGreen);
  EXPECT_EQ(b.PixelAt(2, 2), clGreen);
  EXPECT_NE(b.Handle(), a->Handle());
  b.SetPixelAt(0, 0, clRed);
  EXPECT_EQ(a->PixelAt(0, 0), clGreen);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
  TIcon icon;
  EXPECT_THROW(b.Assign(&icon), EConvertError);
}

TEST(Bitmap, TheHandleIsFreeForOtherDeviceContextsAfterCanvasUse) {
  Owned<TBitmap> b(FilledBitmap(4, 4, clRed));
  // A bitmap can be selected into one DC at a time: Handle() lets go of ours.
  win::UniqueMemoryDC other(::CreateCompatibleDC(nullptr));
  {
    win::SelectScope select(other.Get(), b->Handle());
    EXPECT_EQ(::GetCurrentObject(other.Get(), OBJ_BITMAP), b->Handle());
    EXPECT_EQ(::GetPixel(other.Get(), 1, 1), RGB(255, 0, 0));
  }
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect(RECT{0, 0, 2, 2});
  EXPECT_EQ(b->PixelAt(1, 1), clBlue);
  EXPECT_EQ(b->PixelAt(3, 3), clRed);
}

TEST(Icon, IcoFilesLoadTheirImageAndDrawWithTheirMask) {
  TMemoryStream stream;
  LoadResourceBytes(L"TEST_ICON_FILE", stream);
  TIcon icon;
  icon.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), stream.Size());
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_EQ(icon.Height(), 32);

  auto drawn = [](TIcon& i) {
    Owned<TBitmap> b(FilledBitmap(40, 40, clWhite));
    b->Canvas()->Draw(4, 4, &i);
    return b;
  };
  Owned<TBitmap> b = drawn(icon);
  EXPECT_EQ(CountColor(*b, RECT{4, 4, 12, 12}, clWhite), 64);  // masked corner
  EXPECT_EQ(CountColor(*b, RECT{4, 12, 20, 36}, clRed), 16 * 24);
  EXPECT_EQ(CountColor(*b, RECT{20, 4, 36, 36}, clBlue), 16 * 32);

  // Saved and read back: the same picture.
  TMemoryStream saved;
  icon.SaveToStream(saved);
  saved.SetPosition(0);
  TIcon again;
  again.LoadFromStream(saved);
  EXPECT_EQ(again.Width(), 32);
  Owned<TBitmap> c = drawn(again);
  EXPECT_EQ(ToImage(*c).Count(0, 0, 40, 40, 0), ToImage(*b).Count(0, 0, 40, 40, 0));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(c->PixelAt(x, y), b->PixelAt(x, y)) << x << "," << y;

  TIcon copy;
  copy.Assign(&icon);
  EXPECT_NE(copy.Handle(), icon.Handle());
  EXPECT_EQ(copy.Height(), 32);
}

TEST(Icon, DamagedIcoFilesRaiseAndResourceIconsLoadByName) {
  TIcon icon;
  icon.LoadFromResourceName(::GetModuleHandleW(nullptr), L"TEST_ICON");
  EXPECT_EQ(icon.Width(), ::GetSystemMetrics(SM_CXICON));
  EXPECT_THROW(icon.LoadFromResourceName(::GetModuleHandleW(nullptr), L"NO_SUCH_ICON"), EResNotFound);
  const HICON before = icon.Handle();

  TMemoryStream file;
  LoadResourceBytes(L"TEST_ICON_FILE", file);
  const format::Bytes good = file.Bytes();
  std::vector<format::Bytes> damaged;
  for (std::size_t n = 0; n < good.size(); n += 7) damaged.emplace_back(good.begin(), good.begin() + n);
  format::Bytes wrongType = good;
  wrongType[2] = 2;  // a cursor file
  damaged.push_back(wrongType);
  format::Bytes hugeImage = good;
  hugeImage[6 + 4 + 16] = 0x7F;  // the image's header claims a width of 2^30
  hugeImage[6 + 4 + 16 + 3] = 0x40;
  damaged.push_back(hugeImage);

  const int headroom = GdiHeadroom();
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(i);
    TMemoryStream stream;
    ToStream(damaged[i], stream);
    try {
      icon.LoadFromStream(stream);
      ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Icon image is not valid");
    }
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(icon.Handle(), before);
  }
  EXPECT_EQ(GdiHeadroom(), headroom);
}
