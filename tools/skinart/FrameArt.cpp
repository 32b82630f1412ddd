// Title bar, borders, minimized title, caption buttons and menu bar.
#include <algorithm>
#include <cmath>

#include "Art.h"

namespace nuvskin::skinart {

namespace {

// Pieces continue past their left or right side unless they end the title;
// far enough that no outline shows there.
constexpr double kOpen = 1000;

Pixel RowOf(const TitleTheme& t, TitleFill fill, int y) {
  return fill == TitleFill::Plate ? PlateRow(t, y) : TitleRow(t, y);
}

// One title piece: the outline and bevel run along the top and along the
// closed sides; the last row is the line above the client area.
Image TitlePiece(const Theme& t, int width, bool closedLeft, bool closedRight, const Fill& rows) {
  const TitleTheme& ti = t.title;
  Image img(width, ti.height, ti.outline);
  const Shape shape = RoundRect(closedLeft ? 0 : -kOpen, 0, closedRight ? width : width + kOpen,
                                ti.height + kOpen, ti.cornerRadius, 0);
  PaintShape(img, shape, {Solid(ti.outline), Solid(ti.highlight)}, rows);
  const int bottom = ti.height - 1;
  for (int x = closedLeft ? 1 : 0; x < (closedRight ? width - 1 : width); ++x)
    img.Set(x, bottom, ti.bottomLine);
  // The region is cut from these pixels: a clean magenta, never a blend.
  CutOutside(img, shape, kMagenta);
  return img;
}

}  // namespace

Image TitleLeftEnd(const Theme& t, int width, TitleFill fill) {
  return TitlePiece(t, width, true, false, [&](int, int y) { return RowOf(t.title, fill, y); });
}

Image TitleMiddle(const Theme& t, int width, TitleFill fill) {
  return TitlePiece(t, width, false, false, [&](int, int y) { return RowOf(t.title, fill, y); });
}

Image TitlePlateEnd(const Theme& t, int width) {
  const TitleTheme& ti = t.title;
  const int last = ti.height - 1;
  // The plate gives way to the filler along a soft S-curve from top left to
  // bottom right; a faint light edge follows the curve.
  auto edgeAt = [&](double y) {
    const double s = std::clamp(y / last, 0.0, 1.0);
    return 2.0 + (width - 5.0) * s * s * (3 - 2 * s);
  };
  return TitlePiece(t, width, false, false, [&](int x, int y) {
    const double edge = edgeAt(y + 0.5);
    const double filler = std::clamp(x + 1 - edge, 0.0, 1.0);
    const Pixel base = Mix(PlateRow(ti, y), TitleRow(ti, y), filler);
    const double glow = std::max(0.0, 1.0 - std::abs(x + 0.5 - edge)) * 0.35;
    return Mix(base, kWhite, glow);
  });
}

Image TitleRightEnd(const Theme& t, int width) {
  return TitlePiece(t, width, false, true, [&](int, int y) { return TitleRow(t.title, y); });
}

Image SideBorder(const Theme& t, bool left, int height) {
  const int w = static_cast<int>(t.sideRing.size());
  Image img(w, height);
  for (int x = 0; x < w; ++x) img.FillRect(x, 0, 1, height, t.sideRing[left ? x : w - 1 - x]);
  return img;
}

Image BottomBorder(const Theme& t, BottomPart part, int width, int height, double cornerRadius) {
  const int side = static_cast<int>(t.sideRing.size());
  const bool left = part == BottomPart::Left, right = part == BottomPart::Right;
  // Inside the outline and bevel, the side columns and the bottom rows meet
  // mitred: each pixel takes the ring it is nearer to.
  auto mitre = [&](int x, int y) {
    const int fromBottom = std::min(height - 1 - y, static_cast<int>(t.bottomRing.size()) - 1);
    const int fromSide = left ? x : right ? width - 1 - x : side;
    return fromSide < side && fromSide < fromBottom ? t.sideRing[fromSide] : t.bottomRing[fromBottom];
  };
  const Shape shape = RoundRect(left ? 0 : -kOpen, -kOpen, right ? width : width + kOpen, height, 0,
                                part == BottomPart::Middle ? 0 : cornerRadius);
  Image img(width, height, t.sideRing[0]);
  PaintShape(img, shape, {Solid(t.sideRing[0]), Solid(t.sideRing[1])}, mitre);
  if (cornerRadius > 0) CutOutside(img, shape, kMagenta);
  return img;
}

Image MinimizedTitle(const Theme& t, int width, int height, int glyphTop, int glyphShift) {
  const TitleTheme& ti = t.title;
  Image img(width, height, ti.outline);
  const Shape shape = RoundRect(0, 0, width, height, ti.cornerRadius, 0);
  auto rows = [&](int, int y) {
    const int titleRow = y < glyphTop ? y : y + glyphShift;
    return TitleRow(ti, std::min(titleRow, ti.height - 2));
  };
  PaintShape(img, shape, {Solid(ti.outline), Solid(ti.highlight)}, rows);
  CutOutside(img, shape, kMagenta);
  return img;
}

namespace {

const PixelMap kHelpGlyph = {
    "..####..",
    ".##..##.",
    ".....##.",
    "....##..",
    "...##...",
    "...##...",
    "........",
    "...##...",
    "...##...",
};
const PixelMap kMaximizeGlyph = {
    "##########",
    "##########",
    "#........#",
    "#........#",
    "#........#",
    "#........#",
    "#........#",
    "#........#",
    "##########",
};
const PixelMap kRestoreGlyph = {
    "...#######",
    "...#######",
    "...#.....#",
    "#######..#",
    "#######..#",
    "#.....#..#",
    "#.....####",
    "#.....#...",
    "#######...",
};
const PixelMap kMinimizeGlyph = {
    "..........",
    "..........",
    "..........",
    "..........",
    "..........",
    "..........",
    "..........",
    "##########",
    "##########",
};
const PixelMap kCloseGlyph = {
    "##.....##",
    "###...###",
    ".###.###.",
    "..#####..",
    "...###...",
    "..#####..",
    ".###.###.",
    "###...###",
    "##.....##",
};

enum class FaceState { Normal, Hot, Pressed };

// One caption button over the title rows behind it: a rounded face mixed
// into the title colour (red for close) and a crisp glyph with a shadow.
Image CaptionButton(const Theme& t, int size, int titleRow, FaceState state, bool close,
                    const PixelMap* glyph) {
  const CaptionButtonTheme& c = t.caption;
  Image img(size, size);
  for (int y = 0; y < size; ++y) img.FillRect(0, y, size, 1, TitleRow(t.title, titleRow + y));
  auto under = [&](int y) { return TitleRow(t.title, titleRow + y); };
  const Shape face = RoundRect(0.5, 0.5, size - 0.5, size - 0.5, 3);
  Fill border, fill;
  if (close) {
    const Pixel tint = state == FaceState::Hot ? kWhite : kBlack;
    const double amount = state == FaceState::Hot ? 0.22 : state == FaceState::Pressed ? 0.25 : 0;
    fill = [&, tint, amount](int, int y) {
      return Mix(Ramp(c.close0, c.close1, y, size), tint, amount);
    };
    border = [&, amount](int, int) { return Mix(c.closeBorder, kBlack, amount / 2); };
  } else {
    const Pixel tint = state == FaceState::Pressed ? c.dark : c.light;
    const double edge = state == FaceState::Normal ? 0.38 : state == FaceState::Hot ? 0.75 : 0.6;
    const double top = state == FaceState::Normal ? 0.24 : state == FaceState::Hot ? 0.48 : 0.42;
    const double bottom = state == FaceState::Normal ? 0.06 : state == FaceState::Hot ? 0.22 : 0.26;
    fill = [&, tint, top, bottom](int, int y) {
      return Mix(under(y), tint, top + (bottom - top) * y / (size - 1));
    };
    border = [&, tint, edge](int, int y) { return Mix(under(y), tint, edge); };
  }
  PaintShape(img, face, {border}, fill);
  if (glyph) {
    const int shift = state == FaceState::Pressed ? 1 : 0;
    const int gx = (size - MapWidth(*glyph)) / 2 + shift;
    const int gy = (size - static_cast<int>(glyph->size())) / 2 + shift;
    Stamp(img, gx + 1, gy + 1, *glyph, '#', c.glyphShadow, 0.55);
    Stamp(img, gx, gy, *glyph, '#', c.glyph);
  }
  return img;
}

}  // namespace

Image CaptionButtons(const Theme& t, int size, int titleRow) {
  std::vector<Image> frames;
  auto states = [&](bool close, const PixelMap* glyph) {
    for (FaceState s : {FaceState::Normal, FaceState::Hot, FaceState::Pressed})
      frames.push_back(CaptionButton(t, size, titleRow, s, close, glyph));
  };
  states(false, nullptr);
  states(false, &kHelpGlyph);
  states(false, &kMaximizeGlyph);
  states(false, &kRestoreGlyph);
  states(false, &kMinimizeGlyph);
  states(true, &kCloseGlyph);
  return SideBySide(frames);
}

Image MenuBar(const Theme& t, int width, int height) {
  Image img(width, height);
  for (int y = 0; y < height; ++y) img.FillRect(0, y, width, 1, Ramp(t.menuBar0, t.menuBar1, y, height));
  img.FillRect(0, 0, width, 1, Mix(t.menuBar0, kWhite, 0.25));
  img.FillRect(0, height - 1, width, 1, Mix(t.menuBar1, kBlack, 0.35));
  return img;
}

}  // namespace nuvskin::skinart
