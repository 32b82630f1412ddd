#include "draw/SkinRegion.h"

#include <algorithm>
#include <cstring>

namespace nuvskin {

namespace {

void AddRect(std::vector<RECT>& rects, int left, int top, int right, int bottom) {
  if (left < right && top < bottom) rects.push_back(RECT{left, top, right, bottom});
}

// One image at base row `y0`: the band above the scanned rows, a rectangle
// for every opaque run of each scanned row, and the band below them.
void ScanImage(std::vector<RECT>& rects, const SkinRegionImage& part, int y0, TColor transColor, int width) {
  TBitmap* image = part.image;
  const int imageHeight = image->Height(), imageWidth = image->Width();
  const int first = part.minY == -1 ? 0 : part.minY;
  const int stop = part.minY < part.maxY ? part.maxY + 1 : imageHeight;
  if (part.minY > 0) AddRect(rects, 0, y0, width, y0 + part.minY);
  // Rows outside the image have no pixels to scan.
  const int from = std::clamp(first, 0, imageHeight), to = std::clamp(stop, from, imageHeight);
  const int bpp = image->PixelFormat() == pf32bit ? 4 : 3;
  // A colour that is no RGB value matches no pixel: every scanned row is whole.
  const bool anyTransparent = transColor >= 0 && transColor <= 0xFFFFFF;
  const std::uint8_t key[3] = {static_cast<std::uint8_t>(transColor >> 16),
                               static_cast<std::uint8_t>(transColor >> 8), static_cast<std::uint8_t>(transColor)};
  for (int y = from; y < to; ++y) {
    if (!anyTransparent) {
      AddRect(rects, 0, y0 + y, imageWidth, y0 + y + 1);
      continue;
    }
    const std::uint8_t* row = image->ScanLine(y);
    int x = 0;
    while (x < imageWidth) {
      while (x < imageWidth && std::memcmp(row + static_cast<std::size_t>(x) * bpp, key, 3) == 0) ++x;
      const int runStart = x;
      while (x < imageWidth && std::memcmp(row + static_cast<std::size_t>(x) * bpp, key, 3) != 0) ++x;
      AddRect(rects, runStart, y0 + y, x, y0 + y + 1);
    }
  }
  if (stop < imageHeight) AddRect(rects, 0, y0 + stop, width, y0 + imageHeight);
}

}  // namespace

std::vector<RECT> SkinRegionRects(const SkinRegionImage& title, const SkinRegionImage& bottom, TColor transColor,
                                  int height, int width) {
  std::vector<RECT> rects;
  const bool scanTitle = title.needRegion && title.image;
  const bool scanBottom = bottom.needRegion && bottom.image;
  const int titleHeight = scanTitle ? title.image->Height() : 0;
  const int bottomHeight = scanBottom ? bottom.image->Height() : 0;
  if (scanTitle) ScanImage(rects, title, 0, transColor, width);
  AddRect(rects, 0, titleHeight, width, height - bottomHeight);
  if (scanBottom) ScanImage(rects, bottom, height - bottomHeight, transColor, width);
  return rects;
}

win::UniqueRegion CreateRegionFromRects(const std::vector<RECT>& rects) {
  if (rects.empty()) return win::UniqueRegion(::CreateRectRgn(0, 0, 0, 0));
  // RGNDATA is a header followed by the rectangles; keep it RECT-aligned.
  static_assert(sizeof(RGNDATAHEADER) % sizeof(RECT) == 0);
  std::vector<RECT> data(sizeof(RGNDATAHEADER) / sizeof(RECT) + rects.size());
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(rects.size());
  header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  RECT bounds = rects.front();
  for (const RECT& r : rects) ::UnionRect(&bounds, &bounds, &r);
  header->rcBound = bounds;
  std::copy(rects.begin(), rects.end(), data.begin() + sizeof(RGNDATAHEADER) / sizeof(RECT));
  const DWORD size = static_cast<DWORD>(data.size() * sizeof(RECT));
  return win::UniqueRegion(::ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(data.data())));
}

void ApplySkinRegion(HWND wnd, TBitmap* titleImage, TBitmap* bottomImage, bool titleNeedRegion,
                     bool bottomNeedRegion, int titleMinY, int titleMaxY, int bottomMinY, int bottomMaxY,
                     TColor transColor, int height, int width) {
  if (!wnd) return;
  const std::vector<RECT> rects =
      SkinRegionRects(SkinRegionImage{titleImage, titleNeedRegion, titleMinY, titleMaxY},
                      SkinRegionImage{bottomImage, bottomNeedRegion, bottomMinY, bottomMaxY}, transColor, height,
                      width);
  win::UniqueRegion region = CreateRegionFromRects(rects);
  if (!region) return;
  if (::SetWindowRgn(wnd, region.Get(), TRUE)) region.Release();  // the window owns it now
}

}  // namespace nuvskin
