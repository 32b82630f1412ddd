// A 32-bit pixel buffer whose pixels are colour values 0x00BBGGRR (the
// layout of COLORREF and of the framework's TColor), and PNG output.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace nuvskin::image {

using Pixel = std::uint32_t;  // 0x00BBGGRR

constexpr Pixel Rgb(int r, int g, int b) {
  return static_cast<Pixel>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int Red(Pixel p) { return p & 0xFF; }
constexpr int Green(Pixel p) { return (p >> 8) & 0xFF; }
constexpr int Blue(Pixel p) { return (p >> 16) & 0xFF; }

class Image {
 public:
  Image() = default;
  Image(int width, int height, Pixel fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  Pixel At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  void Set(int x, int y, Pixel p) { pixels_[static_cast<std::size_t>(y) * width_ + x] = p; }
  Pixel* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const Pixel* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }

  void FillRect(int x, int y, int w, int h, Pixel p);
  // Copies `src` to (x, y), clipped, each source pixel as a scale x scale block.
  void Blit(const Image& src, int x, int y, int scale = 1);
  // Counts the pixels of the rectangle that equal `p`.
  int Count(int x, int y, int w, int h, Pixel p) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Pixel> pixels_;
};

// Writes an 8-bit RGB PNG file; false when it cannot be written.
bool WritePng(const Image& image, const std::filesystem::path& path);

// Draws ASCII text in a built-in 5 x 7 pixel font (6 x 8 cell) scaled by
// `scale`; characters outside the font draw as a box.
void DrawText(Image& image, int x, int y, const std::string& text, Pixel color, int scale = 1);
int TextWidth(const std::string& text, int scale = 1);

}  // namespace nuvskin::image
