// Helpers of the graphics tests: filled bitmaps, pixel counts, embedded
// test files and bitmaps as images for screenshots.
#pragma once

#include <string>

#include "WinTest.h"
#include "framework/Graphics.h"
#include "framework/Streams.h"

namespace nuvskin::test {

template <class T>
using Owned = OwnedObject<T>;

// A bitmap of the given size filled with one colour (through its canvas).
inline Owned<TBitmap> FilledBitmap(int width, int height, TColor color, TPixelFormat format = pf24bit) {
  Owned<TBitmap> b(Create<TBitmap>(width, height, format));
  b->Canvas()->Brush()->SetColor(color);
  b->Canvas()->FillRect(RECT{0, 0, width, height});
  return b;
}

// Pixels of `color` in the rectangle, read from DIB memory.
inline int CountColor(const TBitmap& b, const RECT& r, TColor color) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += b.PixelAt(x, y) == color;
  return n;
}

// The bytes of an RCDATA resource of the test program, as a stream.
inline void LoadResourceBytes(const wchar_t* name, TMemoryStream& out) {
  HRSRC res = ::FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  ASSERT_NE(res, nullptr);
  const void* data = ::LockResource(::LoadResource(nullptr, res));
  out.Clear();
  out.WriteBuffer(data, ::SizeofResource(nullptr, res));
  out.SetPosition(0);
}

inline Image ToImage(const TBitmap& b) {
  Image image(b.Width(), b.Height());
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) image.Set(x, y, static_cast<Pixel>(b.PixelAt(x, y)));
  return image;
}

}  // namespace nuvskin::test
