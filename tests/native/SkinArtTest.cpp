// The committed skin sources against the program that draws them, and the
// facts the painters rely on in the built-in skin and the test skins.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Raster.h"
#include "Skins.h"
#include "skin/format/Bmp.h"

namespace fs = std::filesystem;
using namespace nuvskin;
using format::BmpImage;
using format::Bytes;

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;

const fs::path kSkins = fs::path(NUVSKIN_SOURCE_DIR) / "skins";
const std::vector<std::string> kFolders = {"default", "threesect", "wholethumb", "system"};

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A folder under the system's temporary directory, removed with the object.
class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("nuvskin-skinart-" + std::to_string(rd()));
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

struct Record {
  std::string kind, name, value;
};

// Reads a manifest: KIND NAME VALUE per line, '#' comments, blank lines.
std::vector<Record> ReadManifest(const fs::path& path) {
  std::ifstream in(path);
  std::vector<Record> records;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    Record r;
    fields >> r.kind >> r.name;
    std::getline(fields >> std::ws, r.value);
    records.push_back(r);
  }
  return records;
}

// One skin read back from its committed sources.
struct SkinFiles {
  explicit SkinFiles(const std::string& folder) {
    const fs::path dir = kSkins / folder;
    for (const Record& r : ReadManifest(dir / "manifest.txt")) {
      order.push_back(r.name);
      kinds[r.name] = r.kind;
      if (r.kind == "bitmap") {
        BmpImage bmp;
        std::string error;
        EXPECT_TRUE(format::ParseBmp(ReadFile(dir / r.value), bmp, &error)) << r.value << ": " << error;
        depth[r.name] = bmp.bitsPerPixel;
        bitmaps[r.name] = image::Image(bmp.width, bmp.height);
        const auto px = format::DecodeBmpPixels(bmp);
        for (int y = 0; y < bmp.height; ++y)
          for (int x = 0; x < bmp.width; ++x)
            bitmaps[r.name].Set(x, y, px[static_cast<std::size_t>(y) * bmp.width + x]);
      } else {
        values[r.name] = std::stoi(r.value);
      }
    }
  }
  const image::Image& Bmp(const std::string& name) const { return bitmaps.at("SKIN2_" + name); }
  int Value(const std::string& name) const { return values.at("SKIN2_" + name); }
  bool Has(const std::string& name) const { return kinds.count("SKIN2_" + name) > 0; }

  std::vector<std::string> order;
  std::map<std::string, std::string> kinds;
  std::map<std::string, int> values;
  std::map<std::string, int> depth;
  std::map<std::string, image::Image> bitmaps;
};

const SkinFiles& Default() {
  static const SkinFiles skin("default");
  return skin;
}

image::Image Frame(const image::Image& strip, int count, int index) {
  return skinart::Crop(strip, strip.Width() / count * (index - 1), 0, strip.Width() / count,
                       strip.Height());
}

int MagentaInRows(const image::Image& img, int first, int last) {
  return img.Count(0, first, img.Width(), last - first + 1, kMagenta);
}

}  // namespace

TEST(SkinArt, CommittedFilesAreWhatTheProgramWrites) {
  TempDir out;
  skinart::WriteSkinArt(out.Path());
  for (const std::string& folder : kFolders) {
    std::set<std::string> written, committed;
    for (const auto& e : fs::directory_iterator(out.Path() / folder)) written.insert(e.path().filename().string());
    for (const auto& e : fs::directory_iterator(kSkins / folder)) committed.insert(e.path().filename().string());
    EXPECT_EQ(written, committed) << folder << ": run skinart to regenerate the skin sources";
    for (const std::string& file : written)
      EXPECT_TRUE(ReadFile(out.Path() / folder / file) == ReadFile(kSkins / folder / file))
          << folder << "/" << file << " differs from what skinart draws";
  }
}

TEST(SkinArt, RewritingRemovesStaleFilesOnly) {
  TempDir out;
  skinart::WriteSkinArt(out.Path());
  std::ofstream(out.Path() / "default" / "stale.bmp") << "old";
  std::ofstream(out.Path() / "default" / "notes.txt") << "kept";
  std::ofstream(out.Path() / "README.md") << "kept";
  skinart::WriteSkinArt(out.Path());
  EXPECT_FALSE(fs::exists(out.Path() / "default" / "stale.bmp"));
  EXPECT_TRUE(fs::exists(out.Path() / "default" / "notes.txt"));
  EXPECT_TRUE(fs::exists(out.Path() / "README.md"));
}

TEST(SkinArt, WriteFailsClearlyWhenTheFolderCannotBeMade) {
  TempDir out;
  std::ofstream(out.Path() / "blocker") << "a file where a folder should go";
  EXPECT_THROW(skinart::WriteSkinArt(out.Path() / "blocker"), std::exception);
}

TEST(SkinArt, BuiltInSkinHasEveryElementWithItsBuiltInValue) {
  // Name, then the value of colours, integers and flags in catalogue order.
  const std::vector<std::pair<std::string, int>> values = {
      {"TRANSCOLOR", 0xFF00FF}, {"TITLEFONTCOLOR", 0xFFFFFF}, {"FORMCOLOR", 0xE8E8E8},
      {"MENUBARSTARTCOLOR", 0xE8C894}, {"MENUBARENDCOLOR", 0xE8C894},
      {"TOPSELECTEDMENUCOLOR", 0x94671F}, {"TOPSELECTEDMENUBORDERCOLOR", 0x94671F},
      {"TOPSELECTEDMENUFONTCOLOR", 0xFFFFFF}, {"TOPMENUFONTCOLOR", 0x795316},
      {"LEFTBARSTARTCOLOR", 0xBA9460}, {"LEFTBARENDCOLOR", 0xBA9460}, {"MENUITEMCOLOR", 0xFFF7E7},
      {"MENUITEMFONTCOLOR", 0x795316}, {"SELECTEDMENUCOLOR", 0x94671F},
      {"SELECTEDMENUBORDERCOLOR", 0x94671F}, {"SELECTEDMENUFONTCOLOR", 0xFFFFFF},
      {"TOOLBARSTARTCOLOR", 0xE8E8E8}, {"TOOLBARENDCOLOR", 0xE8E8E8}, {"TOOLBARONCOLOR", 0xFBE0B5},
      {"TOOLBARBORDERCOLOR", 0x6A2009}, {"TOOLBARDOWNCOLOR", 0x956720}, {"CONTROLCOLOR", 0xFFFFFF},
      {"CONTROLBORDERCOLOR", 0x6A2009}, {"CONTROLFONTCOLOR", 0}, {"BUTTONFONTCOLOR", 0},
      {"SCROLLBARCOLOR", 0xF9F9F9}, {"TABCONTROLCOLOR", 0xFFFFFF}, {"TABCONTROLBORDERCOLOR", 0x6A2009},
      {"TABCONTROLACTIVEFONTCOLOR", 0}, {"TABCONTROLINACTIVEFONTCOLOR", 0},
      {"SIDECHANNELCOLOR", 0xFFFFFF}, {"SIDECHANNELBORDERCOLOR", 0x6A2009},
      {"TITLEBARICONPOSX", 21}, {"TITLEBARICONPOSY", 9}, {"TITLEBARCAPTIONTOP", 9},
      {"TITLEBARBUTTONPOSX", 7}, {"TITLEBARBUTTONPOSY", 9}, {"TITLEBARREGIONMINY", 0},
      {"TITLEBARREGIONMAXY", 5}, {"BOTTOMREGIONMINY", -1}, {"BOTTOMREGIONMAXY", -1},
      {"TITLEFIVESECT", 1}, {"BOTTOMBORDERTHREESECT", 0}, {"TITLEBARNEEDREGION", 1},
      {"BOTTOMBORDERNEEDREGION", 0}, {"TITLEBTNTRANS", 0}, {"BUTTONTRANS", 1}, {"CHECKBOXTRANS", 0},
      {"RADIOBUTTONTRANS", 1}, {"TABCONTROLTRANS", 0}};
  const std::vector<std::tuple<std::string, int, int>> bitmaps = {
      {"TITLEBAR1", 31, 31}, {"TITLEBAR2", 136, 31}, {"TITLEBAR3", 17, 31}, {"TITLEBAR4", 13, 31},
      {"TITLEBAR5", 14, 31}, {"FORMLEFTBORDER", 5, 6}, {"FORMRIGHTBORDER", 5, 6},
      {"FORMBOTTOMBORDER1", 180, 5}, {"MINIMIZEDTITLE", 160, 27}, {"TITLEBUTTONS", 324, 18},
      {"CHECKEDMENUICON", 16, 16}, {"BUTTON", 252, 25}, {"CHECKBOX", 102, 17},
      {"CHECKBOXLIST", 44, 11}, {"RADIOBUTTON", 68, 17}, {"PROGRESSBAR1", 1, 13},
      {"PROGRESSBAR2", 7, 13}, {"PROGRESSBAR3", 7, 13}, {"PROGRESSBAR4", 1, 13},
      {"TRACKBAR", 60, 8}, {"TRACKBARSLIDER", 11, 21}, {"TRACKBARVSLIDER", 21, 11},
      {"SCROLLBARUPBUTTON", 54, 18}, {"SCROLLBAR", 18, 63}, {"SCROLLBARDOWNBUTTON", 54, 18},
      {"TABCONTROL", 60, 22}, {"TABCONTROLLINE", 8, 1}, {"SIDECHANNELBAR", 7, 84},
      {"SIDECHANNELTITLE", 1, 21}, {"SCROLLBUTTON", 80, 20}};
  const SkinFiles& skin = Default();
  for (const auto& [name, value] : values) {
    ASSERT_TRUE(skin.Has(name)) << name;
    EXPECT_EQ(skin.Value(name), value) << name;
    const bool flag = name.find("SECT") != std::string::npos || name.find("TRANS") != std::string::npos ||
                      name.find("NEEDREGION") != std::string::npos;
    EXPECT_EQ(skin.kinds.at("SKIN2_" + name), flag && name != "TRANSCOLOR" ? "byte" : "integer") << name;
  }
  for (const auto& [name, w, h] : bitmaps) {
    ASSERT_TRUE(skin.Has(name)) << name;
    EXPECT_EQ(skin.Bmp(name).Width(), w) << name;
    EXPECT_EQ(skin.Bmp(name).Height(), h) << name;
    EXPECT_EQ(skin.depth.at("SKIN2_" + name), 24) << name;
  }
  for (const char* absent : {"FORMBOTTOMBORDER2", "FORMBOTTOMBORDER3", "MENUBAR", "TOOLBAR"})
    EXPECT_FALSE(skin.Has(absent)) << absent;
  // Nothing else, each element once, colours before bitmaps before integers before flags.
  EXPECT_EQ(skin.order.size(), values.size() + bitmaps.size());
  EXPECT_EQ(std::set<std::string>(skin.order.begin(), skin.order.end()).size(), skin.order.size());
  EXPECT_EQ(skin.order[31], "SKIN2_SIDECHANNELBORDERCOLOR");
  EXPECT_EQ(skin.order[32], "SKIN2_TITLEBAR1");
  EXPECT_EQ(skin.order[61], "SKIN2_SCROLLBUTTON");
  EXPECT_EQ(skin.order[62], "SKIN2_TITLEBARICONPOSX");
}

TEST(SkinArt, TitleBarCornersAreCutOnlyInTheRegionRows) {
  for (const SkinFiles& skin : {Default(), SkinFiles("threesect")}) {
    const int maxY = skin.Value("TITLEBARREGIONMAXY");
    EXPECT_EQ(skin.Value("TITLEBARNEEDREGION"), 1);
    EXPECT_EQ(skin.Value("TITLEBARREGIONMINY"), 0);
    for (const char* name : {"TITLEBAR1", "TITLEBAR2", "TITLEBAR3", "TITLEBAR4", "TITLEBAR5", "MINIMIZEDTITLE"}) {
      if (!skin.Has(name)) continue;
      const image::Image& img = skin.Bmp(name);
      EXPECT_EQ(MagentaInRows(img, maxY + 1, img.Height() - 1), 0) << name << " below the region rows";
      EXPECT_EQ(img.Height(), name == std::string("MINIMIZEDTITLE") ? img.Height()
                                                                    : skin.Bmp("TITLEBAR1").Height());
    }
  }
  const SkinFiles& skin = Default();
  const int maxY = skin.Value("TITLEBARREGIONMAXY");
  // Rounded top corners: the outer corner pixels are cut, the edges below are not.
  const image::Image& left = skin.Bmp("TITLEBAR1");
  const image::Image& right = skin.Bmp("TITLEBAR5");
  EXPECT_EQ(left.At(0, 0), kMagenta);
  EXPECT_EQ(right.At(right.Width() - 1, 0), kMagenta);
  EXPECT_NE(left.At(0, maxY + 1), kMagenta);
  EXPECT_NE(right.At(right.Width() - 1, maxY + 1), kMagenta);
  EXPECT_NE(left.At(left.Width() - 1, 0), kMagenta);
  EXPECT_EQ(MagentaInRows(skin.Bmp("TITLEBAR2"), 0, maxY), 0);
  EXPECT_EQ(MagentaInRows(skin.Bmp("TITLEBAR4"), 0, maxY), 0);
  const image::Image& minimized = skin.Bmp("MINIMIZEDTITLE");
  EXPECT_EQ(minimized.At(0, 0), kMagenta);
  EXPECT_EQ(minimized.At(minimized.Width() - 1, 0), kMagenta);
}

TEST(SkinArt, TransparentColourOnlyWhereItIsDrawnTransparentOrReplaced) {
  // Drawn with the transparent colour or recoloured by the engine; all other
  // bitmaps are drawn opaque and must not show it.
  const std::set<std::string> allowed = {
      "SKIN2_TITLEBAR1", "SKIN2_TITLEBAR3", "SKIN2_TITLEBAR5", "SKIN2_MINIMIZEDTITLE",
      "SKIN2_CHECKEDMENUICON", "SKIN2_BUTTON", "SKIN2_RADIOBUTTON", "SKIN2_TRACKBAR",
      "SKIN2_TRACKBARSLIDER", "SKIN2_TRACKBARVSLIDER", "SKIN2_SCROLLBARUPBUTTON", "SKIN2_SCROLLBAR",
      "SKIN2_SCROLLBARDOWNBUTTON", "SKIN2_FORMBOTTOMBORDER1", "SKIN2_FORMBOTTOMBORDER3"};
  for (const std::string folder : {"default", "threesect", "wholethumb"}) {
    const SkinFiles skin(folder);
    for (const auto& [name, img] : skin.bitmaps) {
      const int magenta = img.Count(0, 0, img.Width(), img.Height(), kMagenta);
      if (!allowed.count(name)) EXPECT_EQ(magenta, 0) << folder << " " << name;
    }
    // Opaque glyph sets of these skins (their TRANS flags are off).
    EXPECT_EQ(skin.Value("CHECKBOXTRANS"), 0);
    EXPECT_EQ(skin.Value("TITLEBTNTRANS"), 0);
    EXPECT_EQ(skin.Value("TABCONTROLTRANS"), 0);
    if (!skin.Value("BOTTOMBORDERNEEDREGION"))
      EXPECT_EQ(skin.Bmp("FORMBOTTOMBORDER1").Count(0, 0, 10000, 10000, kMagenta), 0) << folder;
  }
}

TEST(SkinArt, ButtonAndGlyphFramesHaveTheirShapes) {
  const SkinFiles& skin = Default();
  for (int k = 1; k <= 3; ++k) {
    const image::Image f = Frame(skin.Bmp("BUTTON"), 3, k);
    const int r = f.Width() - 1, b = f.Height() - 1;
    EXPECT_EQ(f.At(0, 0), kMagenta) << "frame " << k;
    EXPECT_EQ(f.At(r, 0), kMagenta) << "frame " << k;
    EXPECT_EQ(f.At(0, b), kMagenta) << "frame " << k;
    EXPECT_EQ(f.At(r, b), kMagenta) << "frame " << k;
    // The nine-grid stretches row 12 and column 42: they stay opaque.
    EXPECT_EQ(MagentaInRows(f, f.Height() / 2, f.Height() / 2), 0);
    EXPECT_EQ(f.Count(f.Width() / 2, 0, 1, f.Height(), kMagenta), 0);
  }
  // Normal, hot and down must look different.
  EXPECT_NE(Frame(skin.Bmp("BUTTON"), 3, 1).At(42, 12), Frame(skin.Bmp("BUTTON"), 3, 2).At(42, 12));
  EXPECT_NE(Frame(skin.Bmp("BUTTON"), 3, 2).At(42, 12), Frame(skin.Bmp("BUTTON"), 3, 3).At(42, 12));

  for (const char* name : {"SCROLLBARUPBUTTON", "SCROLLBARDOWNBUTTON"}) {
    const image::Image& strip = skin.Bmp(name);
    EXPECT_EQ(strip.Width(), 3 * 18);
    EXPECT_EQ(strip.Height(), 18);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(Frame(strip, 3, k).At(0, 0), kMagenta) << name << " " << k;
  }
  // Radio images are always drawn transparently: round, cut corners.
  for (int k = 1; k <= 4; ++k) {
    const image::Image f = Frame(skin.Bmp("RADIOBUTTON"), 4, k);
    EXPECT_EQ(f.At(0, 0), kMagenta);
    EXPECT_NE(f.At(8, 8), kMagenta);
  }
  // Checked and unchecked glyphs differ in their middle.
  const image::Image& checks = skin.Bmp("CHECKBOX");
  EXPECT_NE(Frame(checks, 6, 1).At(8, 9), Frame(checks, 6, 3).At(8, 9));
  EXPECT_NE(Frame(checks, 6, 2).At(8, 8), Frame(checks, 6, 3).At(8, 8));
  // Track bar thumbs: the lower-left pixel is the painter's transparent colour.
  for (const char* name : {"TRACKBARSLIDER", "TRACKBARVSLIDER"}) {
    const image::Image& thumb = skin.Bmp(name);
    EXPECT_EQ(thumb.At(0, thumb.Height() - 1), kMagenta) << name;
    EXPECT_NE(thumb.At(thumb.Width() / 2, thumb.Height() / 2), kMagenta) << name;
  }
}

TEST(SkinArt, CaptionButtonGlyphsDifferByButtonAndState) {
  const image::Image& strip = Default().Bmp("TITLEBUTTONS");
  std::vector<image::Image> frames;
  for (int k = 1; k <= 18; ++k) frames.push_back(Frame(strip, 18, k));
  auto same = [](const image::Image& a, const image::Image& b) {
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (a.At(x, y) != b.At(x, y)) return false;
    return true;
  };
  for (int i = 0; i < 18; ++i)
    for (int j = i + 1; j < 18; ++j) EXPECT_FALSE(same(frames[i], frames[j])) << i + 1 << " and " << j + 1;
}

TEST(SkinArt, ScrollThumbMiddleStaysUniformUnderTheGripTest) {
  const image::Image& thumb = Default().Bmp("SCROLLBAR");
  ASSERT_EQ(thumb.Height(), 63);
  for (int x = 4; x <= 14; ++x) EXPECT_EQ(thumb.At(x, 24), thumb.At(4, 24)) << "column " << x;
  // The grip itself is drawn inside the middle piece (rows 23 to 41), not on its tested row.
  const int f = (thumb.Height() - 6) / 3;
  int gripRows = 0;
  for (int y = f + 6; y < thumb.Height() - f - 3; ++y)
    if (thumb.At(9, y) != thumb.At(9, 24)) ++gripRows;
  EXPECT_GT(gripRows, 0);
  // Column 0 and the corners are cut out (the scroll bar colour replaces them).
  EXPECT_EQ(thumb.At(0, 30), kMagenta);
  EXPECT_EQ(thumb.At(1, 0), kMagenta);
  EXPECT_NE(thumb.At(9, 0), kMagenta);
}

TEST(SkinArt, WholeThumbSkinMeetsTheWholeThumbTestAndTheDefaultDoesNot) {
  const SkinFiles whole("wholethumb");
  EXPECT_EQ(whole.Value("SCROLLBARCOLOR"), 0xCBCBCB);
  const image::Image& thumb = whole.Bmp("SCROLLBAR");
  EXPECT_EQ(thumb.Height(), 33);
  EXPECT_EQ(thumb.At(1, 10), 0xB23901u);
  EXPECT_EQ(thumb.Count(0, 0, thumb.Width(), thumb.Height(), kMagenta), 0)
      << "the whole thumb is not recoloured";
  EXPECT_NE(Default().Value("SCROLLBARCOLOR"), 0xCBCBCB);
  // Otherwise the built-in skin, reusing its files.
  for (const auto& [name, value] : Default().values)
    if (name != "SKIN2_SCROLLBARCOLOR") EXPECT_EQ(whole.values.at(name), value) << name;
  bool reuses = false;
  for (const Record& r : ReadManifest(kSkins / "wholethumb" / "manifest.txt"))
    if (r.name == "SKIN2_TITLEBAR1") reuses = r.value == "../default/titlebar1.bmp";
  EXPECT_TRUE(reuses);
}

TEST(SkinArt, ThreeSectionSkinTakesTheOtherFramePaths) {
  const SkinFiles skin("threesect");
  EXPECT_EQ(skin.Value("TITLEFIVESECT"), 0);
  EXPECT_EQ(skin.Value("BOTTOMBORDERTHREESECT"), 1);
  EXPECT_EQ(skin.Value("BOTTOMBORDERNEEDREGION"), 1);
  EXPECT_TRUE(skin.Has("MENUBAR"));
  EXPECT_FALSE(skin.Has("TITLEBAR4"));
  EXPECT_FALSE(skin.Has("TITLEBAR5"));
  const int height = skin.Bmp("TITLEBAR1").Height();
  for (const char* name : {"TITLEBAR2", "TITLEBAR3"}) EXPECT_EQ(skin.Bmp(name).Height(), height);
  EXPECT_EQ(skin.Bmp("TITLEBAR3").At(skin.Bmp("TITLEBAR3").Width() - 1, 0), kMagenta);

  // The bottom region limits select real rows; the corners are cut there only.
  const int h = skin.Bmp("FORMBOTTOMBORDER1").Height();
  const int minY = skin.Value("BOTTOMREGIONMINY"), maxY = skin.Value("BOTTOMREGIONMAXY");
  EXPECT_GE(minY, 0);
  EXPECT_LT(minY, maxY);
  EXPECT_LT(maxY, h);
  for (const char* name : {"FORMBOTTOMBORDER1", "FORMBOTTOMBORDER2", "FORMBOTTOMBORDER3"}) {
    const image::Image& img = skin.Bmp(name);
    EXPECT_EQ(img.Height(), h) << name;
    if (minY > 0) EXPECT_EQ(MagentaInRows(img, 0, minY - 1), 0) << name;
  }
  const image::Image& left = skin.Bmp("FORMBOTTOMBORDER1");
  const image::Image& right = skin.Bmp("FORMBOTTOMBORDER3");
  EXPECT_EQ(left.At(0, h - 1), kMagenta);
  EXPECT_EQ(right.At(right.Width() - 1, h - 1), kMagenta);
  EXPECT_EQ(MagentaInRows(skin.Bmp("FORMBOTTOMBORDER2"), 0, h - 1), 0);
  // A different theme from the built-in skin.
  EXPECT_NE(skin.Value("FORMCOLOR"), Default().Value("FORMCOLOR"));
  EXPECT_NE(skin.Bmp("TITLEBAR2").At(0, 10), Default().Bmp("TITLEBAR2").At(0, 10));
}

TEST(SkinArt, SystemBitmapsHaveTheirFormats) {
  BmpImage check;
  ASSERT_TRUE(format::ParseBmp(ReadFile(kSkins / "system" / "menu_checked.bmp"), check));
  EXPECT_EQ(check.width, 16);
  EXPECT_EQ(check.height, 16);
  EXPECT_EQ(check.bitsPerPixel, 4);
  EXPECT_EQ(check.palette.size(), 16u);
  std::map<std::uint32_t, int> colours;
  for (std::uint32_t p : format::DecodeBmpPixels(check)) ++colours[p];
  EXPECT_GT(colours[0xFFFFFF], 128) << "white background";
  EXPECT_GT(colours[0x008000] + colours[0x00FF00], 10) << "green mark";
  EXPECT_GT(colours[0x808080], 5) << "dark grey shadow";

  BmpImage mdi;
  ASSERT_TRUE(format::ParseBmp(ReadFile(kSkins / "system" / "mdi_controler.bmp"), mdi));
  EXPECT_EQ(mdi.width, 48);
  EXPECT_EQ(mdi.height, 16);
  EXPECT_EQ(mdi.bitsPerPixel, 1);
  const auto px = format::DecodeBmpPixels(mdi);
  auto black = [&](int x, int y) { return px[static_cast<std::size_t>(y) * 48 + x] == 0; };
  for (int glyph = 0; glyph < 3; ++glyph) {
    int count = 0, top = 16;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (black(glyph * 16 + x, y)) {
          ++count;
          top = std::min(top, y);
        }
    EXPECT_GT(count, 10) << "glyph " << glyph;
    if (glyph == 0) EXPECT_GE(top, 8) << "the minimize bar sits at the bottom";
  }
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(black(32 + x, y), black(32 + 15 - x, y)) << "the close cross is symmetric";
  for (std::uint32_t p : px) EXPECT_TRUE(p == 0 || p == 0xFFFFFF);
}

TEST(SkinArt, TurnsFollowTheEnginesConvention) {
  // Red, green, blue from left to right.
  image::Image row(3, 1);
  row.Set(0, 0, 0x0000FF);
  row.Set(1, 0, 0x00FF00);
  row.Set(2, 0, 0xFF0000);
  const image::Image ccw = skinart::Turn90CCW(row);
  ASSERT_EQ(ccw.Width(), 1);
  EXPECT_EQ(ccw.At(0, 0), 0xFF0000u);
  EXPECT_EQ(ccw.At(0, 2), 0x0000FFu);
  const image::Image cw = skinart::Turn90CW(row);
  EXPECT_EQ(cw.At(0, 0), 0x0000FFu);
  EXPECT_EQ(cw.At(0, 2), 0xFF0000u);
}
