// nsktool run in-process: every command, its exit statuses and messages,
// on folders whose names are not ASCII.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "BmpFixtures.h"
#include "TempDir.h"
#include "image/Image.h"
#include "nsktool/ContactSheet.h"
#include "nsktool/Nsktool.h"
#include "skin/format/Bmp.h"
#include "skin/format/ContainerWriter.h"
#include "skin/format/FileIo.h"
#include "skin/format/Sk2File.h"
#include "skin/format/Sk2Writer.h"
#include "skin/format/SkinContainer.h"

using namespace nuvskin;
using namespace nuvskin::format;
using nuvskin::test::TempDir;

namespace {

struct NskRun {
  int status;
  std::string out, err;
};

NskRun Nsk(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = nsktool::RunNsktool(args, out, err);
  return {status, out.str(), err.str()};
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  ASSERT_TRUE(WriteFileBytes(path, ByteSpan(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
}

Bytes Bmp(int w, int h, std::uint32_t color) {
  return EncodeBmp(MakeBmp24(w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, color)));
}

// A skin source folder with the measured elements and a few values; the
// button is 100 pixels wide, which does not divide into its 3 frames.
class SkinFolder {
 public:
  explicit SkinFolder(const TempDir& dir, bool withTitleBar3 = true)
      : path_(dir.Path() / PathFromUtf8("s\xC3\xB6urce")) {
    std::filesystem::create_directories(path_);
    const std::pair<const char*, Bytes> bitmaps[] = {
        {"SKIN2_TITLEBAR1", Bmp(31, 31, 0x00FF00FF)},  {"SKIN2_TITLEBAR3", Bmp(17, 31, 0x00808080)},
        {"SKIN2_TITLEBUTTONS", Bmp(36, 18, 0x00112233)}, {"SKIN2_FORMLEFTBORDER", Bmp(5, 6, 0x00AA0000)},
        {"SKIN2_FORMRIGHTBORDER", Bmp(5, 6, 0x0000AA00)}, {"SKIN2_FORMBOTTOMBORDER1", Bmp(30, 5, 0x000000AA)},
        {"SKIN2_BUTTON", Bmp(100, 25, 0x00EEEEEE)}};
    std::string manifest = "# test skin\n\ninteger SKIN2_TRANSCOLOR 0x00FF00FF\n";
    for (const auto& [name, bmp] : bitmaps) {
      if (!withTitleBar3 && std::string(name) == "SKIN2_TITLEBAR3") continue;
      std::string file = std::string(name).substr(6) + ".bmp";
      EXPECT_TRUE(WriteFileBytes(path_ / file, bmp));
      manifest += "bitmap " + std::string(name) + " " + file + "\n";
    }
    manifest += "integer SKIN2_TITLEBARICONPOSX 21\r\nbyte SKIN2_TITLEFIVESECT 1\nstring SKIN2_AUTHOR Jo Q. Public\n";
    WriteText(path_ / "manifest.txt", manifest);
  }
  std::string Dir() const { return Utf8FromPath(path_); }
  std::filesystem::path Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

Bytes ReadAll(const std::string& file) {
  Bytes b;
  EXPECT_TRUE(ReadFileBytes(PathFromUtf8(file), kMaxContainerSize, b));
  return b;
}

}  // namespace

TEST(Nsktool, PackGivesTheSameBytesEveryTimeAndInfoListsTheElements) {
  TempDir dir;
  SkinFolder src(dir);
  const std::string out = dir.File("sk\xC3\xAEn.nsk");
  NskRun r = Nsk({"pack", src.Dir(), out});
  ASSERT_EQ(r.status, 0) << r.err;
  const Bytes first = ReadAll(out);
  ASSERT_EQ(Nsk({"pack", src.Dir(), out}).status, 0);
  EXPECT_EQ(ReadAll(out), first);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(out + ".nsktool-tmp")));

  r = Nsk({"info", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("integer SKIN2_TRANSCOLOR 16711935\nbitmap SKIN2_TITLEBAR1 31x31x24\n"), 0u) << r.out;
  EXPECT_NE(r.out.find("integer SKIN2_TITLEBARICONPOSX 21\nbyte SKIN2_TITLEFIVESECT 1\n"
                       "string SKIN2_AUTHOR Jo Q. Public\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("warning: SKIN2_BUTTON: width 100 does not divide into 3 frames"), std::string::npos);
  EXPECT_EQ(r.out.find("warning: SKIN2_TITLEBUTTONS"), std::string::npos);  // 36 = 18 x 2
  EXPECT_NE(r.out.find("warning: missing integer SKIN2_FORMCOLOR\n"), std::string::npos);
  EXPECT_NE(r.out.find("warning: missing bitmap SKIN2_MENUBAR\n"), std::string::npos);
  EXPECT_EQ(r.out.find("(required)"), std::string::npos);
}

// Bitmaps as paint programs save them pack and list like plain ones; a
// lower-case multi-state name is checked for its frames like the capital one.
TEST(Nsktool, PacksAndListsRleOs2AndSixteenBitBitmaps) {
  TempDir dir;
  const std::filesystem::path src = dir.Path() / "variants";
  std::filesystem::create_directories(src);
  const std::pair<const char*, Bytes> bitmaps[] = {
      {"SKIN2_TITLEBAR1", test::Rle8Bmp()},  {"skin2_button", test::Rle4Bmp()},
      {"SKIN2_TITLEBAR3", test::CoreBmp(8)}, {"SKIN2_FORMLEFTBORDER", test::PlainBmp(16)},
      {"SKIN2_FORMRIGHTBORDER", test::PlainBmp(16, false, {0xF800, 0x07E0, 0x001F})}};
  std::string manifest;
  for (const auto& [name, bmp] : bitmaps) {
    const std::string file = std::string(name) + ".bmp";
    ASSERT_TRUE(WriteFileBytes(src / file, bmp));
    manifest += "bitmap " + std::string(name) + " " + file + "\n";
  }
  WriteText(src / "manifest.txt", manifest);
  const std::string out = dir.File("variants.nsk");
  NskRun r = Nsk({"pack", Utf8FromPath(src), out, "--allow-incomplete"});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Nsk({"info", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("bitmap SKIN2_TITLEBAR1 5x3x8\nbitmap skin2_button 5x3x4\nbitmap SKIN2_TITLEBAR3 5x3x8\n"
                       "bitmap SKIN2_FORMLEFTBORDER 5x3x16\nbitmap SKIN2_FORMRIGHTBORDER 5x3x16\n"),
            0u)
      << r.out;
  EXPECT_NE(r.out.find("warning: skin2_button: width 5 does not divide into 3 frames"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("missing bitmap SKIN2_BUTTON"), std::string::npos);
}

TEST(Nsktool, PackRefusesIncompleteOrBrokenSourcesAndLeavesNoFile) {
  TempDir dir;
  SkinFolder partial(dir, /*withTitleBar3=*/false);
  const std::string out = dir.File("out.nsk");
  NskRun r = Nsk({"pack", partial.Dir(), out});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("SKIN2_TITLEBAR3"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(out)));

  r = Nsk({"pack", partial.Dir(), out, "--allow-incomplete"});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Nsk({"info", out});
  EXPECT_NE(r.out.find("warning: missing bitmap SKIN2_TITLEBAR3 (required)\n"), std::string::npos) << r.out;
  const Bytes good = ReadAll(out);

  // A damaged BMP: refused, and the earlier output is untouched.
  SkinFolder src(dir);
  WriteText(src.Path() / "TITLEBAR3.bmp", "BM not really");
  r = Nsk({"pack", src.Dir(), out});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("TITLEBAR3.bmp"), std::string::npos) << r.err;
  EXPECT_EQ(ReadAll(out), good);

  // Manifest errors name the file and the line.
  WriteText(src.Path() / "manifest.txt", "# x\nbitmap SKIN2_TITLEBAR1 TITLEBAR1.bmp\ninteger SKIN2_A 12abc\n");
  r = Nsk({"pack", src.Dir(), out, "--allow-incomplete"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("manifest.txt:3: '12abc'"), std::string::npos) << r.err;
  WriteText(src.Path() / "manifest.txt", "colour SKIN2_A 1\n");
  EXPECT_NE(Nsk({"pack", src.Dir(), out}).err.find("manifest.txt:1: unknown kind 'colour'"), std::string::npos);
  WriteText(src.Path() / "manifest.txt", "byte SKIN2_A 256\n");
  EXPECT_NE(Nsk({"pack", src.Dir(), out}).err.find("manifest.txt:1:"), std::string::npos);
  WriteText(src.Path() / "manifest.txt", "bitmap SKIN2_A missing.bmp\n");
  EXPECT_NE(Nsk({"pack", src.Dir(), out, "--allow-incomplete"}).err.find("missing.bmp"), std::string::npos);
  EXPECT_EQ(Nsk({"pack", dir.File("nowhere"), out}).status, 1);
  EXPECT_EQ(ReadAll(out), good);
}

TEST(Nsktool, UnpackThenPackGivesTheSameContainer) {
  TempDir dir;
  SkinFolder src(dir);
  const std::string packed = dir.File("a.nsk"), repacked = dir.File("b.nsk");
  const std::string unpacked = dir.File("\xE2\x82\xAC-unpacked");
  ASSERT_EQ(Nsk({"pack", src.Dir(), packed, "--password", "pw"}).status, 0);
  NskRun r = Nsk({"unpack", packed, unpacked, "--password=pw"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(unpacked) / "titlebar1.bmp"));
  EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(unpacked) / "formbottomborder1.bmp"));
  Bytes manifest;
  ASSERT_TRUE(ReadFileBytes(PathFromUtf8(unpacked) / "manifest.txt", 1 << 20, manifest));
  const std::string text(manifest.begin(), manifest.end());
  EXPECT_NE(text.find("bitmap SKIN2_TITLEBAR1 titlebar1.bmp\n"), std::string::npos) << text;
  EXPECT_NE(text.find("integer SKIN2_TRANSCOLOR 0x00FF00FF\n"), std::string::npos) << text;
  ASSERT_EQ(Nsk({"pack", unpacked, repacked, "--password", "pw"}).status, 0);
  EXPECT_EQ(ReadAll(repacked), ReadAll(packed));
}

TEST(Nsktool, UnpackRefusesNamesAManifestCannotHold) {
  TempDir dir;
  const std::string file = dir.File("odd.nsk");
  const Bytes sk2 = WriteSk2({Sk2Element::Integer("SKIN2 WITH SPACE", 1)});
  ASSERT_TRUE(WriteFileBytes(PathFromUtf8(file), WriteSkinContainer(sk2)));
  const NskRun r = Nsk({"unpack", file, dir.File("out")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("SKIN2 WITH SPACE"), std::string::npos);
}

TEST(Nsktool, ExitStatusesAndMessagesForUnreadableContainers) {
  TempDir dir;
  SkinFolder src(dir);
  const std::string locked = dir.File("locked.nsk");
  ASSERT_EQ(Nsk({"pack", src.Dir(), locked, "--password", "secret"}).status, 0);
  for (const char* cmd : {"info", "unpack", "sheet"}) {
    std::vector<std::string> args = {cmd, locked};
    if (std::string(cmd) != "info") args.push_back(dir.File("target"));
    NskRun r = Nsk(args);
    EXPECT_EQ(r.status, 2) << cmd;
    EXPECT_EQ(r.err, "Wrong password!\n") << cmd;
    args.push_back("--password");
    args.push_back("wrong");
    r = Nsk(args);
    EXPECT_EQ(r.status, 2) << cmd;
    EXPECT_EQ(r.err, "Wrong password!\n");
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(dir.File("target"))));
  }
  EXPECT_EQ(Nsk({"info", locked, "--password", "secret"}).status, 0);

  NskRun r = Nsk({"info", dir.File("missing.nsk")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Failed to read skin file!\n", 0), 0u) << r.err;
  const std::string junk = dir.File("junk.nsk");
  WriteText(PathFromUtf8(junk), std::string(100, 'x'));
  r = Nsk({"info", junk});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Failed to read skin file!\n", 0), 0u);

  // A readable container whose SK2 file is damaged.
  Bytes sk2 = WriteSk2({Sk2Element::Byte("SKIN2_A", 1)});
  sk2[kSk2HeaderSize + 73] = 0xFF;
  WriteFileBytes(PathFromUtf8(junk), WriteSkinContainer(sk2));
  r = Nsk({"info", junk});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Failed to read skin file!\n", 0), 0u);

  // A bitmap record that is no BMP: the engine could not load the skin.
  WriteFileBytes(PathFromUtf8(junk), WriteSkinContainer(WriteSk2({Sk2Element::Bitmap("SKIN2_X", Bytes(60, 1))})));
  r = Nsk({"info", junk});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("bitmap SKIN2_X damaged\n"), std::string::npos);
  EXPECT_NE(r.err.find("SKIN2_X: bitmap is no valid BMP"), std::string::npos);
}

TEST(Nsktool, UsageErrorsAndHelp) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"frobnicate", "x"},
                                             {"pack", "only-one"},
                                             {"info", "a", "b"},
                                             {"info", "a.nsk", "--allow-incomplete"},
                                             {"info", "a.nsk", "--password"},
                                             {"info", "a.nsk", "--colour"}}) {
    const NskRun r = Nsk(args);
    EXPECT_EQ(r.status, 64);
    EXPECT_EQ(r.err.rfind("usage: nsktool", 0), 0u);
  }
  const NskRun help = Nsk({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* word : {"pack DIR", "unpack IN.nsk", "info IN.nsk", "sheet IN.nsk", "--allow-incomplete",
                           "manifest.txt", "Wrong password!", "64"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
}

TEST(Nsktool, SheetShowsEveryBitmapEnlarged) {
  TempDir dir;
  SkinFolder src(dir);
  const std::string packed = dir.File("a.nsk"), png = dir.File("sh\xC3\xA9" "et.png");
  ASSERT_EQ(Nsk({"pack", src.Dir(), packed}).status, 0);
  const NskRun r = Nsk({"sheet", packed, png});
  ASSERT_EQ(r.status, 0) << r.err;
  const Bytes file = ReadAll(png);
  ASSERT_GT(file.size(), 8u);
  EXPECT_EQ(std::string(file.begin() + 1, file.begin() + 4), "PNG");

  // A 2 x 3 bitmap of a colour found nowhere else is drawn 8 times larger.
  Sk2File skin;
  const Bytes sk2 = WriteSk2({Sk2Element::Bitmap("SKIN2_TINY", Bmp(2, 3, 0x0000FF00)),
                              Sk2Element::Bitmap("SKIN2_WIDE", Bmp(400, 4, 0x00FF0000))});
  ASSERT_TRUE(ParseSk2(sk2, skin));
  const image::Image sheet = nsktool::MakeContactSheet(skin);
  EXPECT_EQ(nsktool::SheetScale(2, 3), 8);
  EXPECT_EQ(sheet.Count(0, 0, sheet.Width(), sheet.Height(), image::Rgb(0, 255, 0)), 2 * 8 * 3 * 8);
  const int wideScale = nsktool::SheetScale(400, 4);
  EXPECT_EQ(wideScale, 1);
  EXPECT_EQ(sheet.Count(0, 0, sheet.Width(), sheet.Height(), image::Rgb(0, 0, 255)), 400 * 4);
}
