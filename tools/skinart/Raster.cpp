#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace nuvskin::skinart {

using image::Blue;
using image::Green;
using image::Red;

Pixel Mix(Pixel a, Pixel b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto channel = [t](int ca, int cb) {
    return static_cast<int>(std::lround(ca + (cb - ca) * t));
  };
  return Rgb(channel(Red(a), Red(b)), channel(Green(a), Green(b)), channel(Blue(a), Blue(b)));
}

Pixel Ramp(Pixel a, Pixel b, int i, int n) {
  return n <= 1 ? a : Mix(a, b, static_cast<double>(i) / (n - 1));
}

void Blend(Image& img, int x, int y, Pixel c, double alpha) {
  if (img.Contains(x, y)) img.Set(x, y, Mix(img.At(x, y), c, alpha));
}

Shape RoundRect(double x0, double y0, double x1, double y1, double rTop, double rBottom) {
  const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const double hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
  return [=](double x, double y) {
    const double r = y < cy ? rTop : rBottom;
    const double qx = std::abs(x - cx) - (hx - r);
    const double qy = std::abs(y - cy) - (hy - r);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - r;
  };
}

Shape Disc(double cx, double cy, double r) {
  return [=](double x, double y) { return std::hypot(x - cx, y - cy) - r; };
}

namespace {

double SegmentDistance(PointF p, PointF a, PointF b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

Shape Stroke(std::vector<PointF> points, double width) {
  return [points = std::move(points), half = width / 2](double x, double y) {
    double d = 1e9;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
      d = std::min(d, SegmentDistance({x, y}, points[i], points[i + 1]));
    return d - half;
  };
}

Shape Polygon(std::vector<PointF> points) {
  return [points = std::move(points)](double x, double y) {
    double d = 1e9;
    bool inside = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const PointF a = points[j], b = points[i];
      d = std::min(d, SegmentDistance({x, y}, a, b));
      if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
        inside = !inside;
    }
    return inside ? -d : d;
  };
}

Shape Inset(Shape s, double d) {
  return [s = std::move(s), d](double x, double y) { return s(x, y) + d; };
}

Shape Union(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) {
    return std::min(a(x, y), b(x, y));
  };
}

Shape Intersect(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) {
    return std::max(a(x, y), b(x, y));
  };
}

Fill Solid(Pixel c) {
  return [c](int, int) { return c; };
}

double Coverage(const Shape& s, int x, int y) {
  // Far from the outline the centre decides; near it, count samples.
  const double centre = s(x + 0.5, y + 0.5);
  if (centre > 1.0) return 0.0;
  if (centre < -1.0) return 1.0;
  int inside = 0;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i)
      if (s(x + (i + 0.5) / 4, y + (j + 0.5) / 4) <= 0) ++inside;
  return inside / 16.0;
}

void PaintShape(Image& img, const Shape& s, const std::vector<Fill>& bands, const Fill& interior,
                double alpha) {
  const int n = static_cast<int>(bands.size());
  std::vector<Shape> insets;
  for (int k = 0; k <= n; ++k) insets.push_back(Inset(s, k));
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) {
      double previous = Coverage(insets[0], x, y);
      if (previous <= 0) continue;
      double r = 0, g = 0, b = 0, total = 0;
      auto add = [&](Pixel c, double w) {
        r += Red(c) * w;
        g += Green(c) * w;
        b += Blue(c) * w;
        total += w;
      };
      for (int k = 0; k < n; ++k) {
        const double next = Coverage(insets[k + 1], x, y);
        if (previous > next) add(bands[k](x, y), previous - next);
        previous = next;
      }
      if (previous > 0) add(interior(x, y), previous);
      if (total <= 0) continue;
      const Pixel painted = Rgb(static_cast<int>(std::lround(r / total)),
                                static_cast<int>(std::lround(g / total)),
                                static_cast<int>(std::lround(b / total)));
      img.Set(x, y, Mix(img.At(x, y), painted, total * alpha));
    }
}

void PaintShape(Image& img, const Shape& s, Pixel color, double alpha) {
  PaintShape(img, s, {}, Solid(color), alpha);
}

void CutOutside(Image& img, const Shape& s, Pixel color, double threshold) {
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x)
      if (Coverage(s, x, y) < threshold) img.Set(x, y, color);
}

void Stamp(Image& img, int x, int y, const PixelMap& rows, char ink, Pixel color, double alpha) {
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < static_cast<int>(rows[r].size()); ++c)
      if (rows[r][c] == ink) Blend(img, x + c, y + r, color, alpha);
}

int MapWidth(const PixelMap& rows) {
  std::size_t w = 0;
  for (const auto& row : rows) w = std::max(w, row.size());
  return static_cast<int>(w);
}

Image Crop(const Image& src, int x, int y, int w, int h) {
  Image out(w, h);
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx)
      if (src.Contains(x + xx, y + yy)) out.Set(xx, yy, src.At(x + xx, y + yy));
  return out;
}

Image SideBySide(const std::vector<Image>& frames) {
  int w = 0, h = 0;
  for (const auto& f : frames) {
    w += f.Width();
    h = std::max(h, f.Height());
  }
  Image out(w, h);
  int x = 0;
  for (const auto& f : frames) {
    out.Blit(f, x, 0);
    x += f.Width();
  }
  return out;
}

Image Turn90CCW(const Image& src) {
  Image out(src.Height(), src.Width());
  for (int y = 0; y < src.Height(); ++y)
    for (int x = 0; x < src.Width(); ++x) out.Set(y, src.Width() - 1 - x, src.At(x, y));
  return out;
}

Image Turn90CW(const Image& src) {
  Image out(src.Height(), src.Width());
  for (int y = 0; y < src.Height(); ++y)
    for (int x = 0; x < src.Width(); ++x) out.Set(src.Height() - 1 - y, x, src.At(x, y));
  return out;
}

Image Turn180(const Image& src) {
  Image out(src.Width(), src.Height());
  for (int y = 0; y < src.Height(); ++y)
    for (int x = 0; x < src.Width(); ++x)
      out.Set(src.Width() - 1 - x, src.Height() - 1 - y, src.At(x, y));
  return out;
}

Image FlipVertical(const Image& src) {
  Image out(src.Width(), src.Height());
  for (int y = 0; y < src.Height(); ++y)
    for (int x = 0; x < src.Width(); ++x) out.Set(x, src.Height() - 1 - y, src.At(x, y));
  return out;
}

Image FlipHorizontal(const Image& src) {
  Image out(src.Width(), src.Height());
  for (int y = 0; y < src.Height(); ++y)
    for (int x = 0; x < src.Width(); ++x) out.Set(src.Width() - 1 - x, y, src.At(x, y));
  return out;
}

void Replace(Image& img, Pixel from, Pixel to) {
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x)
      if (img.At(x, y) == from) img.Set(x, y, to);
}

void StretchInto(Image& dst, const Image& src, int x, int y, int w, int h, bool skipTransparent,
                 Pixel transparent) {
  if (src.Empty() || w <= 0 || h <= 0) return;
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      const Pixel p = src.At(static_cast<int>(static_cast<long long>(xx) * src.Width() / w),
                             static_cast<int>(static_cast<long long>(yy) * src.Height() / h));
      if (skipTransparent && p == transparent) continue;
      if (dst.Contains(x + xx, y + yy)) dst.Set(x + xx, y + yy, p);
    }
}

}  // namespace nuvskin::skinart
