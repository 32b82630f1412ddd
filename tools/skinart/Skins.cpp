#include "Skins.h"

#include <algorithm>
#include <array>
#include <optional>

#include "Art.h"
#include "Theme.h"

namespace nuvskin::skinart {

namespace {

constexpr std::array<const char*, 32> kColourNames = {
    "SKIN2_TRANSCOLOR", "SKIN2_TITLEFONTCOLOR", "SKIN2_FORMCOLOR", "SKIN2_MENUBARSTARTCOLOR",
    "SKIN2_MENUBARENDCOLOR", "SKIN2_TOPSELECTEDMENUCOLOR", "SKIN2_TOPSELECTEDMENUBORDERCOLOR",
    "SKIN2_TOPSELECTEDMENUFONTCOLOR", "SKIN2_TOPMENUFONTCOLOR", "SKIN2_LEFTBARSTARTCOLOR",
    "SKIN2_LEFTBARENDCOLOR", "SKIN2_MENUITEMCOLOR", "SKIN2_MENUITEMFONTCOLOR",
    "SKIN2_SELECTEDMENUCOLOR", "SKIN2_SELECTEDMENUBORDERCOLOR", "SKIN2_SELECTEDMENUFONTCOLOR",
    "SKIN2_TOOLBARSTARTCOLOR", "SKIN2_TOOLBARENDCOLOR", "SKIN2_TOOLBARONCOLOR",
    "SKIN2_TOOLBARBORDERCOLOR", "SKIN2_TOOLBARDOWNCOLOR", "SKIN2_CONTROLCOLOR",
    "SKIN2_CONTROLBORDERCOLOR", "SKIN2_CONTROLFONTCOLOR", "SKIN2_BUTTONFONTCOLOR",
    "SKIN2_SCROLLBARCOLOR", "SKIN2_TABCONTROLCOLOR", "SKIN2_TABCONTROLBORDERCOLOR",
    "SKIN2_TABCONTROLACTIVEFONTCOLOR", "SKIN2_TABCONTROLINACTIVEFONTCOLOR",
    "SKIN2_SIDECHANNELCOLOR", "SKIN2_SIDECHANNELBORDERCOLOR"};

constexpr std::array<const char*, 9> kIntegerNames = {
    "SKIN2_TITLEBARICONPOSX", "SKIN2_TITLEBARICONPOSY", "SKIN2_TITLEBARCAPTIONTOP",
    "SKIN2_TITLEBARBUTTONPOSX", "SKIN2_TITLEBARBUTTONPOSY", "SKIN2_TITLEBARREGIONMINY",
    "SKIN2_TITLEBARREGIONMAXY", "SKIN2_BOTTOMREGIONMINY", "SKIN2_BOTTOMREGIONMAXY"};

constexpr std::array<const char*, 9> kFlagNames = {
    "SKIN2_TITLEFIVESECT", "SKIN2_BOTTOMBORDERTHREESECT", "SKIN2_TITLEBARNEEDREGION",
    "SKIN2_BOTTOMBORDERNEEDREGION", "SKIN2_TITLEBTNTRANS", "SKIN2_BUTTONTRANS",
    "SKIN2_CHECKBOXTRANS", "SKIN2_RADIOBUTTONTRANS", "SKIN2_TABCONTROLTRANS"};

// The values of the built-in skin, framework colours 0x00BBGGRR.
constexpr std::array<Pixel, 32> kBuiltInColours = {
    0xFF00FF, 0xFFFFFF, 0xE8E8E8, 0xE8C894, 0xE8C894, 0x94671F, 0x94671F, 0xFFFFFF,
    0x795316, 0xBA9460, 0xBA9460, 0xFFF7E7, 0x795316, 0x94671F, 0x94671F, 0xFFFFFF,
    0xE8E8E8, 0xE8E8E8, 0xFBE0B5, 0x6A2009, 0x956720, 0xFFFFFF, 0x6A2009, 0x000000,
    0x000000, 0xF9F9F9, 0xFFFFFF, 0x6A2009, 0x000000, 0x000000, 0xFFFFFF, 0x6A2009};

// The graphite colours of the three-section test skin.
constexpr std::array<Pixel, 32> kGraphiteColours = {
    kMagenta,           kWhite,             Rgb(0xE0, 0xE2, 0xDE), Rgb(0x56, 0x5C, 0x62),
    Rgb(0x3A, 0x3F, 0x44), Rgb(0x4C, 0x9A, 0x2A), Rgb(0x36, 0x6E, 0x1E), kWhite,
    Rgb(0xEE, 0xF0, 0xEC), Rgb(0x5A, 0x60, 0x66), Rgb(0x74, 0x7A, 0x80), Rgb(0xF6, 0xF7, 0xF4),
    Rgb(0x22, 0x24, 0x26), Rgb(0x5C, 0xA8, 0x38), Rgb(0x36, 0x6E, 0x1E), kWhite,
    Rgb(0xEC, 0xEE, 0xEA), Rgb(0xD2, 0xD6, 0xD0), Rgb(0xD0, 0xEC, 0xBC), Rgb(0x36, 0x6E, 0x1E),
    Rgb(0x94, 0xCC, 0x70), kWhite,             Rgb(0x4A, 0x50, 0x56), kBlack,
    kBlack,             Rgb(0xF2, 0xF3, 0xF0), kWhite,             Rgb(0x4A, 0x50, 0x56),
    kBlack,             Rgb(0x40, 0x44, 0x48), kWhite,             Rgb(0x4A, 0x50, 0x56)};

constexpr int kColourForm = 2, kColourLeftBar = 9, kColourScrollBar = 25;

// Title metrics: icon x, icon y, caption top, button x from the right,
// button y, title region rows, bottom region rows.
using Metrics = std::array<int, 9>;

// Where the minimized title puts caption buttons of height gh (the frame
// painter centres them in 26 rows and moves short ones down by two).
int MinimizedGlyphTop(int gh) {
  int y = std::max((26 - gh) / 2, 0);
  if (gh + y < 22) y += 2;
  return y;
}

struct SkinPlan {
  const char* folder;
  const char* description;
  Theme theme;
  std::array<Pixel, 32> colours;
  Metrics metrics;
  std::array<bool, 9> flags;
  std::optional<Pixel> wholeThumbBorder;  // draw the whole-thumb mode's thumb
};

SkinSource Build(const SkinPlan& plan) {
  const Theme& t = plan.theme;
  const bool fiveSections = plan.flags[0], bottomThreeSections = plan.flags[1];
  const bool bottomRegion = plan.flags[3];
  constexpr int kGlyph = 18;
  const int buttonTop = plan.metrics[4];

  SkinSource skin(plan.folder, plan.description);
  for (std::size_t i = 0; i < kColourNames.size(); ++i) skin.Color(kColourNames[i], plan.colours[i]);

  if (fiveSections) {
    skin.Bitmap("SKIN2_TITLEBAR1", TitleLeftEnd(t, 31, TitleFill::Plate));
    skin.Bitmap("SKIN2_TITLEBAR2", TitleMiddle(t, 136, TitleFill::Plate));
    skin.Bitmap("SKIN2_TITLEBAR3", TitlePlateEnd(t, 17));
    skin.Bitmap("SKIN2_TITLEBAR4", TitleMiddle(t, 13, TitleFill::Filler));
    skin.Bitmap("SKIN2_TITLEBAR5", TitleRightEnd(t, 14));
  } else {
    skin.Bitmap("SKIN2_TITLEBAR1", TitleLeftEnd(t, 36, TitleFill::Filler));
    skin.Bitmap("SKIN2_TITLEBAR2", TitleMiddle(t, 24, TitleFill::Filler));
    skin.Bitmap("SKIN2_TITLEBAR3", TitleRightEnd(t, 16));
  }
  skin.Bitmap("SKIN2_FORMLEFTBORDER", SideBorder(t, true, 6));
  skin.Bitmap("SKIN2_FORMRIGHTBORDER", SideBorder(t, false, 6));
  if (bottomThreeSections) {
    const int h = static_cast<int>(t.bottomRing.size());
    const double radius = bottomRegion ? 4 : 0;
    skin.Bitmap("SKIN2_FORMBOTTOMBORDER1", BottomBorder(t, BottomPart::Left, 12, h, radius));
    skin.Bitmap("SKIN2_FORMBOTTOMBORDER2", BottomBorder(t, BottomPart::Middle, 8, h, radius));
    skin.Bitmap("SKIN2_FORMBOTTOMBORDER3", BottomBorder(t, BottomPart::Right, 12, h, radius));
  } else {
    const int h = static_cast<int>(t.bottomRing.size());
    skin.Bitmap("SKIN2_FORMBOTTOMBORDER1",
                SideBySide({BottomBorder(t, BottomPart::Left, 60, h, 0),
                            BottomBorder(t, BottomPart::Middle, 60, h, 0),
                            BottomBorder(t, BottomPart::Right, 60, h, 0)}));
  }
  const int minimizedTop = MinimizedGlyphTop(kGlyph);
  skin.Bitmap("SKIN2_MINIMIZEDTITLE", MinimizedTitle(t, 160, fiveSections ? 27 : 26, minimizedTop,
                                                     buttonTop - minimizedTop));
  skin.Bitmap("SKIN2_TITLEBUTTONS", CaptionButtons(t, kGlyph, buttonTop));
  skin.Bitmap("SKIN2_CHECKEDMENUICON", MenuCheckMark(t, 16));
  if (!fiveSections) skin.Bitmap("SKIN2_MENUBAR", MenuBar(t, 16, 20));
  skin.Bitmap("SKIN2_BUTTON", PushButtonFrames(t, 84, 25));
  skin.Bitmap("SKIN2_CHECKBOX", CheckBoxFrames(t, 17));
  skin.Bitmap("SKIN2_CHECKBOXLIST", CheckListFrames(t, 11));
  skin.Bitmap("SKIN2_RADIOBUTTON", RadioButtonFrames(t, 17));
  skin.Bitmap("SKIN2_PROGRESSBAR1", ProgressCap(t, 13));
  skin.Bitmap("SKIN2_PROGRESSBAR2", ProgressFilled(t, 7, 13));
  skin.Bitmap("SKIN2_PROGRESSBAR3", ProgressEmpty(t, 7, 13));
  skin.Bitmap("SKIN2_PROGRESSBAR4", ProgressCap(t, 13));
  skin.Bitmap("SKIN2_TRACKBAR", TrackChannel(t, 60, 8));
  skin.Bitmap("SKIN2_TRACKBARSLIDER", TrackThumb(t, false));
  skin.Bitmap("SKIN2_TRACKBARVSLIDER", TrackThumb(t, true));
  skin.Bitmap("SKIN2_SCROLLBARUPBUTTON", ScrollButtonFrames(t, 18, true));
  skin.Bitmap("SKIN2_SCROLLBAR", plan.wholeThumbBorder ? WholeScrollThumb(t, 18, 33, *plan.wholeThumbBorder)
                                                       : ScrollThumb(t, 18, 63));
  skin.Bitmap("SKIN2_SCROLLBARDOWNBUTTON", ScrollButtonFrames(t, 18, false));
  skin.Bitmap("SKIN2_TABCONTROL", TabFrames(t, 30, 22));
  skin.Bitmap("SKIN2_TABCONTROLLINE", TabLine(t, 8));
  skin.Bitmap("SKIN2_SIDECHANNELBAR", SideChannelBar(t, 7, 84));
  skin.Bitmap("SKIN2_SIDECHANNELTITLE", SideChannelTitle(t, 1, 21));
  skin.Bitmap("SKIN2_SCROLLBUTTON", ScrollButtonStrip(t, 20));

  for (std::size_t i = 0; i < kIntegerNames.size(); ++i) skin.Integer(kIntegerNames[i], plan.metrics[i]);
  for (std::size_t i = 0; i < kFlagNames.size(); ++i) skin.Flag(kFlagNames[i], plan.flags[i]);
  return skin;
}

// The art must be drawn on the colours the skin declares.
Theme Matching(Theme theme, const std::array<Pixel, 32>& colours) {
  theme.form = colours[kColourForm];
  theme.menuLeftBar = colours[kColourLeftBar];
  theme.scrollTrack = colours[kColourScrollBar];
  return theme;
}

}  // namespace

std::vector<SkinSource> BuildSkins() {
  const Metrics builtInMetrics = {21, 9, 9, 7, 9, 0, 5, -1, -1};
  const std::array<bool, 9> builtInFlags = {true, false, true, false, false, true, false, true, false};

  SkinPlan builtIn{"default", "The built-in skin: blue title, light grey forms.",
                   Matching(BlueTheme(), kBuiltInColours), kBuiltInColours, builtInMetrics,
                   builtInFlags, std::nullopt};

  SkinPlan threeSections{
      "threesect",
      "Test skin: three-section title, three-part bottom border cut by the region, menu bar bitmap.",
      Matching(GraphiteTheme(), kGraphiteColours), kGraphiteColours,
      Metrics{10, 6, 7, 6, 5, 0, 4, 2, 5},
      {false, true, true, true, false, true, false, true, false}, std::nullopt};

  // The whole-thumb mode needs all three: this scroll bar colour, a thumb
  // 33 pixels high and this colour at its pixel (1, 10).
  std::array<Pixel, 32> wholeThumbColours = kBuiltInColours;
  wholeThumbColours[kColourScrollBar] = 0xCBCBCB;
  SkinPlan wholeThumb{"wholethumb", "Test skin: the built-in skin with a thumb drawn whole.",
                      Matching(BlueTheme(), wholeThumbColours), wholeThumbColours, builtInMetrics,
                      builtInFlags, Pixel{0xB23901}};

  return {Build(builtIn), Build(threeSections), Build(wholeThumb)};
}

void WriteSkinArt(const std::filesystem::path& root) {
  SkinWriter writer(root);
  for (const SkinSource& skin : BuildSkins()) writer.Write(skin);
  writer.WriteFile("system", "menu_checked.bmp", format::EncodeBmp(MenuCheckedResource()));
  writer.WriteFile("system", "mdi_controler.bmp", format::EncodeBmp(MdiControlerResource()));
  writer.RemoveStaleFiles();
}

}  // namespace nuvskin::skinart
