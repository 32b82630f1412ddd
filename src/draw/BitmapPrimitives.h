// Stateless bitmap painting primitives and colour helpers, working on the
// framework's bitmaps, canvases and image lists. Pixel loops read and write
// DIB memory, never one canvas call per pixel.
#pragma once

#include <cstdint>

#include "framework/Graphics.h"

namespace nuvskin {

// R + G x 256 + B x 65536.
TColor MakeRGB(std::uint8_t r, std::uint8_t g, std::uint8_t b);
// The bytes of a colour, a system colour resolved to its current value.
void SplitRGB(TColor color, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b);
TColor InvertColor(TColor color);

// Makes the bitmap 24 bits per pixel and turns every pixel of `fromColor`
// into `toColor`. A system colour or -1 as `fromColor` matches no pixel.
void ReplaceColor(TBitmap* bitmap, TColor fromColor, TColor toColor);

}  // namespace nuvskin
