// The colours and a few measures a skin's art is drawn with. The blue theme
// is the built-in skin's; the graphite theme tells the three-section test
// skin apart on screenshots.
#pragma once

#include <vector>

#include "Raster.h"

namespace nuvskin::skinart {

struct TitleTheme {
  int height = 31;       // title bar height
  int glossSplit = 15;   // first row of the darker lower half
  int cornerRadius = 6;  // top corners, inside the region rows
  Pixel outline;         // outer line of the frame
  Pixel highlight;       // bevel just inside the outline
  Pixel upper0, upper1;  // upper (glossy) half, top to bottom
  Pixel lower0, lower1;  // lower half, top to bottom
  Pixel bottomLine;      // last row, the line above the client area
  double plateLift = 0;  // how much lighter the caption plate of five-section titles is
};

struct CaptionButtonTheme {
  Pixel glyph;        // minimize, maximize, restore, help, close marks
  Pixel glyphShadow;  // their one-pixel shadow
  Pixel light;        // overlay of normal and hot faces (mixed over the title)
  Pixel dark;         // overlay of pressed faces
  Pixel close0, close1, closeBorder;  // close face, top to bottom
};

struct ControlTheme {
  Pixel border, borderHot, borderDown;
  Pixel face0, face1, face2, face3;          // push button: upper half top/bottom, lower half top/bottom
  Pixel hot0, hot1, hot2, hot3;
  Pixel down0, down1, down2, down3;
  Pixel box0, box1;                          // check box and radio interior, top to bottom
  Pixel accent, accentDark, accentLight;     // marks, dots, progress, selected tab
  Pixel disabledBorder, disabledFace, disabledMark;
  Pixel scrollFace, scrollBorder, scrollArrow;
  Pixel scrollHotFace, scrollHotBorder, scrollDownFace, scrollDownBorder;
  Pixel thumbFace, thumbBorder, thumbHighlight, thumbGrip;
  Pixel channelBorder, channelShadow;
  Pixel tabBorder, tab0, tab1;               // other tabs, top to bottom
  Pixel menuCheck, menuCheckOutline;         // check mark of menu items
};

struct Theme {
  Pixel form;         // SKIN2_FORMCOLOR: what opaque control art sits on
  Pixel scrollTrack;  // SKIN2_SCROLLBARCOLOR: what scroll pieces sit on
  Pixel menuLeftBar;  // SKIN2_LEFTBARSTARTCOLOR: what the menu check mark sits on
  TitleTheme title;
  std::vector<Pixel> sideRing;    // side border columns, outside first
  std::vector<Pixel> bottomRing;  // bottom border rows, outside (last row) first
  CaptionButtonTheme caption;
  ControlTheme control;
  Pixel menuBar0, menuBar1;       // SKIN2_MENUBAR, top to bottom
};

Theme BlueTheme();
Theme GraphiteTheme();

// Colour of title bar row y (rows 0 and 1 are the outline and the bevel).
Pixel TitleRow(const TitleTheme& t, int y);
// The caption plate of five-section titles: the same rows, lighter.
Pixel PlateRow(const TitleTheme& t, int y);

}  // namespace nuvskin::skinart
