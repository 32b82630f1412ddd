// The window's shape cut from its title and bottom border images: pixels of
// the transparent colour in the scanned rows are left out.
#pragma once

#include <vector>

#include "framework/Graphics.h"

namespace nuvskin {

// Which rows of one image are scanned: from `minY` (-1: row 0) to `maxY`,
// or every row when `minY` is not below `maxY`.
struct SkinRegionImage {
  TBitmap* image = nullptr;
  bool needRegion = false;
  int minY = -1, maxY = -1;
};

// The rectangles whose union stays visible, in top-to-bottom order: above
// the scanned rows of the title, one per opaque run of a scanned row, below
// the scanned rows, the middle of the window, and the same for the bottom
// image placed at the window's bottom.
std::vector<RECT> SkinRegionRects(const SkinRegionImage& title, const SkinRegionImage& bottom, TColor transColor,
                                  int height, int width);

// The union of the rectangles as one region, made in one call.
win::UniqueRegion CreateRegionFromRects(const std::vector<RECT>& rects);

// Gives the window the region of SkinRegionRects, redrawing it; the window
// owns the region afterwards.
void ApplySkinRegion(HWND wnd, TBitmap* titleImage, TBitmap* bottomImage, bool titleNeedRegion,
                     bool bottomNeedRegion, int titleMinY, int titleMaxY, int bottomMinY, int bottomMaxY,
                     TColor transColor, int height, int width);

}  // namespace nuvskin
