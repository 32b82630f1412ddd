// The skin readers on Windows: containers and SK2 files to framework bitmaps
// and name lists, look-ups by element index, errors and what they leave.
#include <gtest/gtest.h>

#include <filesystem>

#include "BmpFixtures.h"
#include "framework/Streams.h"
#include "skin/BuiltInSkin.h"
#include "skin/Skin2Define.h"
#include "skin/SkinReader.h"
#include "skin/format/Bmp.h"
#include "skin/format/ContainerWriter.h"
#include "skin/format/Sk2Writer.h"

using namespace nuvskin;
using namespace nuvskin::format;

namespace {

Bytes SolidBmp(int w, int h, std::uint32_t color) {
  return EncodeBmp(MakeBmp24(w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, color)));
}

Bytes Container(const std::vector<Sk2Element>& elements, const std::string& password = {}) {
  return WriteSkinContainer(WriteSk2(elements), password);
}

// A folder of its own under the temporary directory, with a non-ASCII name.
struct TempFolder {
  std::filesystem::path path;
  TempFolder() {
    path = std::filesystem::temp_directory_path() / (L"nuvskin-reader-\u00E4\u00F8-" + std::to_wstring(::GetCurrentProcessId()));
    std::filesystem::create_directories(path);
  }
  ~TempFolder() { std::filesystem::remove_all(path); }
  std::string Write(const std::wstring& name, const Bytes& bytes) const {
    TFileStream file((path / name).wstring(), fmCreate);
    file.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return WideToUtf8((path / name).wstring());
  }
};

std::size_t FilesIn(const std::filesystem::path& dir, wchar_t firstChar = 0) {
  std::size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (!firstChar || entry.path().filename().wstring().starts_with(firstChar)) ++n;
  return n;
}

}  // namespace

TEST(SkinReader, BuiltInSkinHasTheCatalogueValues) {
  TnuvSkinReader reader;
  int loads = 0;
  reader.OnLoad = [&](TObject* sender) {
    EXPECT_EQ(sender, &reader);
    ++loads;
  };
  reader.LoadSkinData(BuiltInSkinData(), "");
  ASSERT_TRUE(reader.Loaded());
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(reader.GetColor(0), 16711935);   // SKIN2_TRANSCOLOR
  EXPECT_EQ(reader.GetColor(2), 15263976);   // SKIN2_FORMCOLOR
  EXPECT_EQ(reader.GetColor(25), 16382457);  // SKIN2_SCROLLBARCOLOR
  EXPECT_EQ(reader.GetInteger(0), 21);       // SKIN2_TITLEBARICONPOSX
  EXPECT_EQ(reader.GetInteger(7), -1);       // SKIN2_BOTTOMREGIONMINY
  EXPECT_EQ(reader.GetFlag(0), 1);           // SKIN2_TITLEFIVESECT
  EXPECT_EQ(reader.GetFlag(1), 0);           // SKIN2_BOTTOMBORDERTHREESECT
  struct Size {
    int index, w, h;
  };
  for (Size s : {Size{0, 31, 31}, Size{1, 136, 31}, Size{11, 324, 18}, Size{15, 252, 25}, Size{16, 102, 17},
                 Size{23, 60, 8}, Size{27, 18, 63}}) {
    TBitmap* b = reader.GetBitmap(s.index);
    ASSERT_NE(b, nullptr) << s.index;
    EXPECT_EQ(b->Width(), s.w) << s.index;
    EXPECT_EQ(b->Height(), s.h) << s.index;
    EXPECT_EQ(b->TransparentMode(), tmFixed);
    EXPECT_EQ(b->TransparentColor(), 16711935);
  }
  EXPECT_EQ(reader.GetBitmap(8), nullptr);  // SKIN2_FORMBOTTOMBORDER2 is absent
  EXPECT_EQ(reader.GetBitmap(99), nullptr);
  EXPECT_EQ(reader.GetColor(-1), -1);
  // The track bar channel's transparent pixels became the form colour.
  TBitmap* track = reader.GetBitmap(23);
  EXPECT_EQ(track->PixelFormat(), pf24bit);
  int magenta = 0;
  for (int y = 0; y < track->Height(); ++y)
    for (int x = 0; x < track->Width(); ++x) magenta += track->PixelAt(x, y) == 0xFF00FF;
  EXPECT_EQ(magenta, 0);
}

TEST(SkinReader, RecordsAndLookUps) {
  const std::string longName(64, 'N');
  TnuvSkinReader reader;
  reader.LoadSkinData(Container({
                          Sk2Element::Integer("SKIN2_FORMCOLOR", 0x123456),
                          Sk2Element::Integer("skin2_formcolor", 1),  // a second record never wins
                          Sk2Element::Integer("SKIN2_TITLEBARICONPOSX", -1),
                          Sk2Element::Byte("SKIN2_TITLEFIVESECT", 1),
                          Sk2Element::Bitmap(longName, SolidBmp(2, 2, 0x00FF00)),
                          Sk2Element::String("SKIN2_NOTE", "hello"),
                      }),
                      "");
  ASSERT_TRUE(reader.Loaded());
  EXPECT_EQ(reader.GetColor(2), 0x123456);
  EXPECT_EQ(reader.FileReader()->GetInteger("Skin2_FormColor"), 0x123456);
  EXPECT_EQ(reader.GetInteger(0), -1);  // stored -1 reads like a missing integer
  EXPECT_EQ(reader.GetInteger(1), -1);
  EXPECT_EQ(reader.GetFlag(0), 1);
  EXPECT_EQ(reader.GetFlag(2), 0);
  ASSERT_NE(reader.FileReader()->GetBitmap(longName), nullptr);  // 64 bytes without a terminator
  EXPECT_EQ(reader.FileReader()->Strings()->Values(L"SKIN2_NOTE"), L"hello");
  EXPECT_EQ(reader.GetColor(0), -1);  // no transparent colour: no replacement either
}

// The reader matches names as nsktool does, whatever the thread's locale:
// only ASCII letters fold.
TEST(SkinReader, NamesMatchAsciiLettersUnderATurkishLocale) {
  const LCID previous = ::GetThreadLocale();
  ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_TURKISH, SUBLANG_DEFAULT), SORT_DEFAULT));
  TnuvSkinReader reader;
  reader.LoadSkinData(Container({Sk2Element::Integer("SKIN2_FORMCOLOR", 0x123456),
                                 Sk2Element::Bitmap("skin2_titlebar1", SolidBmp(2, 1, 0xFF)),
                                 Sk2Element::Integer("X_\xC9", 1), Sk2Element::Integer("x_\xE9", 2)}),
                      "");
  EXPECT_EQ(reader.FileReader()->GetInteger("skin2_formcolor"), 0x123456);
  EXPECT_EQ(reader.FileReader()->GetInteger("Skin2_FormColor"), 0x123456);
  EXPECT_EQ(reader.GetColor(2), 0x123456);
  EXPECT_NE(reader.GetBitmap(0), nullptr);
  EXPECT_EQ(reader.FileReader()->GetInteger("x_\xE9"), 2);  // E-acute and its capital are two names
  ::SetThreadLocale(previous);
}

// Skin bitmaps saved as RLE, OS/2 or 16-bit files load with the pixels of
// the same picture saved plain; a stream of such files is read file by file.
TEST(SkinReader, BitmapsInEveryVariantLoadAsTheirPicture) {
  const Bytes variants[] = {test::Rle8Bmp(), test::Rle4Bmp(), test::CoreBmp(4), test::CoreBmp(24),
                            test::PlainBmp(16), test::PlainBmp(16, true, {0xF800, 0x07E0, 0x001F})};
  std::vector<Sk2Element> elements;
  TMemoryStream all;
  for (std::size_t i = 0; i < std::size(variants); ++i) {
    elements.push_back(Sk2Element::Bitmap(std::string(SkinElementNames[kSkinBitmapBase + i]), variants[i]));
    all.WriteBuffer(variants[i].data(), static_cast<std::int64_t>(variants[i].size()));
  }
  TnuvSkinReader reader;
  reader.LoadSkinData(Container(elements), "");
  all.SetPosition(0);
  for (int i = 0; i < static_cast<int>(std::size(variants)); ++i) {
    TBitmap streamed;
    streamed.LoadFromStream(all);
    for (TBitmap* b : {reader.GetBitmap(i), &streamed}) {
      ASSERT_NE(b, nullptr) << i;
      ASSERT_EQ(b->Width(), test::kPictureWidth) << i;
      ASSERT_EQ(b->Height(), test::kPictureHeight) << i;
      for (int y = 0; y < test::kPictureHeight; ++y)
        for (int x = 0; x < test::kPictureWidth; ++x)
          EXPECT_EQ(static_cast<std::uint32_t>(b->PixelAt(x, y)), test::PictureColor(x, y)) << i << " " << x << "," << y;
    }
  }
  EXPECT_EQ(all.Position(), all.Size());
}

TEST(SkinReader, ClosingRecordFirstGivesAnEmptyLoadedSkin) {
  TnuvSkinReader reader;
  reader.LoadSkinData(Container({}), "");
  EXPECT_TRUE(reader.Loaded());
  EXPECT_EQ(reader.GetBitmap(0), nullptr);
  EXPECT_EQ(reader.GetColor(0), -1);
}

TEST(SkinReader, FilesPasswordsAndFailures) {
  TempFolder folder;
  const std::string good = folder.Write(L"good.nsk", Container({Sk2Element::Integer("SKIN2_FORMCOLOR", 7)}, "secret"));
  const std::string notBmp =
      folder.Write(L"bad-bitmap.nsk", Container({Sk2Element::Bitmap("SKIN2_BUTTON", Bytes{'B', 'M', 1, 2, 3})}));
  Bytes broken = Container({Sk2Element::Integer("SKIN2_FORMCOLOR", 7)});
  broken.resize(broken.size() - 5);
  const std::string damaged = folder.Write(L"damaged.nsk", broken);
  const std::size_t filesBefore = FilesIn(folder.path);
  // Temporary skin files would be named by a GUID in braces.
  const std::size_t tempBefore = FilesIn(std::filesystem::temp_directory_path(), L'{');

  int loads = 0;
  TnuvSkinReader reader;
  reader.OnLoad = [&](TObject*) { ++loads; };
  reader.LoadSkin(good, "secret");
  ASSERT_TRUE(reader.Loaded());
  EXPECT_EQ(reader.GetColor(2), 7);
  EXPECT_EQ(loads, 1);

  // A failed load drops the previous skin and does not notify.
  try {
    reader.LoadSkin(good, "wrong");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Wrong password!");
  }
  EXPECT_FALSE(reader.Loaded());
  EXPECT_EQ(reader.GetColor(2), -1);
  EXPECT_EQ(loads, 1);
  EXPECT_THROW(reader.LoadSkin(good, ""), Exception);

  try {
    reader.LoadSkin(damaged, "");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Failed to read skin file!");
  }
  EXPECT_THROW(reader.LoadSkin(notBmp, ""), EInvalidGraphic);
  EXPECT_FALSE(reader.Loaded());

  // A name that is no file: empty, not loaded, but notified.
  reader.LoadSkin(good, "secret");
  reader.LoadSkin(WideToUtf8((folder.path / L"missing.nsk").wstring()), "");
  EXPECT_FALSE(reader.Loaded());
  EXPECT_EQ(loads, 3);

  // Loading never writes a file: neither beside the skins nor in the temp folder.
  EXPECT_EQ(FilesIn(folder.path), filesBefore);
  EXPECT_EQ(FilesIn(std::filesystem::temp_directory_path(), L'{'), tempBefore);
}
