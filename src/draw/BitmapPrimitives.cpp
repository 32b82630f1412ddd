#include "draw/BitmapPrimitives.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>


namespace nuvskin {

namespace {

int BytesPerPixel(const TBitmap& b) { return b.PixelFormat() == pf32bit ? 4 : 3; }

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }
bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

// Only an RGB value can be a transparent colour; -1 (a skin without one) or
// a system colour leaves everything opaque, as it matches no pixel.
bool IsRgbColor(TColor color) { return color >= 0 && color <= 0xFFFFFF; }

OwnedObject<TBitmap> NewBitmap(int width, int height) {
  return OwnedObject<TBitmap>(Create<TBitmap>(width, height, pf24bit));
}

// Cut down in the direction that is not stretched, keeping the outer side.
enum class Keep { Left, Right, Top, Bottom, All };

// Draws pieces of a bitmap onto a canvas, stretched colour on colour, with
// pixels of the key colour left out where asked: what a piece cut into a
// bitmap or image list of its own and drawn with its mask shows. One mask of
// the whole bitmap serves every piece; under Wine an image list per piece
// costs 0.2 to 0.4 ms, and TransparentBlt makes a mask and work bitmaps on
// every call.
class PieceDrawer {
 public:
  PieceDrawer(TBitmap* bitmap, TCanvas* canvas, std::optional<TColor> key)
      : src_(bitmap->Canvas()->Handle()), dst_(canvas->Handle()), srcStretch_(src_), dstStretch_(dst_),
        width_(bitmap->Width()), height_(bitmap->Height()), key_(key) {}
  PieceDrawer(const PieceDrawer&) = delete;
  PieceDrawer& operator=(const PieceDrawer&) = delete;

  void Draw(const RECT& dest, const RECT& source, bool keyed) {
    const int dw = RectWidth(dest), dh = RectHeight(dest), sw = RectWidth(source), sh = RectHeight(source);
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (!keyed || !key_ || !Mask()) {
      ::StretchBlt(dst_, dest.left, dest.top, dw, dh, src_, source.left, source.top, sw, sh, SRCCOPY);
      return;
    }
    // dest ^ src, then cleared where the mask is 0 (opaque), then ^ src again:
    // opaque pixels become src, keyed ones dest. The one-bit mask maps 1 to
    // the background colour (white) and 0 to the text colour (black).
    const COLORREF oldText = ::SetTextColor(dst_, RGB(0, 0, 0));
    const COLORREF oldBack = ::SetBkColor(dst_, RGB(255, 255, 255));
    ::StretchBlt(dst_, dest.left, dest.top, dw, dh, src_, source.left, source.top, sw, sh, SRCINVERT);
    ::StretchBlt(dst_, dest.left, dest.top, dw, dh, maskDC_.Get(), source.left, source.top, sw, sh, SRCAND);
    ::StretchBlt(dst_, dest.left, dest.top, dw, dh, src_, source.left, source.top, sw, sh, SRCINVERT);
    ::SetTextColor(dst_, oldText);
    ::SetBkColor(dst_, oldBack);
  }

 private:
  // 1 where the bitmap has the key colour, made on first use.
  bool Mask() {
    if (maskDC_) return true;
    win::UniqueMemoryDC dc(::CreateCompatibleDC(src_));
    win::UniqueBitmap mask(::CreateBitmap(width_, height_, 1, 1, nullptr));
    if (!dc || !mask) return false;
    maskSelect_.emplace(dc.Get(), mask.Get());
    const COLORREF oldBack = ::SetBkColor(src_, ColorToRGB(*key_));
    ::BitBlt(dc.Get(), 0, 0, width_, height_, src_, 0, 0, SRCCOPY);
    ::SetBkColor(src_, oldBack);
    maskDC_ = std::move(dc);
    mask_ = std::move(mask);
    return true;
  }

  HDC src_, dst_;
  win::ColorStretchScope srcStretch_, dstStretch_;
  int width_, height_;
  std::optional<TColor> key_;
  // Declared so that the mask is deselected before it and its DC go.
  win::UniqueBitmap mask_;
  win::UniqueMemoryDC maskDC_;
  std::optional<win::SelectScope> maskSelect_;
};

std::optional<TColor> KeyOf(bool transparent, TColor transColor) {
  return transparent && IsRgbColor(transColor) ? std::optional<TColor>(transColor) : std::nullopt;
}

// A nine-grid corner: at most the target's size, cut from the side that
// touches the bitmap's outer corner, drawn 1:1 (keyed when `keyed`).
// Returns the area covered (empty when nothing was drawn).
RECT DrawCorner(PieceDrawer& drawer, TBitmap* bitmap, RECT source, int targetWidth, int targetHeight, bool right,
                bool bottom, const RECT& rect, bool keyed) {
  source = Intersect(source, RECT{0, 0, bitmap->Width(), bitmap->Height()});
  const int pw = std::max(0, std::min(RectWidth(source), targetWidth));
  const int ph = std::max(0, std::min(RectHeight(source), targetHeight));
  if (pw <= 0 || ph <= 0) return RECT{0, 0, 0, 0};
  const int sx = right ? source.right - pw : source.left;
  const int sy = bottom ? source.bottom - ph : source.top;
  const int x = right ? rect.right - pw : 0;
  const int y = bottom ? rect.bottom - ph : 0;
  const RECT covered{x, y, x + pw, y + ph};
  drawer.Draw(covered, RECT{sx, sy, sx + pw, sy + ph}, keyed);
  return covered;
}

// A nine-grid edge or the centre: the source stretched to exactly the
// target, always with the transparent colour left out.
void DrawEdge(PieceDrawer& drawer, TBitmap* bitmap, RECT source, const RECT& target, Keep keep) {
  const int tw = RectWidth(target), th = RectHeight(target);
  if (tw <= 0 || th <= 0) return;
  source = Intersect(source, RECT{0, 0, bitmap->Width(), bitmap->Height()});
  switch (keep) {
    case Keep::Left: source.right = std::min(source.right, source.left + tw); break;
    case Keep::Right: source.left = std::max(source.left, source.right - tw); break;
    case Keep::Top: source.bottom = std::min(source.bottom, source.top + th); break;
    case Keep::Bottom: source.top = std::max(source.top, source.bottom - th); break;
    case Keep::All: break;
  }
  if (IsEmptyRect(source)) return;
  drawer.Draw(target, source, true);
}

// Copies `source` of the bitmap, stretched, into `dest` of the canvas.
void CopyStretched(TBitmap* bitmap, TCanvas* canvas, const RECT& dest, const RECT& source) {
  if (IsEmptyRect(dest) || IsEmptyRect(source)) return;
  canvas->CopyRect(dest, bitmap->Canvas(), source);
}

// The pixels of `source` as a new bitmap, halftone-stretched into `dest`.
void StretchPart(TBitmap* bitmap, TCanvas* canvas, const RECT& dest, const RECT& source) {
  if (IsEmptyRect(dest) || IsEmptyRect(source)) return;
  OwnedObject<TBitmap> middle = NewBitmap(RectWidth(source), RectHeight(source));
  CopyBitmapPixels(bitmap, source, middle.get(), 0, 0);
  StretchHalftone(middle.get(), canvas, dest);
}

// Dest := source turned: `from(x, y)` gives the source pixel for new pixel
// (x, y) of a bitmap `newWidth` x `newHeight`. Source and dest may be one.
template <class From>
void Turn(TBitmap* source, TBitmap* dest, int newWidth, int newHeight, From from) {
  if (!source || !dest) return;
  if (source != dest) {  // what a copy of source would carry
    dest->SetTransparent(source->Transparent());
    if (source->TransparentMode() == tmFixed) dest->SetTransparentColor(source->TransparentColor());
    else dest->SetTransparentMode(tmAuto);
    if (source->Empty()) dest->SetSize(0, 0);
  }
  if (source->Empty()) return;
  const int bpp = BytesPerPixel(*source);
  const int oldWidth = source->Width(), oldHeight = source->Height();
  const std::size_t rowBytes = static_cast<std::size_t>(oldWidth) * bpp;
  std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(oldHeight));
  std::vector<std::uint8_t> old;
  if (source == dest) {  // the rows move away with the old DIB
    old.resize(rowBytes * static_cast<std::size_t>(oldHeight));
    for (int y = 0; y < oldHeight; ++y) std::memcpy(old.data() + rowBytes * y, source->ScanLine(y), rowBytes);
    for (int y = 0; y < oldHeight; ++y) rows[static_cast<std::size_t>(y)] = old.data() + rowBytes * y;
  } else {
    for (int y = 0; y < oldHeight; ++y) rows[static_cast<std::size_t>(y)] = source->ScanLine(y);
    dest->SetPixelFormat(source->PixelFormat());
  }
  dest->SetSize(newWidth, newHeight);
  for (int y = 0; y < newHeight; ++y) {
    std::uint8_t* d = dest->ScanLine(y);
    for (int x = 0; x < newWidth; ++x, d += bpp) {
      const POINT p = from(x, y);
      std::memcpy(d, rows[static_cast<std::size_t>(p.y)] + static_cast<std::size_t>(p.x) * bpp, bpp);
    }
  }
}

}  // namespace

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
  if (!IsRgbColor(fromColor) || bitmap->Empty()) return;
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

void CopyBitmapPixels(TBitmap* source, const RECT& sourceRect, TBitmap* dest, int x, int y) {
  if (!source || !dest || source == dest) return;
  RECT s = Intersect(sourceRect, RECT{0, 0, source->Width(), source->Height()});
  x += s.left - sourceRect.left;
  y += s.top - sourceRect.top;
  // Clip against the destination too, moving the source with it.
  if (x < 0) {
    s.left -= x;
    x = 0;
  }
  if (y < 0) {
    s.top -= y;
    y = 0;
  }
  s.right = std::min<LONG>(s.right, s.left + (dest->Width() - x));
  s.bottom = std::min<LONG>(s.bottom, s.top + (dest->Height() - y));
  if (IsEmptyRect(s)) return;
  const int sb = BytesPerPixel(*source), db = BytesPerPixel(*dest);
  const int w = RectWidth(s);
  for (int row = 0; row < RectHeight(s); ++row) {
    const std::uint8_t* from = source->ScanLine(s.top + row) + static_cast<std::size_t>(s.left) * sb;
    std::uint8_t* to = dest->ScanLine(y + row) + static_cast<std::size_t>(x) * db;
    if (sb == db) {
      std::memcpy(to, from, static_cast<std::size_t>(w) * sb);
    } else {
      for (int i = 0; i < w; ++i, from += sb, to += db) std::memcpy(to, from, 3);
    }
  }
}

void CutFrame(TBitmap* source, TBitmap* dest, int count, int index) {
  if (!source || !dest || count <= 0) return;
  const int frameWidth = source->Width() / count, height = source->Height();
  const int left = frameWidth * (index - 1);
  const RECT frameRect{left, 0, left + frameWidth, height};
  // A frame wholly inside another bitmap is copied straight over dest.
  if (source != dest && left >= 0 && left + frameWidth <= source->Width()) {
    dest->SetSize(frameWidth, height);
    CopyBitmapPixels(source, frameRect, dest, 0, 0);
    return;
  }
  OwnedObject<TBitmap> frame(Create<TBitmap>(frameWidth, height, dest->PixelFormat()));
  CopyBitmapPixels(source, frameRect, frame.get(), 0, 0);
  dest->SetSize(frameWidth, height);
  CopyBitmapPixels(frame.get(), RECT{0, 0, frameWidth, height}, dest, 0, 0);
}

void RotateBitmap90CCW(TBitmap* bitmap) { RotateBitmap90CCW(bitmap, bitmap); }

void RotateBitmap90CCW(TBitmap* source, TBitmap* dest) {
  if (!source) return;
  const int w = source->Width();
  // new (y, W - 1 - x) := old (x, y)
  Turn(source, dest, source->Height(), w, [w](int x, int y) { return POINT{w - 1 - y, x}; });
}

void RotateBitmap90CW(TBitmap* bitmap) { RotateBitmap90CW(bitmap, bitmap); }

void RotateBitmap90CW(TBitmap* source, TBitmap* dest) {
  if (!source) return;
  const int h = source->Height();
  // new (x, y) := old (y, H - 1 - x)
  Turn(source, dest, h, source->Width(), [h](int x, int y) { return POINT{y, h - 1 - x}; });
}

void RotateBitmap180(TBitmap* bitmap) {
  if (!bitmap) return;
  const int w = bitmap->Width(), h = bitmap->Height();
  Turn(bitmap, bitmap, w, h, [w, h](int x, int y) { return POINT{w - 1 - x, h - 1 - y}; });
}

void StretchHalftone(TBitmap* bitmap, TCanvas* canvas, const RECT& rect) {
  if (!bitmap || !canvas || bitmap->Empty()) return;
  HDC src = bitmap->Canvas()->Handle();
  HDC dc = canvas->Handle();
  const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
  POINT oldOrigin{0, 0};
  ::SetBrushOrgEx(dc, 0, 0, &oldOrigin);  // HALFTONE needs the brush origin reset
  ::StretchBlt(dc, rect.left, rect.top, RectWidth(rect), RectHeight(rect), src, 0, 0, bitmap->Width(),
               bitmap->Height(), SRCCOPY);
  if (oldMode) ::SetStretchBltMode(dc, oldMode);
  ::SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}

void DrawNineGrid(TBitmap* bitmap, TCanvas* canvas, const RECT& rect, bool transparent, TColor transColor) {
  if (!bitmap || !canvas || bitmap->Empty() || rect.top >= rect.bottom) return;
  const int W = bitmap->Width(), H = bitmap->Height();
  const int w = RectWidth(rect), h = RectHeight(rect);
  const int hw = W / 2, hh = H / 2, tw = w / 2, th = h / 2;
  // Edges and the centre are keyed whatever `transparent` says.
  PieceDrawer drawer(bitmap, canvas, KeyOf(true, transColor));
  auto corner = [&](RECT source, const RECT& target, bool right, bool bottom) {
    return DrawCorner(drawer, bitmap, source, RectWidth(target), RectHeight(target), right, bottom, rect,
                      transparent);
  };
  auto edge = [&](RECT source, const RECT& target, Keep keep) { DrawEdge(drawer, bitmap, source, target, keep); };
  // The left edge and the centre take rows hh to H - hh - 1; an even height
  // leaves no row there, so they take row hh, as the right edge always does.
  const int midBottom = std::max(H - hh, std::min(hh + 1, H));

  const RECT TL = corner(RECT{0, 0, hw, hh}, RECT{0, 0, tw, th}, false, false);

  RECT t{0, h - th + 1, tw, h};
  if (IsEmptyRect(t)) return;
  const RECT BL = corner(RECT{0, H - hh + 1, hw, H}, t, false, true);

  t = RECT{0, TL.bottom, TL.right, BL.top};
  if (t.top < t.bottom) edge(RECT{0, hh, hw, midBottom}, t, Keep::Left);

  t = RECT{w - tw + 1, 0, w, th};
  if (IsEmptyRect(t)) return;
  const RECT TR = corner(RECT{W - hw + 1, 0, W, hh}, t, true, false);

  t = RECT{w - tw + 1, h - th + 1, w, h};
  if (IsEmptyRect(t)) return;
  const RECT BR = corner(RECT{W - hw + 1, H - hh + 1, W, H}, t, true, true);

  t = RECT{TR.left, TR.bottom, TR.right, BR.top};
  if (t.top < t.bottom) edge(RECT{W - hw + 1, hh, W, hh + 1}, t, Keep::Right);

  t = RECT{TL.right, 0, TR.left, TL.bottom};
  if (t.top < t.bottom && t.right > t.left) edge(RECT{hw, 0, W - hw + 1, hh}, t, Keep::Top);

  t = RECT{TL.right, TL.bottom, TR.left, BR.top - 1};
  if (t.top < t.bottom) edge(RECT{hw, hh, W - hw + 1, midBottom}, t, Keep::All);

  t = RECT{TL.right - 1, BL.top - 1, BR.left, BR.bottom};
  if (t.top < t.bottom) edge(RECT{hw, H - hh, W - hw + 1, H}, t, Keep::Bottom);
}

// The caps and the middle come straight from the bitmap's three parts: the
// same pixels an image list of the parts would give, masked caps included.
void DrawThreeSliceH(TBitmap* bitmap, TCanvas* canvas, const RECT& rect, bool transparent, TColor transColor) {
  if (!bitmap || !canvas || bitmap->Empty()) return;
  const int part = bitmap->Width() / 3, height = bitmap->Height();
  if (part <= 0) return;
  PieceDrawer drawer(bitmap, canvas, KeyOf(transparent, transColor));
  const int width = RectWidth(rect);
  if (width < part) {
    drawer.Draw(RECT{rect.left, rect.top, rect.left + width, rect.top + height}, RECT{0, 0, width, height}, true);
    return;
  }
  drawer.Draw(RECT{rect.left, rect.top, rect.left + part, rect.top + height}, RECT{0, 0, part, height}, true);
  drawer.Draw(RECT{rect.right - part, rect.top, rect.right, rect.top + height}, RECT{2 * part, 0, 3 * part, height},
              true);
  // Between the caps, stretched without transparency; nothing when they meet or overlap.
  drawer.Draw(RECT{rect.left + part, rect.top, rect.right - part, rect.top + height}, RECT{part, 0, 2 * part, height},
              false);
}

// Caps that do not fit twice into the rectangle share it: the first cap
// gets the larger half, the second the rest, and there is no middle; so
// nothing is drawn outside the rectangle.
void StretchThreeSliceV(TBitmap* bitmap, TCanvas* canvas, const RECT& rect, int capHeight) {
  if (!bitmap || !canvas || rect.left < 0) return;
  bitmap->SetPixelFormat(pf24bit);
  if (bitmap->Empty() || IsEmptyRect(rect)) return;
  const int W = bitmap->Width(), H = bitmap->Height(), h = RectHeight(rect);
  const int k = std::min(capHeight > 0 ? capHeight : H / 3, H);
  const int top = h >= 2 * k ? k : (h + 1) / 2;
  const int bottom = h >= 2 * k ? k : h / 2;
  CopyStretched(bitmap, canvas, RECT{rect.left, rect.top, rect.right, rect.top + top}, RECT{0, 0, W, top});
  CopyStretched(bitmap, canvas, RECT{rect.left, rect.bottom - bottom, rect.right, rect.bottom},
                RECT{0, H - bottom, W, H});
  if (h >= 2 * k)
    StretchPart(bitmap, canvas, RECT{rect.left, rect.top + k, rect.right, rect.bottom - k}, RECT{0, k, W, H - k});
}

void StretchThreeSliceH(TBitmap* bitmap, TCanvas* canvas, const RECT& rect, int capWidth) {
  if (!bitmap || !canvas || rect.left < 0) return;
  bitmap->SetPixelFormat(pf24bit);
  if (bitmap->Empty() || IsEmptyRect(rect)) return;
  const int W = bitmap->Width(), H = bitmap->Height(), w = RectWidth(rect);
  const int a = std::clamp(capWidth, 0, W);
  const int left = w >= 2 * a ? a : (w + 1) / 2;
  const int right = w >= 2 * a ? a : w / 2;
  CopyStretched(bitmap, canvas, RECT{rect.left, rect.top, rect.left + left, rect.bottom}, RECT{0, 0, left, H});
  CopyStretched(bitmap, canvas, RECT{rect.right - right, rect.top, rect.right, rect.bottom},
                RECT{W - right, 0, W, H});
  if (w >= 2 * a)
    StretchPart(bitmap, canvas, RECT{rect.left + a, rect.top, rect.right - a, rect.bottom}, RECT{a, 0, W - a, H});
}

}  // namespace nuvskin
