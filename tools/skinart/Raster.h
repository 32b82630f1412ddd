// Small raster helpers for drawing skin art on image::Image: colour mixing,
// shapes given as signed distance functions (anti-aliased by supersampling),
// glyph pixel maps and the copies, crops and turns the art is assembled with.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "image/Image.h"

namespace nuvskin::skinart {

using image::Image;
using image::Pixel;
using image::Rgb;

constexpr Pixel kMagenta = Rgb(255, 0, 255);
constexpr Pixel kWhite = Rgb(255, 255, 255);
constexpr Pixel kBlack = Rgb(0, 0, 0);

// a at t = 0, b at t = 1, channel by channel, rounded.
Pixel Mix(Pixel a, Pixel b, double t);
// Step i of an n-step ramp from a to b (a at 0, b at n - 1).
Pixel Ramp(Pixel a, Pixel b, int i, int n);
void Blend(Image& img, int x, int y, Pixel c, double alpha);

// Signed distance of a point to a shape's outline: negative inside. Points
// are in pixel units; pixel (x, y) covers [x, x + 1) x [y, y + 1).
using Shape = std::function<double(double x, double y)>;
struct PointF {
  double x;
  double y;
};

// A rectangle whose top corners have radius rTop and bottom corners rBottom.
Shape RoundRect(double x0, double y0, double x1, double y1, double rTop, double rBottom);
inline Shape RoundRect(double x0, double y0, double x1, double y1, double r) {
  return RoundRect(x0, y0, x1, y1, r, r);
}
Shape Disc(double cx, double cy, double r);
// A line through the points, `width` thick, with round ends and joints.
Shape Stroke(std::vector<PointF> points, double width);
// A convex or concave polygon (even-odd rule).
Shape Polygon(std::vector<PointF> points);
// The shape moved inwards by d pixels (outwards for negative d).
Shape Inset(Shape s, double d);

// Fraction of pixel (x, y) inside the shape, from 4 x 4 samples.
double Coverage(const Shape& s, int x, int y);

// Union and intersection of two shapes.
Shape Union(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);

using Fill = std::function<Pixel(int x, int y)>;
Fill Solid(Pixel c);

// Paints the shape over what is there: bands[0] is its outermost one-pixel
// ring, bands[1] the next, and so on; the rest gets `interior`. Partly
// covered pixels mix with what was there before, so pre-fill an image with
// the colour the art will be seen on.
void PaintShape(Image& img, const Shape& s, const std::vector<Fill>& bands, const Fill& interior,
                double alpha = 1.0);
void PaintShape(Image& img, const Shape& s, Pixel color, double alpha = 1.0);

// Pixels the shape covers less than `threshold` become `color` (the skin's
// transparent colour); the others keep their colour, so that transparency is
// never mixed into a visible pixel.
void CutOutside(Image& img, const Shape& s, Pixel color, double threshold = 0.5);

// A glyph pixel map: every `ink` character of `rows` paints `color` at
// (x + column, y + row) with the given opacity.
using PixelMap = std::vector<std::string>;
void Stamp(Image& img, int x, int y, const PixelMap& rows, char ink, Pixel color,
           double alpha = 1.0);
int MapWidth(const PixelMap& rows);

// Pixels outside src come out black.
Image Crop(const Image& src, int x, int y, int w, int h);
// Frames of equal size side by side, left to right.
Image SideBySide(const std::vector<Image>& frames);
Image Turn90CCW(const Image& src);  // the right edge becomes the top
Image Turn90CW(const Image& src);   // the left edge becomes the top
Image Turn180(const Image& src);
Image FlipVertical(const Image& src);
Image FlipHorizontal(const Image& src);
// Every pixel of colour `from` becomes `to`.
void Replace(Image& img, Pixel from, Pixel to);
// Nearest-pixel stretch of src into (x, y, w, h) of dst; pixels of
// `transparent` are skipped when `skipTransparent` holds.
void StretchInto(Image& dst, const Image& src, int x, int y, int w, int h,
                 bool skipTransparent = false, Pixel transparent = kMagenta);

}  // namespace nuvskin::skinart
