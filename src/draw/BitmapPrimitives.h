// Stateless bitmap painting primitives and colour helpers, working on the
// framework's bitmaps, canvases and image lists. Pixel loops read and write
// DIB memory, never one canvas call per pixel.
#pragma once

#include <cstdint>

#include "framework/Graphics.h"

namespace nuvskin {

// --- Colours ----------------------------------------------------------------

// R + G x 256 + B x 65536.
TColor MakeRGB(std::uint8_t r, std::uint8_t g, std::uint8_t b);
// The bytes of a colour, a system colour resolved to its current value.
void SplitRGB(TColor color, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b);
TColor InvertColor(TColor color);

// Makes the bitmap 24 bits per pixel and turns every pixel of `fromColor`
// into `toColor`. A system colour or -1 as `fromColor` matches no pixel.
void ReplaceColor(TBitmap* bitmap, TColor fromColor, TColor toColor);

// --- Cutting and turning ----------------------------------------------------

// Copies the pixels of `sourceRect` 1:1 to (x, y) of `dest`, both clipped to
// their bitmaps; converts between 24 and 32 bits per pixel.
void CopyBitmapPixels(TBitmap* source, const RECT& sourceRect, TBitmap* dest, int x, int y);

// Dest := frame `index` (from 1) of `count` equal-width frames of Source.
// Columns left over at the right are in no frame. Dest keeps its format.
void CutFrame(TBitmap* source, TBitmap* dest, int count, int index);

// Turns in place; a quarter turn swaps width and height.
void RotateBitmap90CCW(TBitmap* bitmap);  // the right edge becomes the top
void RotateBitmap90CW(TBitmap* bitmap);   // the left edge becomes the top
void RotateBitmap180(TBitmap* bitmap);
// Dest := source turned, in source's format; cheaper than a copy turned.
void RotateBitmap90CCW(TBitmap* source, TBitmap* dest);
void RotateBitmap90CW(TBitmap* source, TBitmap* dest);

// --- Stretching -------------------------------------------------------------

// The whole bitmap stretched into `rect` with halftone stretching.
void StretchHalftone(TBitmap* bitmap, TCanvas* canvas, const RECT& rect);

// Paints the bitmap into `rect` keeping its corners: corners 1:1, edges and
// centre stretched. The corners go against x = 0, y = 0 and rect's right and
// bottom, so callers pass a rectangle whose Left and Top are 0. Corners are
// transparent in `transColor` when `transparent`; edges and centre always.
void DrawNineGrid(TBitmap* bitmap, TCanvas* canvas, const RECT& rect, bool transparent, TColor transColor);

// A bitmap of three equal parts: left cap, middle stretched across, right
// cap, all at the bitmap's own height from rect's top.
void DrawThreeSliceH(TBitmap* bitmap, TCanvas* canvas, const RECT& rect, bool transparent, TColor transColor);

// Top cap, middle stretched with halftone, bottom cap; opaque. `capHeight` 0
// means a third of the bitmap's height. Nothing is drawn when rect's Left is
// negative. The bitmap is made 24 bits per pixel.
void StretchThreeSliceV(TBitmap* bitmap, TCanvas* canvas, const RECT& rect, int capHeight = 0);
// The same across, with caps `capWidth` wide.
void StretchThreeSliceH(TBitmap* bitmap, TCanvas* canvas, const RECT& rect, int capWidth);

}  // namespace nuvskin
