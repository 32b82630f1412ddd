#include "nsktool/ContactSheet.h"

#include <algorithm>
#include <string>
#include <vector>

#include "skin/format/Bmp.h"

namespace nuvskin::nsktool {

using image::Image;
using image::Pixel;
using image::Rgb;

namespace {

constexpr int kSheetWidth = 1024;
constexpr int kMargin = 12;
constexpr int kLabelHeight = 12;  // one 8-pixel text line plus a gap
constexpr int kChecker = 8;
constexpr int kMaxScale = 8;
// Larger bitmaps get only their label: decoding them could take gigabytes.
constexpr int kMaxPieceSide = 4096;
// Pieces larger than this on screen are not enlarged further.
constexpr int kTargetWidth = 768, kTargetHeight = 128;
const Pixel kCheckerLight = Rgb(204, 204, 204), kCheckerDark = Rgb(170, 170, 170);
const Pixel kFrameColor = Rgb(64, 64, 64), kTextColor = Rgb(16, 16, 16);

struct Cell {
  std::string label;
  Image picture;  // already scaled; empty when the bitmap did not decode
  int width = 0, height = 0;
};

void FillChecker(Image& image) {
  for (int y = 0; y < image.Height(); ++y) {
    Pixel* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x)
      row[x] = ((x / kChecker + y / kChecker) % 2) ? kCheckerDark : kCheckerLight;
  }
}

void Outline(Image& image, int x, int y, int w, int h, Pixel p) {
  image.FillRect(x, y, w, 1, p);
  image.FillRect(x, y + h - 1, w, 1, p);
  image.FillRect(x, y, 1, h, p);
  image.FillRect(x + w - 1, y, 1, h, p);
}

Cell MakeCell(const format::Sk2Record& record) {
  Cell cell;
  format::BmpImage bmp;
  std::string why;
  if (!format::ParseBmp(record.data, bmp, &why)) {
    cell.label = record.name + " (damaged: " + why + ")";
    cell.width = std::max(image::TextWidth(cell.label), 16);
    cell.height = kLabelHeight + 16;
    return cell;
  }
  if (bmp.width > kMaxPieceSide || bmp.height > kMaxPieceSide) {
    cell.label = record.name + " " + std::to_string(bmp.width) + "x" + std::to_string(bmp.height) +
                 " (too large to show)";
    cell.width = image::TextWidth(cell.label);
    cell.height = kLabelHeight;
    return cell;
  }
  const int scale = SheetScale(bmp.width, bmp.height);
  Image source(bmp.width, bmp.height);
  const std::vector<std::uint32_t> pixels = format::DecodeBmpPixels(bmp);
  for (int y = 0; y < bmp.height; ++y)
    std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * bmp.width, bmp.width, source.Row(y));
  cell.picture = Image(bmp.width * scale, bmp.height * scale);
  cell.picture.Blit(source, 0, 0, scale);
  cell.label = record.name + " " + std::to_string(bmp.width) + "x" + std::to_string(bmp.height) +
               (scale > 1 ? " (x" + std::to_string(scale) + ")" : "");
  cell.width = std::max(image::TextWidth(cell.label), cell.picture.Width() + 2);
  cell.height = kLabelHeight + cell.picture.Height() + 2;
  return cell;
}

}  // namespace

int SheetScale(int width, int height) {
  if (width <= 0 || height <= 0) return 1;
  return std::clamp(std::min(kTargetWidth / width, kTargetHeight / height), 1, kMaxScale);
}

Image MakeContactSheet(const format::Sk2File& skin) {
  std::vector<Cell> cells;
  for (const format::Sk2Record& r : skin.records)
    if (r.kind == format::Sk2Kind::kBitmap) cells.push_back(MakeCell(r));
  if (cells.empty()) {
    cells.push_back(Cell{"no bitmaps in this skin", {}, image::TextWidth("no bitmaps in this skin"), kLabelHeight});
  }

  // Flow layout: cells left to right, a new row when the next does not fit.
  struct Placed { int x, y; };
  std::vector<Placed> places;
  int sheetWidth = kSheetWidth;
  for (const Cell& c : cells) sheetWidth = std::max(sheetWidth, c.width + 2 * kMargin);
  int x = kMargin, y = kMargin, rowHeight = 0;
  for (const Cell& c : cells) {
    if (x > kMargin && x + c.width + kMargin > sheetWidth) {
      x = kMargin;
      y += rowHeight + kMargin;
      rowHeight = 0;
    }
    places.push_back({x, y});
    x += c.width + kMargin;
    rowHeight = std::max(rowHeight, c.height);
  }

  Image sheet(sheetWidth, y + rowHeight + kMargin);
  FillChecker(sheet);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const Cell& c = cells[i];
    const Placed p = places[i];
    // A plain strip under the label keeps the text readable on the checker.
    sheet.FillRect(p.x, p.y, image::TextWidth(c.label), kLabelHeight - 2, Rgb(240, 240, 240));
    image::DrawText(sheet, p.x, p.y + 1, c.label, kTextColor);
    if (!c.picture.Empty()) {
      Outline(sheet, p.x, p.y + kLabelHeight, c.picture.Width() + 2, c.picture.Height() + 2, kFrameColor);
      sheet.Blit(c.picture, p.x + 1, p.y + kLabelHeight + 1);
    }
  }
  return sheet;
}

}  // namespace nuvskin::nsktool
