#include "draw/BitmapPrimitives.h"

namespace nuvskin {

TColor MakeRGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}

void SplitRGB(TColor color, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
  const COLORREF rgb = ColorToRGB(color);
  r = GetRValue(rgb);
  g = GetGValue(rgb);
  b = GetBValue(rgb);
}

TColor InvertColor(TColor color) {
  std::uint8_t r, g, b;
  SplitRGB(color, r, g, b);
  return MakeRGB(static_cast<std::uint8_t>(255 - r), static_cast<std::uint8_t>(255 - g),
                 static_cast<std::uint8_t>(255 - b));
}

void ReplaceColor(TBitmap* bitmap, TColor fromColor, TColor toColor) {
  if (!bitmap) return;
  bitmap->SetPixelFormat(pf24bit);
  // Only an RGB colour can equal a pixel.
  if (fromColor < 0 || fromColor > 0xFFFFFF || bitmap->Empty()) return;
  const COLORREF to = ColorToRGB(toColor);
  const std::uint8_t fb = static_cast<std::uint8_t>(fromColor >> 16), fg = static_cast<std::uint8_t>(fromColor >> 8),
                     fr = static_cast<std::uint8_t>(fromColor);
  const std::uint8_t tb = GetBValue(to), tg = GetGValue(to), tr = GetRValue(to);
  for (int y = 0; y < bitmap->Height(); ++y) {
    std::uint8_t* p = bitmap->ScanLine(y);
    for (int x = 0; x < bitmap->Width(); ++x, p += 3) {
      if (p[0] == fb && p[1] == fg && p[2] == fr) {
        p[0] = tb;
        p[1] = tg;
        p[2] = tr;
      }
    }
  }
}

}  // namespace nuvskin
