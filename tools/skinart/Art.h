// The skin art, one function per element family. Every function draws from
// a Theme only, so the same code paints the built-in skin and the test
// skins; sizes are the caller's (the skin descriptions in Skins.cpp).
#pragma once

#include "Raster.h"
#include "Theme.h"
#include "skin/format/Bmp.h"

namespace nuvskin::skinart {

// Title bar pieces, all theme.title.height high. The left and right ends
// carry the rounded top corners, cut out with the transparent colour.
enum class TitleFill { Plate, Filler };
Image TitleLeftEnd(const Theme& t, int width, TitleFill fill);
Image TitleMiddle(const Theme& t, int width, TitleFill fill);
// Five-section titles: the sweep from the caption plate to the filler.
Image TitlePlateEnd(const Theme& t, int width);
Image TitleRightEnd(const Theme& t, int width);

// Side borders, stretched over the window height.
Image SideBorder(const Theme& t, bool left, int height);
// Bottom border pieces; `cornerRadius` rounds the outer bottom corner of
// the end pieces (cut out with the transparent colour when above 0).
enum class BottomPart { Left, Middle, Right };
Image BottomBorder(const Theme& t, BottomPart part, int width, int height, double cornerRadius);

// The whole title of a minimized window. `glyphShift` maps its rows onto the
// title rows behind the caption buttons, so the opaque glyphs fit on both.
Image MinimizedTitle(const Theme& t, int width, int height, int glyphTop, int glyphShift);

// The 18 caption-button glyphs side by side: 1-3 a plain face (normal, hot,
// pressed), then help, maximize, restore, minimize and close, each normal,
// hot and pressed. Their background is the title row from `titleRow` down.
Image CaptionButtons(const Theme& t, int size, int titleRow);

Image MenuBar(const Theme& t, int width, int height);

// Push button faces: normal, hot, down; rounded corners transparent.
Image PushButtonFrames(const Theme& t, int width, int height);
// Check box: checked, grayed, unchecked, then the same disabled.
Image CheckBoxFrames(const Theme& t, int size);
// Radio button: checked, unchecked, checked disabled, unchecked disabled.
Image RadioButtonFrames(const Theme& t, int size);
// Scroll bar button of a vertical bar: normal, hot, down.
Image ScrollButtonFrames(const Theme& t, int size, bool up);
// Scroll bar thumb of a vertical bar, cut into five pieces by the engine:
// caps, stretched parts and a grip that stays uniform where it is tested.
Image ScrollThumb(const Theme& t, int width, int height);
// A thumb drawn whole (stretched three-sliced): no transparent pixels.
Image WholeScrollThumb(const Theme& t, int width, int height, Pixel border);

Image ProgressCap(const Theme& t, int height);
Image ProgressFilled(const Theme& t, int width, int height);
Image ProgressEmpty(const Theme& t, int width, int height);

// Track bar channel: left cap, stretchable middle, right cap.
Image TrackChannel(const Theme& t, int width, int height);
// Thumb pointing down (horizontal bars) or right (vertical bars).
Image TrackThumb(const Theme& t, bool vertical);

// Tab faces: selected, other; each three-sliced.
Image TabFrames(const Theme& t, int frameWidth, int height);
Image TabLine(const Theme& t, int width);

Image MenuCheckMark(const Theme& t, int size);

// Elements the painters never read, drawn so that the skin is complete.
Image CheckListFrames(const Theme& t, int size);
Image SideChannelBar(const Theme& t, int width, int height);
Image SideChannelTitle(const Theme& t, int width, int height);
Image ScrollButtonStrip(const Theme& t, int size);

// Bitmaps the library carries itself: the default menu check mark (16
// colours, white transparent) and the MDI control glyphs (1 bit).
format::BmpImage MenuCheckedResource();
format::BmpImage MdiControlerResource();

}  // namespace nuvskin::skinart
