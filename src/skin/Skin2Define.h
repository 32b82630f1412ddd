// The skin element catalogue: the 84 element names the system asks for, in
// four index ranges, and the frame counts of the multi-state bitmaps.
// Header-only and free of Win32, for native and Windows code alike.
#pragma once

#include <array>
#include <string_view>

#include "skin/format/AsciiCase.h"

namespace nuvskin {

// Range bases and sizes: colour i is name i, bitmap i is name 32 + i,
// integer i is name 66 + i, flag i is name 75 + i.
constexpr int kSkinColorBase = 0, kSkinColorCount = 32;
constexpr int kSkinBitmapBase = 32, kSkinBitmapCount = 34;
constexpr int kSkinIntegerBase = 66, kSkinIntegerCount = 9;
constexpr int kSkinFlagBase = 75, kSkinFlagCount = 9;
constexpr int kSkinElementCount = 84;

inline constexpr std::array<std::string_view, kSkinElementCount> SkinElementNames = {
    // Colours 0..31.
    "SKIN2_TRANSCOLOR",
    "SKIN2_TITLEFONTCOLOR",
    "SKIN2_FORMCOLOR",
    "SKIN2_MENUBARSTARTCOLOR",
    "SKIN2_MENUBARENDCOLOR",
    "SKIN2_TOPSELECTEDMENUCOLOR",
    "SKIN2_TOPSELECTEDMENUBORDERCOLOR",
    "SKIN2_TOPSELECTEDMENUFONTCOLOR",
    "SKIN2_TOPMENUFONTCOLOR",
    "SKIN2_LEFTBARSTARTCOLOR",
    "SKIN2_LEFTBARENDCOLOR",
    "SKIN2_MENUITEMCOLOR",
    "SKIN2_MENUITEMFONTCOLOR",
    "SKIN2_SELECTEDMENUCOLOR",
    "SKIN2_SELECTEDMENUBORDERCOLOR",
    "SKIN2_SELECTEDMENUFONTCOLOR",
    "SKIN2_TOOLBARSTARTCOLOR",
    "SKIN2_TOOLBARENDCOLOR",
    "SKIN2_TOOLBARONCOLOR",
    "SKIN2_TOOLBARBORDERCOLOR",
    "SKIN2_TOOLBARDOWNCOLOR",
    "SKIN2_CONTROLCOLOR",
    "SKIN2_CONTROLBORDERCOLOR",
    "SKIN2_CONTROLFONTCOLOR",
    "SKIN2_BUTTONFONTCOLOR",
    "SKIN2_SCROLLBARCOLOR",
    "SKIN2_TABCONTROLCOLOR",
    "SKIN2_TABCONTROLBORDERCOLOR",
    "SKIN2_TABCONTROLACTIVEFONTCOLOR",
    "SKIN2_TABCONTROLINACTIVEFONTCOLOR",
    "SKIN2_SIDECHANNELCOLOR",
    "SKIN2_SIDECHANNELBORDERCOLOR",
    // Bitmaps 0..33 (names 32..65).
    "SKIN2_TITLEBAR1",
    "SKIN2_TITLEBAR2",
    "SKIN2_TITLEBAR3",
    "SKIN2_TITLEBAR4",
    "SKIN2_TITLEBAR5",
    "SKIN2_FORMLEFTBORDER",
    "SKIN2_FORMRIGHTBORDER",
    "SKIN2_FORMBOTTOMBORDER1",
    "SKIN2_FORMBOTTOMBORDER2",
    "SKIN2_FORMBOTTOMBORDER3",
    "SKIN2_MINIMIZEDTITLE",
    "SKIN2_TITLEBUTTONS",
    "SKIN2_CHECKEDMENUICON",
    "SKIN2_MENUBAR",
    "SKIN2_TOOLBAR",
    "SKIN2_BUTTON",
    "SKIN2_CHECKBOX",
    "SKIN2_CHECKBOXLIST",
    "SKIN2_RADIOBUTTON",
    "SKIN2_PROGRESSBAR1",
    "SKIN2_PROGRESSBAR2",
    "SKIN2_PROGRESSBAR3",
    "SKIN2_PROGRESSBAR4",
    "SKIN2_TRACKBAR",
    "SKIN2_TRACKBARSLIDER",
    "SKIN2_TRACKBARVSLIDER",
    "SKIN2_SCROLLBARUPBUTTON",
    "SKIN2_SCROLLBAR",
    "SKIN2_SCROLLBARDOWNBUTTON",
    "SKIN2_TABCONTROL",
    "SKIN2_TABCONTROLLINE",
    "SKIN2_SIDECHANNELBAR",
    "SKIN2_SIDECHANNELTITLE",
    "SKIN2_SCROLLBUTTON",
    // Integers 0..8 (names 66..74).
    "SKIN2_TITLEBARICONPOSX",
    "SKIN2_TITLEBARICONPOSY",
    "SKIN2_TITLEBARCAPTIONTOP",
    "SKIN2_TITLEBARBUTTONPOSX",
    "SKIN2_TITLEBARBUTTONPOSY",
    "SKIN2_TITLEBARREGIONMINY",
    "SKIN2_TITLEBARREGIONMAXY",
    "SKIN2_BOTTOMREGIONMINY",
    "SKIN2_BOTTOMREGIONMAXY",
    // Flags 0..8 (names 75..83).
    "SKIN2_TITLEFIVESECT",
    "SKIN2_BOTTOMBORDERTHREESECT",
    "SKIN2_TITLEBARNEEDREGION",
    "SKIN2_BOTTOMBORDERNEEDREGION",
    "SKIN2_TITLEBTNTRANS",
    "SKIN2_BUTTONTRANS",
    "SKIN2_CHECKBOXTRANS",
    "SKIN2_RADIOBUTTONTRANS",
    "SKIN2_TABCONTROLTRANS",
};

// A multi-state bitmap holds `frames` frames of equal width side by side;
// frame k (from 1) spans columns (k - 1) * F to k * F - 1, F = width / frames.
struct SkinStateFrames {
  std::string_view name;
  int frames;
};

inline constexpr std::array<SkinStateFrames, 7> SkinMultiStateBitmaps = {{
    {"SKIN2_TITLEBUTTONS", 18},
    {"SKIN2_BUTTON", 3},
    {"SKIN2_CHECKBOX", 6},
    {"SKIN2_RADIOBUTTON", 4},
    {"SKIN2_TABCONTROL", 2},
    {"SKIN2_SCROLLBARUPBUTTON", 3},
    {"SKIN2_SCROLLBARDOWNBUTTON", 3},
}};

// Frame count of a multi-state bitmap (any case, as the reader finds it), or
// 1 for a bitmap used whole.
constexpr int SkinStateFrameCount(std::string_view name) {
  for (const SkinStateFrames& s : SkinMultiStateBitmaps)
    if (format::EqualsAsciiNoCase(s.name, name)) return s.frames;
  return 1;
}

// Width of one frame of a bitmap `width` pixels wide; leftover columns at the
// right are in no frame.
constexpr int SkinFrameWidth(int width, int frames) { return frames > 0 ? width / frames : width; }

}  // namespace nuvskin
