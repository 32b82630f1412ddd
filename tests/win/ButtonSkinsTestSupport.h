// Helpers of the button skin tests: real mouse and key input, captures of a
// control, the skin's own faces to compare them with, glyph bitmaps and
// skins with other caption colours.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ControlSkinTestSupport.h"
#include "FrameTestSupport.h"
#include "controls/NUVSkinStdCtrl.h"
#include "controls/NUVSkinStdWnd.h"

namespace nuvskin::test {

inline void SendButton(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  ::SendInput(1, &in, sizeof in);
}

inline void SendKey(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ::SendInput(1, &in, sizeof in);
}

inline POINT CentreOf(TControl* control) {
  return control->ClientToScreen(POINT{control->Width() / 2, control->Height() / 2});
}

inline POINT CentreOf(HWND wnd) {
  RECT r{};
  ::GetWindowRect(wnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The control as it is on the screen once pending messages are handled.
inline Image Shot(TControl* control) {
  AppPump(50);
  return CaptureControl(control);
}

inline Pixel PixelOf(TColor color) { return static_cast<Pixel>(ColorToRGB(color)); }

// How many pixels of `shot` differ from frame `k` of `frames` equal frames
// of `faces` drawn 1:1 at `at`, where pixels of the key colour show
// `background` (no key: -1).
inline int FaceMismatches(const Image& shot, TBitmap* faces, int frames, int k, Pixel background, TColor key,
                          POINT at = POINT{0, 0}) {
  const int w = faces->Width() / frames, h = faces->Height();
  int bad = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TColor face = FramePixel(faces, frames, k, x, y);
      const Pixel expected = face == key ? background : PixelOf(face);
      if (!shot.Contains(at.x + x, at.y + y) || shot.At(at.x + x, at.y + y) != expected) ++bad;
    }
  return bad;
}

// Frame `k` of the skin's button face drawn over a `width` x `height`
// button on `background`, as the primitives draw it.
inline Image ButtonFace(TnuvSkinEngine* engine, int k, int width, int height, TColor background) {
  TBitmap frame, face(width, height);
  face.Canvas()->Brush()->SetColor(background);
  face.Canvas()->FillRect(RECT{0, 0, width, height});
  if (engine->GetSkinBitmap(SkinBitmap::BUTTON, &frame, 3, k))
    DrawNineGrid(&frame, face.Canvas(), RECT{0, 0, width, height}, engine->GetSkinFlag(SkinFlag::BUTTONTRANS),
                 engine->GetSkinColor(SkinColor::TRANSCOLOR));
  Image out(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.Set(x, y, PixelOf(face.PixelAt(x, y)));
  return out;
}

// How many pixels differ, the outline of `skip` (a focus rectangle) left out.
inline int Mismatches(const Image& a, const Image& b, RECT skip = RECT{}) {
  int bad = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const bool outline = x >= skip.left && x < skip.right && y >= skip.top && y < skip.bottom &&
                           (x == skip.left || x == skip.right - 1 || y == skip.top || y == skip.bottom - 1);
      if (!outline && (!b.Contains(x, y) || a.At(x, y) != b.At(x, y))) ++bad;
    }
  return bad + (a.Width() != b.Width() || a.Height() != b.Height());
}

// Glyph images of 16 x 16 side by side: image i a 12 x 12 square of
// colours[i] on olive, which its corners make transparent.
inline TBitmap* GlyphImages(const std::vector<TColor>& colours) {
  auto* glyph = Create<TBitmap>(16 * static_cast<int>(colours.size()), 16);
  glyph->Canvas()->Brush()->SetColor(clOlive);
  glyph->Canvas()->FillRect(RECT{0, 0, glyph->Width(), 16});
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const int x = 16 * static_cast<int>(i);
    glyph->Canvas()->Brush()->SetColor(colours[i]);
    glyph->Canvas()->FillRect(RECT{x + 2, 2, x + 14, 14});
  }
  return glyph;
}

// The built-in skin with some colours changed.
inline format::Bytes SkinWithColors(std::initializer_list<std::pair<const char*, TColor>> colours) {
  return EditedBuiltInSkin([&](std::vector<format::Sk2Element>& elements) {
    for (format::Sk2Element& e : elements)
      for (const auto& [name, colour] : colours)
        if (e.name == name) e = format::Sk2Element::Integer(e.name, colour);
  });
}

// Pictures side by side, saved as a screenshot.
inline void SaveRow(std::initializer_list<Image> images, const std::wstring& name) {
  int width = 0, height = 0;
  for (const Image& i : images) {
    width += i.Width() + 4;
    height = std::max(height, i.Height());
  }
  Image row(width + 4, height + 8, Rgb(255, 255, 255));
  int x = 4;
  for (const Image& i : images) {
    row.Blit(i, x, 4);
    x += i.Width() + 4;
  }
  SaveScreenshot(row, name);
}

}  // namespace nuvskin::test
