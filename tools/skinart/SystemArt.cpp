// The two bitmaps the library carries as its own resources, in palette
// formats: the default menu check mark and the MDI control glyphs.
#include "Art.h"

namespace nuvskin::skinart {

namespace {

// A palette BMP from one palette index per pixel, top row first.
format::BmpImage MakePaletteBmp(int width, int height, int bitsPerPixel,
                                std::vector<std::uint32_t> palette,
                                const std::vector<int>& indices) {
  format::BmpImage img;
  img.width = width;
  img.height = height;
  img.bitsPerPixel = bitsPerPixel;
  img.palette = std::move(palette);
  const int stride = img.Stride();
  img.bits.assign(static_cast<std::size_t>(stride) * height, 0);
  const int perByte = 8 / bitsPerPixel;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = img.bits.data() + static_cast<std::size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const int shift = (perByte - 1 - x % perByte) * bitsPerPixel;
      row[x / perByte] |= static_cast<std::uint8_t>(indices[static_cast<std::size_t>(y) * width + x] << shift);
    }
  }
  return img;
}

// The sixteen colours of the classic 16-colour palette, as RGBQUAD values.
const std::vector<std::uint32_t> kSixteenColours = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
constexpr int kIndexGreen = 2, kIndexLime = 10, kIndexDarkGrey = 8, kIndexWhite = 15;

}  // namespace

format::BmpImage MenuCheckedResource() {
  constexpr int kSize = 16;
  const std::vector<PointF> path = {{3.5, 8.0}, {6.5, 11.0}, {12.5, 4.5}};
  const Shape mark = Stroke(path, 2.4);
  const Shape shine = Stroke(path, 0.9);
  std::vector<int> indices(kSize * kSize, kIndexWhite);
  auto inMark = [&](int x, int y) { return x >= 0 && y >= 0 && Coverage(mark, x, y) >= 0.5; };
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      int& i = indices[static_cast<std::size_t>(y) * kSize + x];
      if (inMark(x, y))
        i = Coverage(shine, x - 1, y) >= 0.5 ? kIndexLime : kIndexGreen;
      else if (inMark(x - 1, y - 1))
        i = kIndexDarkGrey;  // the shadow, one pixel down and right
    }
  return MakePaletteBmp(kSize, kSize, 4, kSixteenColours, indices);
}

namespace {

const PixelMap kMdiGlyphs = {
    // minimize        restore          close
    "................................................",
    "................................................",
    "................................................",
    "...................#########....................",
    "...................#########........##....##....",
    "...................#.......#.........##..##.....",
    "................#########..#..........####......",
    "................#########..#...........##.......",
    "................#.......#..#..........####......",
    "................#.......####.........##..##.....",
    "................#.......#...........##....##....",
    "....########....#.......#...........#......#....",
    "....########....#.......#.......................",
    "................#########.......................",
    "................................................",
    "................................................",
};

}  // namespace

format::BmpImage MdiControlerResource() {
  constexpr int kWidth = 48, kHeight = 16;
  std::vector<int> indices(kWidth * kHeight, 1);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (kMdiGlyphs[y][x] == '#') indices[static_cast<std::size_t>(y) * kWidth + x] = 0;
  return MakePaletteBmp(kWidth, kHeight, 1, {0x000000, 0xFFFFFF}, indices);
}

}  // namespace nuvskin::skinart
