// Faces and glyphs of the controls: push buttons, check boxes, radio
// buttons, scroll bars, progress bars, track bars, tabs and the menu check.
#include <algorithm>
#include <cmath>

#include "Art.h"

namespace nuvskin::skinart {

namespace {

// A vertical two-part gloss: top0..top1 above `split`, bottom0..bottom1 below.
Fill Gloss(Pixel top0, Pixel top1, Pixel bottom0, Pixel bottom1, int top, int split, int bottom) {
  return [=](int, int y) {
    return y < split ? Ramp(top0, top1, y - top, split - top)
                     : Ramp(bottom0, bottom1, y - split, bottom - split);
  };
}

Fill Lighter(Fill f, double amount) {
  return [f = std::move(f), amount](int x, int y) { return Mix(f(x, y), kWhite, amount); };
}

Fill Darker(Fill f, double amount) {
  return [f = std::move(f), amount](int x, int y) { return Mix(f(x, y), kBlack, amount); };
}

}  // namespace

Image PushButtonFrames(const Theme& t, int width, int height) {
  const ControlTheme& k = t.control;
  // The face is nine-gridded: rows above `split` form the gloss of the top
  // corners, the row at `split` is what the middle is stretched from.
  const int split = height / 2;
  const Shape shape = RoundRect(0, 0, width, height, 3.5);
  auto face = [&](Pixel border, const Fill& fill, const Fill& bevel) {
    Image img(width, height, t.form);
    PaintShape(img, shape, {Solid(border), bevel}, fill);
    CutOutside(img, shape, kMagenta);
    return img;
  };
  const Fill normal = Gloss(k.face0, k.face1, k.face2, k.face3, 0, split, height);
  const Fill hot = Gloss(k.hot0, k.hot1, k.hot2, k.hot3, 0, split, height);
  const Fill down = Gloss(k.down0, k.down1, k.down2, k.down3, 0, split, height);
  return SideBySide({face(k.border, normal, Lighter(normal, 0.7)),
                     face(k.borderHot, hot, Lighter(hot, 0.75)),
                     face(k.borderDown, down, Darker(down, 0.12))});
}

namespace {

enum class Mark { None, Check, Mixed, Dot };

// A check box or radio glyph. Enabled glyphs have a bevelled white box and
// an accent mark; disabled ones are flat grey.
Image Glyph(const Theme& t, int size, bool round, Mark mark, bool enabled) {
  const ControlTheme& k = t.control;
  const double s = size / 17.0;
  Image img(size, size, t.form);
  const Shape box = round ? Disc(size / 2.0, size / 2.0, 6.5 * s)
                          : RoundRect(2 * s, 2 * s, size - 2 * s, size - 2 * s, 2);
  const Fill inside = enabled ? Gloss(k.box0, k.box0, k.box0, k.box1, 0, 0, size)
                              : Solid(k.disabledFace);
  PaintShape(img, box, {Solid(enabled ? k.border : k.disabledBorder), enabled ? Solid(kWhite) : inside},
             inside);
  const Pixel ink = enabled ? k.accentDark : k.disabledMark;
  switch (mark) {
    case Mark::Check:
      PaintShape(img, Stroke({{5.0 * s, 8.6 * s}, {7.4 * s, 11.0 * s}, {12.0 * s, 5.6 * s}}, 2.1 * s),
                 ink);
      break;
    case Mark::Mixed:
      PaintShape(img, RoundRect(5 * s, 5 * s, size - 5 * s, size - 5 * s, 1), {},
                 enabled ? Gloss(k.accent, k.accent, k.accent, k.accentDark, 5, 5, size - 5)
                         : Solid(k.disabledMark));
      break;
    case Mark::Dot:
      PaintShape(img, Disc(size / 2.0, size / 2.0, 3.1 * s), {},
                 enabled ? Gloss(k.accentLight, k.accent, k.accent, k.accentDark, 5, 8, size - 5)
                         : Solid(k.disabledMark));
      break;
    case Mark::None:
      break;
  }
  return img;
}

}  // namespace

Image CheckBoxFrames(const Theme& t, int size) {
  std::vector<Image> frames;
  for (bool enabled : {true, false})
    for (Mark m : {Mark::Check, Mark::Mixed, Mark::None})
      frames.push_back(Glyph(t, size, false, m, enabled));
  return SideBySide(frames);
}

Image RadioButtonFrames(const Theme& t, int size) {
  std::vector<Image> frames;
  for (bool enabled : {true, false})
    for (Mark m : {Mark::Dot, Mark::None}) {
      Image img = Glyph(t, size, true, m, enabled);
      CutOutside(img, Disc(size / 2.0, size / 2.0, 6.5 * size / 17.0), kMagenta);
      frames.push_back(std::move(img));
    }
  return SideBySide(frames);
}

namespace {

const PixelMap kArrowUp = {
    "...#...",
    "..###..",
    ".#####.",
    "#######",
};

}  // namespace

Image ScrollButtonFrames(const Theme& t, int size, bool up) {
  const ControlTheme& k = t.control;
  const Shape shape = RoundRect(1, 1, size - 1, size - 1, 2.5);
  const PixelMap arrow = up ? kArrowUp : PixelMap(kArrowUp.rbegin(), kArrowUp.rend());
  auto frame = [&](Pixel face, Pixel border, Pixel ink, int shift) {
    Image img(size, size, t.scrollTrack);
    PaintShape(img, shape, {Solid(border), Solid(Mix(face, kWhite, 0.6))}, Solid(face));
    Stamp(img, (size - MapWidth(arrow)) / 2 + shift, (size - 4) / 2 + shift, arrow, '#', ink);
    CutOutside(img, shape, kMagenta);
    return img;
  };
  return SideBySide({frame(k.scrollFace, k.scrollBorder, k.scrollArrow, 0),
                     frame(k.scrollHotFace, k.scrollHotBorder, k.accentDark, 0),
                     frame(k.scrollDownFace, k.scrollDownBorder, k.accentDark, 1)});
}

Image ScrollThumb(const Theme& t, int width, int height) {
  const ControlTheme& k = t.control;
  const Shape shape = RoundRect(1, 0, width - 1, height, 3);
  Image img(width, height, t.scrollTrack);
  PaintShape(img, shape, {Solid(k.thumbBorder), Solid(k.thumbHighlight)}, Solid(k.thumbFace));
  // The engine cuts the thumb at f = (height - 6) / 3: caps of 3 rows, two
  // stretched parts of f rows and the grip piece between them, whose second
  // row must stay one colour (grip test). The grip lines sit in its middle.
  const int f = (height - 6) / 3;
  const int centre = (f + 4 + height - f - 3) / 2;
  const int gripLeft = width / 2 - 3;
  for (int line = -2; line < 2; ++line) {
    const int y = centre + 2 * line;
    img.FillRect(gripLeft, y, 6, 1, k.thumbGrip);
    img.FillRect(gripLeft, y + 1, 6, 1, k.thumbHighlight);
  }
  CutOutside(img, shape, kMagenta);
  return img;
}

Image WholeScrollThumb(const Theme& t, int width, int height, Pixel border) {
  const Shape shape = RoundRect(1, 0, width - 1, height, 4);
  Image img(width, height, t.scrollTrack);
  const Pixel face = Mix(border, kWhite, 0.28);
  PaintShape(img, shape, {Solid(border), Solid(Mix(border, kWhite, 0.55))}, Solid(face));
  return img;
}

Image ProgressCap(const Theme& t, int height) {
  Image img(1, height, t.control.border);
  img.Set(0, 0, Mix(t.control.border, t.form, 0.55));
  img.Set(0, height - 1, Mix(t.control.border, t.form, 0.55));
  return img;
}

Image ProgressFilled(const Theme& t, int width, int height) {
  const ControlTheme& k = t.control;
  Image img(width, height);
  const int split = height / 2;
  const Fill gloss = Gloss(Mix(k.accent, kWhite, 0.5), Mix(k.accent, kWhite, 0.25), k.accent,
                           Mix(k.accent, kWhite, 0.22), 2, split, height - 1);
  for (int y = 0; y < height; ++y) img.FillRect(0, y, width, 1, gloss(0, y));
  img.FillRect(0, 1, width, 1, Mix(k.accent, kWhite, 0.65));
  img.FillRect(0, 0, width, 1, k.border);
  img.FillRect(0, height - 1, width, 1, k.border);
  return img;
}

Image ProgressEmpty(const Theme& t, int width, int height) {
  const ControlTheme& k = t.control;
  Image img(width, height);
  for (int y = 1; y < height - 1; ++y) img.FillRect(0, y, width, 1, Ramp(kWhite, k.box1, y - 1, height - 2));
  img.FillRect(0, 1, width, 1, k.channelShadow);
  img.FillRect(0, 0, width, 1, k.border);
  img.FillRect(0, height - 1, width, 1, k.border);
  return img;
}

Image TrackChannel(const Theme& t, int width, int height) {
  const ControlTheme& k = t.control;
  const int top = (height - 4) / 2;
  const Shape groove = RoundRect(2, top, width - 2, top + 4, 2);
  Image img(width, height, t.form);
  PaintShape(img, groove, {Solid(k.channelBorder)},
             [&](int, int y) { return y == top + 1 ? k.channelShadow : kWhite; });
  CutOutside(img, groove, kMagenta);
  return img;
}

Image TrackThumb(const Theme& t, bool vertical) {
  const ControlTheme& k = t.control;
  constexpr int kW = 11, kH = 21;
  const Shape shape = Union(RoundRect(0.5, 0.5, kW - 0.5, 15, 2.5, 0),
                            Polygon({{0.5, 13}, {kW - 0.5, 13}, {kW / 2.0, kH - 0.3}}));
  Image img(kW, kH, t.form);
  const Fill face = Gloss(k.hot0, k.hot1, k.hot2, k.hot2, 1, 8, kH - 1);
  PaintShape(img, shape, {Solid(k.borderHot), Lighter(face, 0.7)}, face);
  for (int y = 5; y <= 11; y += 3) img.FillRect(3, y, 5, 1, Mix(face(0, y), k.borderHot, 0.5));
  // The painter takes the lower-left pixel as the transparent colour.
  CutOutside(img, shape, kMagenta);
  return vertical ? Turn90CCW(img) : img;
}

Image TabFrames(const Theme& t, int frameWidth, int height) {
  const ControlTheme& k = t.control;
  // Open at the bottom: the tab stands on the page edge.
  const Shape shape = RoundRect(0, 0, frameWidth, height + 8, 3, 0);
  Image selected(frameWidth, height, t.form);
  const Fill paper = [&](int, int y) { return Ramp(kWhite, t.form, y, height); };
  PaintShape(selected, shape, {Solid(k.tabBorder), Lighter(paper, 0.8)}, paper);
  PaintShape(selected, Intersect(shape, RoundRect(-10, -10, frameWidth + 10, 3, 0)),
             {Solid(k.accentDark)}, Solid(k.accent));
  Image other(frameWidth, height, t.form);
  const Fill shade = [&](int, int y) { return Ramp(k.tab0, k.tab1, y, height); };
  PaintShape(other, shape, {Solid(k.tabBorder), Lighter(shade, 0.6)}, shade);
  return SideBySide({selected, other});
}

Image TabLine(const Theme& t, int width) { return Image(width, 1, t.control.tabBorder); }

Image MenuCheckMark(const Theme& t, int size) {
  const ControlTheme& k = t.control;
  const double s = size / 16.0;
  const std::vector<PointF> path = {{3.6 * s, 8.4 * s}, {6.6 * s, 11.4 * s}, {12.4 * s, 4.6 * s}};
  const Shape outline = Stroke(path, 4.4 * s);
  Image img(size, size, t.menuLeftBar);
  PaintShape(img, outline, k.menuCheckOutline);
  PaintShape(img, Stroke(path, 2.2 * s), k.menuCheck);
  CutOutside(img, outline, kMagenta);
  return img;
}

Image CheckListFrames(const Theme& t, int size) {
  // Small check boxes: checked, unchecked, checked disabled, unchecked disabled.
  std::vector<Image> frames;
  const ControlTheme& k = t.control;
  for (bool enabled : {true, false})
    for (bool checked : {true, false}) {
      Image img(size, size, kWhite);
      const Shape box = RoundRect(0.5, 0.5, size - 0.5, size - 0.5, 1.5);
      PaintShape(img, box, {Solid(enabled ? k.border : k.disabledBorder)},
                 Solid(enabled ? kWhite : k.disabledFace));
      if (checked)
        PaintShape(img, Stroke({{2.8, 5.6}, {4.6, 7.6}, {8.2, 3.4}}, 1.6),
                   enabled ? k.accentDark : k.disabledMark);
      frames.push_back(std::move(img));
    }
  return SideBySide(frames);
}

Image SideChannelBar(const Theme& t, int width, int height) {
  Image img(width, height);
  for (int x = 0; x < width; ++x)
    img.FillRect(x, 0, 1, height, TitleRow(t.title, 2 + x * (t.title.height - 4) / std::max(1, width - 1)));
  img.FillRect(0, 0, 1, height, t.title.outline);
  img.FillRect(width - 1, 0, 1, height, t.title.outline);
  return img;
}

Image SideChannelTitle(const Theme& t, int width, int height) {
  Image img(width, height);
  for (int y = 0; y < height; ++y)
    img.FillRect(0, y, width, 1, TitleRow(t.title, y * (t.title.height - 1) / std::max(1, height - 1)));
  return img;
}

Image ScrollButtonStrip(const Theme& t, int size) {
  // Up, down, left and right buttons in their normal state.
  Image up = Crop(ScrollButtonFrames(t, size, true), 0, 0, size, size);
  Image down = Crop(ScrollButtonFrames(t, size, false), 0, 0, size, size);
  Image strip = SideBySide({up, down, Turn90CCW(up), Turn90CCW(down)});
  // Nothing draws this strip transparently: no transparent colour in it.
  Replace(strip, kMagenta, t.scrollTrack);
  return strip;
}

}  // namespace nuvskin::skinart
