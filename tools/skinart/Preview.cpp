// The mock-up follows the painters' composition rules closely enough to
// judge the art (nearest-pixel stretching, no system fonts); it is a viewer,
// not a second implementation of the painters.
#include "Preview.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "Raster.h"

namespace nuvskin::skinart {

namespace {

using image::DrawText;
using image::TextWidth;

struct Rect {
  int left, top, right, bottom;
  int W() const { return right - left; }
  int H() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
};

constexpr Pixel kDesktop = Rgb(0x3E, 0x5C, 0x6E);

// Source rectangle s of src stretched onto t of dst.
void Copy(Image& dst, const Image& src, Rect s, Rect t, bool transparent = false,
          Pixel key = kMagenta) {
  s.left = std::max(s.left, 0);
  s.top = std::max(s.top, 0);
  s.right = std::min(s.right, src.Width());
  s.bottom = std::min(s.bottom, src.Height());
  if (s.Empty() || t.Empty()) return;
  StretchInto(dst, Crop(src, s.left, s.top, s.W(), s.H()), t.left, t.top, t.W(), t.H(), transparent,
              key);
}

void Draw(Image& dst, const Image& src, int x, int y, bool transparent = false) {
  Copy(dst, src, {0, 0, src.Width(), src.Height()}, {x, y, x + src.Width(), y + src.Height()},
       transparent);
}

Image Frame(const Image& strip, int count, int index) {
  const int w = strip.Width() / count;
  return Crop(strip, w * (index - 1), 0, w, strip.Height());
}

// Nine-grid stretching of a button face into a w x h canvas.
Image NineGrid(const Image& b, int w, int h, Pixel background, bool transparent) {
  Image c(w, h, background);
  const int W = b.Width(), H = b.Height(), hw = W / 2, hh = H / 2, tw = w / 2, th = h / 2;
  auto corner = [&](Rect s, Rect t, bool right, bool bottom) {
    const int pw = std::max(0, std::min(s.W(), t.W())), ph = std::max(0, std::min(s.H(), t.H()));
    const int x = right ? w - pw : 0, y = bottom ? h - ph : 0;
    const Rect cover{x, y, x + pw, y + ph};
    if (pw > 0 && ph > 0) {
      const int sx = right ? s.right - pw : s.left, sy = bottom ? s.bottom - ph : s.top;
      Copy(c, b, {sx, sy, sx + pw, sy + ph}, cover, transparent);
    }
    return cover;
  };
  enum Keep { Left, Right, Top, Bottom, All };
  auto edge = [&](Rect s, Rect t, Keep keep) {
    if (t.Empty()) return;
    if (keep == Left && s.W() > t.W()) s.right = s.left + t.W();
    if (keep == Right && s.W() > t.W()) s.left = s.right - t.W();
    if (keep == Top && s.H() > t.H()) s.bottom = s.top + t.H();
    if (keep == Bottom && s.H() > t.H()) s.top = s.bottom - t.H();
    Copy(c, b, s, t, true);
  };
  if (h <= 0) return c;
  const Rect tl = corner({0, 0, hw, hh}, {0, 0, tw, th}, false, false);
  const Rect blT{0, h - th + 1, tw, h};
  if (blT.Empty()) return c;
  const Rect bl = corner({0, H - hh + 1, hw, H}, blT, false, true);
  edge({0, hh, hw, H - hh}, {0, tl.bottom, tl.right, bl.top}, Left);
  const Rect trT{w - tw + 1, 0, w, th};
  if (trT.Empty()) return c;
  const Rect tr = corner({W - hw + 1, 0, W, hh}, trT, true, false);
  const Rect brT{w - tw + 1, h - th + 1, w, h};
  if (brT.Empty()) return c;
  const Rect br = corner({W - hw + 1, H - hh + 1, W, H}, brT, true, true);
  edge({W - hw + 1, hh, W, hh + 1}, {tr.left, tr.bottom, tr.right, br.top}, Right);
  edge({hw, 0, W - hw + 1, hh}, {tl.right, 0, tr.left, tl.bottom}, Top);
  edge({hw, hh, W - hw + 1, H - hh}, {tl.right, tl.bottom, tr.left, br.top - 1}, All);
  edge({hw, H - hh, W - hw + 1, H}, {tl.right - 1, bl.top - 1, br.left, br.bottom}, Bottom);
  return c;
}

void ThreeSliceH(Image& dst, const Image& b, Rect r, bool transparent) {
  const int p = b.Width() / 3, h = b.Height();
  if (r.W() < p) {
    Copy(dst, b, {0, 0, r.W(), h}, {r.left, r.top, r.right, r.top + h}, transparent);
    return;
  }
  Copy(dst, b, {0, 0, p, h}, {r.left, r.top, r.left + p, r.top + h}, transparent);
  Copy(dst, b, {2 * p, 0, 3 * p, h}, {r.right - p, r.top, r.right, r.top + h}, transparent);
  Copy(dst, b, {p, 0, 2 * p, h}, {r.left + p, r.top, r.right - p, r.top + h});
}

void ThreeSliceV(Image& dst, const Image& b, Rect r, int cap) {
  const int H = b.Height(), W = b.Width(), k = cap ? cap : H / 3;
  Copy(dst, b, {0, 0, W, std::min(r.H(), k)}, {r.left, r.top, r.right, r.top + std::min(k, r.H())});
  Copy(dst, b, {0, H - k, W, H}, {r.left, r.bottom - k, r.right, r.bottom});
  Copy(dst, b, {0, k, W, H - k}, {r.left, r.top + k, r.right, r.bottom - k});
}

void Text(Image& img, int x, int y, const std::string& s, Pixel c, bool bold = false) {
  DrawText(img, x, y, s, c);
  if (bold) DrawText(img, x + 1, y, s, c);
}

void Outline(Image& img, Rect r, Pixel c) {
  img.FillRect(r.left, r.top, r.W(), 1, c);
  img.FillRect(r.left, r.bottom - 1, r.W(), 1, c);
  img.FillRect(r.left, r.top, 1, r.H(), c);
  img.FillRect(r.right - 1, r.top, 1, r.H(), c);
}

Image AppIcon() {
  Image icon(16, 16, Rgb(0x20, 0x30, 0x50));
  PaintShape(icon, RoundRect(1, 2, 15, 14, 1.5), {Solid(Rgb(0x20, 0x30, 0x50))},
             [](int, int y) { return y < 5 ? Rgb(0xF0, 0xA0, 0x30) : Rgb(0xFF, 0xFF, 0xFF); });
  CutOutside(icon, RoundRect(1, 2, 15, 14, 1.5), kMagenta);
  return icon;
}

// The scroll bar pieces as the engine cuts, turns and recolours them.
struct ScrollPieces {
  Image vUp, vDown, hLeft, hRight;
  Image vThumb[5], hThumb[5];
  bool whole = false;
  Image vWhole, hWhole;
};

ScrollPieces CutScrollPieces(const SkinSource& skin) {
  ScrollPieces p;
  const Pixel tc = static_cast<Pixel>(skin.ValueOf("SKIN2_TRANSCOLOR"));
  const Pixel sc = static_cast<Pixel>(skin.ValueOf("SKIN2_SCROLLBARCOLOR"));
  const Image* up = skin.BitmapOf("SKIN2_SCROLLBARUPBUTTON");
  const Image* down = skin.BitmapOf("SKIN2_SCROLLBARDOWNBUTTON");
  const Image* t = skin.BitmapOf("SKIN2_SCROLLBAR");
  if (!up || !down || !t) throw std::runtime_error("skin lacks scroll bar pieces");
  p.vUp = Frame(*up, 3, 1);
  p.vDown = Frame(*down, 3, 1);
  p.hLeft = Turn90CCW(p.vUp);
  p.hRight = Turn90CCW(p.vDown);
  const int W = t->Width(), H = t->Height(), f = (H - 6) / 3;
  if (sc == 0xCBCBCB && H == 33 && t->At(1, 10) == 0xB23901) {
    p.whole = true;
    p.vWhole = *t;
    p.hWhole = Turn90CCW(*t);
  }
  p.vThumb[0] = Crop(*t, 0, 0, W, 3);
  p.vThumb[4] = Crop(*t, 0, H - 3, W, 3);
  p.vThumb[1] = Crop(*t, 0, 4, W, f);
  p.vThumb[2] = Crop(*t, 0, f + 4, W, H - 6 - 2 * f);
  p.vThumb[3] = Crop(*t, 0, H - 3 - f, W, f);
  const Image& grip = p.vThumb[2];
  bool uniform = grip.Width() < 8;
  if (!uniform) {
    uniform = true;
    for (int x = 4; x <= grip.Width() - 4; ++x) uniform = uniform && grip.At(x, 1) == grip.At(4, 1);
  }
  if (!uniform) throw std::runtime_error("thumb grip is not uniform");
  for (int k = 0; k < 5; ++k) p.hThumb[k] = Turn90CCW(p.vThumb[k]);
  for (Image* img : {&p.vUp, &p.vDown, &p.hLeft, &p.hRight}) Replace(*img, tc, sc);
  for (int k = 0; k < 5; ++k) {
    Replace(p.vThumb[k], tc, sc);
    Replace(p.hThumb[k], tc, sc);
  }
  return p;
}

void PaintScrollBar(Image& c, const ScrollPieces& p, Pixel track, Rect bar, bool vertical, Rect thumb) {
  c.FillRect(bar.left, bar.top, bar.W(), bar.H(), track);
  if (vertical) {
    const int s = bar.W();
    Copy(c, p.vUp, {0, 0, p.vUp.Width(), p.vUp.Height()}, {bar.left, bar.top, bar.right, bar.top + s});
    Copy(c, p.vDown, {0, 0, p.vDown.Width(), p.vDown.Height()},
         {bar.left, bar.bottom - s, bar.right, bar.bottom});
    const int h = thumb.H();
    if (p.whole && h > 15) {
      ThreeSliceV(c, p.vWhole, thumb, 0);
      return;
    }
    const int a = h - 6;
    const Image* t = p.vThumb;
    Copy(c, t[0], {0, 0, t[0].Width(), 3}, {thumb.left, thumb.top, thumb.right, thumb.top + 3});
    Copy(c, t[4], {0, std::max(0, 3 - h / 2), t[4].Width(), 3},
         {thumb.left, thumb.bottom - 3, thumb.right, thumb.bottom});
    const int g = t[2].Height();
    if (g >= a) {
      Copy(c, t[2], {0, 0, t[2].Width(), g}, {thumb.left, thumb.top + 3, thumb.right, thumb.bottom - 3});
      return;
    }
    const int o = a > g ? (a - g) / 2 : 0;
    const int gripTop = thumb.top + o + 3;
    Copy(c, t[2], {0, 0, t[2].Width(), g}, {thumb.left, gripTop, thumb.right, gripTop + g});
    Copy(c, t[3], {0, 0, t[3].Width(), t[3].Height()}, {thumb.left, gripTop + g, thumb.right, thumb.bottom - 3});
    Copy(c, t[1], {0, 0, t[1].Width(), t[1].Height()}, {thumb.left, thumb.top + 3, thumb.right, gripTop});
    return;
  }
  const int s = bar.H();
  Copy(c, p.hLeft, {0, 0, p.hLeft.Width(), p.hLeft.Height()}, {bar.left, bar.top, bar.left + s, bar.bottom});
  Copy(c, p.hRight, {0, 0, p.hRight.Width(), p.hRight.Height()},
       {bar.right - s, bar.top, bar.right, bar.bottom});
  const int w = thumb.W();
  if (p.whole && w > 15) {
    ThreeSliceH(c, p.hWhole, thumb, false);
    return;
  }
  const int a = w - 6;
  const Image* t = p.hThumb;
  Copy(c, t[0], {0, 0, 3, t[0].Height()}, {thumb.left, thumb.top, thumb.left + 3, thumb.bottom});
  Copy(c, t[4], {std::max(0, 3 - w / 2), 0, 3, t[4].Height()}, {thumb.right - 3, thumb.top, thumb.right, thumb.bottom});
  const int g = t[2].Width();
  if (g >= a) {
    Copy(c, t[2], {0, 0, g, t[2].Height()}, {thumb.left + 3, thumb.top, thumb.right - 3, thumb.bottom});
    return;
  }
  const int o = (a - g) / 2;
  const int gripLeft = thumb.left + o + 3;
  Copy(c, t[2], {0, 0, g, t[2].Height()}, {gripLeft, thumb.top, gripLeft + g, thumb.bottom});
  Copy(c, t[3], {0, 0, t[3].Width(), t[3].Height()}, {gripLeft + g, thumb.top, thumb.right - 3, thumb.bottom});
  Copy(c, t[1], {0, 0, t[1].Width(), t[1].Height()}, {thumb.left + 3, thumb.top, gripLeft, thumb.bottom});
}

struct Skin {
  const SkinSource& s;
  const Image& Bmp(const char* name) const {
    const Image* img = s.BitmapOf(name);
    if (!img) throw std::runtime_error(std::string("skin lacks ") + name);
    return *img;
  }
  const Image* Maybe(const char* name) const { return s.BitmapOf(name); }
  Pixel Color(const char* name) const { return static_cast<Pixel>(s.ValueOf(name)); }
  int Int(const char* name) const { return s.ValueOf(name); }
  bool Flag(const char* name) const { return s.ValueOf(name, 0) != 0; }
};

enum Button { kClose = 0, kMaximize = 1, kMinimize = 2 };

// The title bar as the frame painter builds it, region already applied:
// transparent pixels in the region rows show the desktop, others the form.
Image ComposeTitle(const Skin& k, int width, const std::string& caption, int hot, bool pressed,
                   bool minimized, int height = 0) {
  const Image& tb1 = k.Bmp("SKIN2_TITLEBAR1");
  const bool five = k.Flag("SKIN2_TITLEFIVESECT");
  const int th = minimized ? height : tb1.Height();
  Image buf(width, th, k.Color("SKIN2_FORMCOLOR"));
  const Image& glyphs = k.Bmp("SKIN2_TITLEBUTTONS");
  const int gw = glyphs.Width() / 18, gh = glyphs.Height();
  const int x0 = k.Int("SKIN2_TITLEBARICONPOSX") + 20;
  if (minimized) {
    Copy(buf, k.Bmp("SKIN2_MINIMIZEDTITLE"), {0, 0, k.Bmp("SKIN2_MINIMIZEDTITLE").Width(),
                                              k.Bmp("SKIN2_MINIMIZEDTITLE").Height()},
         {0, 0, width, th});
  } else {
    const Image& e = k.Bmp(five ? "SKIN2_TITLEBAR5" : "SKIN2_TITLEBAR3");
    const int rightX = width - e.Width();
    Draw(buf, e, rightX, 0);
    Draw(buf, tb1, 0, 0);
    int x = tb1.Width();
    const Image* filler = nullptr;
    if (five) {
      const Image& tb2 = k.Bmp("SKIN2_TITLEBAR2");
      const Image& tb3 = k.Bmp("SKIN2_TITLEBAR3");
      const int t = TextWidth(caption) + 1 + x0;
      Copy(buf, tb2, {0, 0, tb2.Width(), tb2.Height()}, {x, 0, t + 2, tb2.Height()});
      Draw(buf, tb3, t + 2, 0);
      x = t + 2 + tb3.Width();
      filler = &k.Bmp("SKIN2_TITLEBAR4");
    } else {
      filler = &k.Bmp("SKIN2_TITLEBAR2");
    }
    if (x < rightX) Copy(buf, *filler, {0, 0, filler->Width(), filler->Height()}, {x, 0, rightX, filler->Height()});
  }
  int y = k.Int("SKIN2_TITLEBARICONPOSY");
  if (minimized) {
    y = std::max((26 - gh) / 2, 0);
    if (gh + y < 22) y += 2;
  }
  Draw(buf, AppIcon(), k.Int("SKIN2_TITLEBARICONPOSX"), minimized ? y + 3 : y, true);
  int bx = minimized ? width - gw - 5 : width - k.Int("SKIN2_TITLEBARBUTTONPOSX") - gw;
  if (!minimized) y = k.Int("SKIN2_TITLEBARBUTTONPOSY");
  const int normal[3] = {16, 7, minimized ? 10 : 13};  // close, maximize, minimize or restore
  for (int b : {kClose, kMaximize, kMinimize}) {
    const int glyph = normal[b] + (b == hot ? (pressed ? 2 : 1) : 0);
    Draw(buf, Frame(glyphs, 18, glyph), bx, y);
    bx -= gw + 2;
  }
  const int ty = minimized ? 4 : k.Int("SKIN2_TITLEBARCAPTIONTOP");
  Text(buf, x0, ty + 3, caption, k.Color("SKIN2_TITLEFONTCOLOR"), true);
  // Region rows show the desktop through transparent pixels.
  const int minY = k.Int("SKIN2_TITLEBARREGIONMINY"), maxY = k.Int("SKIN2_TITLEBARREGIONMAXY");
  for (int yy = 0; yy < buf.Height(); ++yy)
    for (int xx = 0; xx < width; ++xx)
      if (buf.At(xx, yy) == kMagenta)
        buf.Set(xx, yy, yy >= std::max(minY, 0) && yy <= maxY ? kDesktop : k.Color("SKIN2_FORMCOLOR"));
  return buf;
}

Image ComposeBottom(const Skin& k, int width) {
  const Image& b1 = k.Bmp("SKIN2_FORMBOTTOMBORDER1");
  Image buf(width, b1.Height(), k.Color("SKIN2_FORMCOLOR"));
  if (k.Flag("SKIN2_BOTTOMBORDERTHREESECT")) {
    const Image& b2 = k.Bmp("SKIN2_FORMBOTTOMBORDER2");
    const Image& b3 = k.Bmp("SKIN2_FORMBOTTOMBORDER3");
    Draw(buf, b1, 0, 0);
    Draw(buf, b3, width - b3.Width(), 0);
    Copy(buf, b2, {0, 0, b2.Width(), b2.Height()}, {b1.Width(), 0, width - b3.Width(), b1.Height()});
  } else {
    ThreeSliceH(buf, b1, {0, 0, width, b1.Height()}, false);
  }
  const bool region = k.Flag("SKIN2_BOTTOMBORDERNEEDREGION");
  int first = k.Int("SKIN2_BOTTOMREGIONMINY"), maxY = k.Int("SKIN2_BOTTOMREGIONMAXY");
  if (first < 0) first = 0;
  const int stop = k.Int("SKIN2_BOTTOMREGIONMINY") < maxY ? maxY + 1 : buf.Height();
  for (int y = 0; y < buf.Height(); ++y)
    for (int x = 0; x < width; ++x)
      if (buf.At(x, y) == kMagenta)
        buf.Set(x, y, region && y >= first && y < stop ? kDesktop : k.Color("SKIN2_FORMCOLOR"));
  return buf;
}

void MenuBarBand(Image& img, const Skin& k, Rect r) {
  if (const Image* bar = k.Maybe("SKIN2_MENUBAR")) {
    Copy(img, *bar, {0, 0, bar->Width(), bar->Height()}, r);
    return;
  }
  for (int y = r.top; y < r.bottom; ++y)
    img.FillRect(r.left, y, r.W(), 1,
                 Ramp(k.Color("SKIN2_MENUBARSTARTCOLOR"), k.Color("SKIN2_MENUBARENDCOLOR"), y - r.top, r.H()));
}

void DropDownMenu(Image& img, const Skin& k, int x, int y) {
  const int w = 150, bar = 26;
  struct Item {
    const char* text;
    bool separator, checked, selected, disabled;
  };
  const Item items[] = {{"Undo", false, false, false, false},    {"Cut", false, false, true, false},
                        {"", true, false, false, false},         {"Word wrap", false, true, false, false},
                        {"Status bar", false, true, true, false}, {"Disabled", false, false, false, true}};
  int top = y;
  for (const Item& it : items) {
    const int h = it.separator ? 5 : 21;
    const Rect r{x, top, x + w, top + h};
    if (it.selected && !it.disabled) {
      img.FillRect(r.left, r.top, r.W(), r.H(), k.Color("SKIN2_SELECTEDMENUCOLOR"));
      Outline(img, r, k.Color("SKIN2_SELECTEDMENUBORDERCOLOR"));
    } else {
      for (int xx = 0; xx < bar; ++xx)
        img.FillRect(r.left + xx, r.top, 1, h,
                     Ramp(k.Color("SKIN2_LEFTBARSTARTCOLOR"), k.Color("SKIN2_LEFTBARENDCOLOR"), xx, bar));
      img.FillRect(r.left + bar, r.top, w - bar, h, k.Color("SKIN2_MENUITEMCOLOR"));
    }
    if (it.separator) {
      img.FillRect(r.left + bar + 4, r.top + 2, w - bar - 6, 1, 0x848284);
    } else {
      const Pixel c = it.disabled ? 0x808080
                      : it.selected ? k.Color("SKIN2_SELECTEDMENUFONTCOLOR")
                                    : k.Color("SKIN2_MENUITEMFONTCOLOR");
      Text(img, r.left + bar + 4, r.top + 7, it.text, c);
      if (it.checked) Draw(img, k.Bmp("SKIN2_CHECKEDMENUICON"), r.left + (bar - 16) / 2, r.top + 2, true);
    }
    top += h;
  }
  Outline(img, {x - 1, y - 1, x + w + 1, top + 1}, Rgb(0x80, 0x80, 0x80));
}

void PushButton(Image& img, const Skin& k, int x, int y, int w, int h, int frame, const std::string& caption) {
  const Image face = NineGrid(Frame(k.Bmp("SKIN2_BUTTON"), 3, frame), w, h, k.Color("SKIN2_FORMCOLOR"),
                              k.Flag("SKIN2_BUTTONTRANS"));
  Draw(img, face, x, y);
  const int d = frame == 3 ? 1 : 0;
  Text(img, x + (w - TextWidth(caption)) / 2 + d, y + (h - 7) / 2 + d, caption, k.Color("SKIN2_BUTTONFONTCOLOR"));
}

void Tabs(Image& img, const Skin& k, int x, int y, int w, int h) {
  const Pixel form = k.Color("SKIN2_FORMCOLOR");
  Rect page{x, y + 20, x + w, y + h};
  img.FillRect(page.left, page.top, page.W(), page.H(), form);
  Outline(img, page, k.Color("SKIN2_CONTROLBORDERCOLOR"));
  const char* names[] = {"General", "Colours", "Advanced"};
  int tx = x + 2;
  for (int i = 0; i < 3; ++i) {
    const int tw = TextWidth(names[i]) + 18;
    Image face(tw, 18);
    ThreeSliceH(face, Frame(k.Bmp("SKIN2_TABCONTROL"), 2, i == 1 ? 1 : 2), {0, 0, tw, 18}, false);
    Text(face, (tw - TextWidth(names[i])) / 2, 6, names[i], 0);
    Draw(img, face, tx, y + 2);
    tx += tw;
  }
  img.FillRect(page.left + 1, page.top, page.W() - 2, 1, form);
  const Image& line = k.Bmp("SKIN2_TABCONTROLLINE");
  Copy(img, line, {0, 0, line.Width(), 1}, {page.left, page.top - 1, page.right, page.top});
}

Image ComposeWindow(const SkinSource& source) {
  const Skin k{source};
  const Pixel form = k.Color("SKIN2_FORMCOLOR");
  Image desk(660, 500, kDesktop);
  const int wx = 10, wy = 10, ww = 640, wh = 420;
  const Image title = ComposeTitle(k, ww, "Skinned window - nuvskin", kClose, false, false);
  const int th = title.Height();
  const Image& lb = k.Bmp("SKIN2_FORMLEFTBORDER");
  const Image& rb = k.Bmp("SKIN2_FORMRIGHTBORDER");
  const Image bottom = ComposeBottom(k, ww);
  const int bb = bottom.Height();
  desk.FillRect(wx, wy, ww, wh, form);
  Draw(desk, title, wx, wy);
  Copy(desk, lb, {0, 0, lb.Width(), lb.Height()}, {wx, wy + th, wx + lb.Width(), wy + wh - bb});
  Copy(desk, rb, {0, 0, rb.Width(), rb.Height()}, {wx + ww - rb.Width(), wy + th, wx + ww, wy + wh - bb});
  Draw(desk, bottom, wx, wy + wh - bb);

  // Menu bar with a hot item.
  const int cl = wx + lb.Width(), cr = wx + ww - rb.Width();
  const int my = wy + th;
  MenuBarBand(desk, k, {cl, my, cr, my + 20});
  int mx = cl + 6;
  for (const char* item : {"File", "Edit", "View", "Help"}) {
    const int iw = TextWidth(item) + 12;
    const bool hotItem = std::string(item) == "Edit";
    if (hotItem) {
      desk.FillRect(mx, my + 2, iw, 16, k.Color("SKIN2_TOPSELECTEDMENUCOLOR"));
      Outline(desk, {mx, my + 2, mx + iw, my + 18}, k.Color("SKIN2_TOPSELECTEDMENUBORDERCOLOR"));
    }
    Text(desk, mx + 6, my + 7, item,
         k.Color(hotItem ? "SKIN2_TOPSELECTEDMENUFONTCOLOR" : "SKIN2_TOPMENUFONTCOLOR"));
    mx += iw;
  }

  // Client area.
  const int cx = cl + 10, cy = my + 30;
  PushButton(desk, k, cx, cy, 75, 23, 1, "OK");
  PushButton(desk, k, cx + 83, cy, 75, 23, 2, "Hot");
  PushButton(desk, k, cx + 166, cy, 75, 23, 3, "Down");
  PushButton(desk, k, cx, cy + 32, 200, 60, 1, "A 200 x 60 button");

  const Image& checks = k.Bmp("SKIN2_CHECKBOX");
  const char* checkNames[] = {"Checked", "Grayed", "Unchecked", "Checked", "Grayed", "Unchecked"};
  for (int i = 0; i < 6; ++i) {
    const int x = cx + 258 + (i / 3) * 86, y = cy + (i % 3) * 20;
    Draw(desk, Frame(checks, 6, i + 1), x, y);
    Text(desk, x + 21, y + 5, checkNames[i], i < 3 ? k.Color("SKIN2_CONTROLFONTCOLOR") : 0x808080);
  }
  const Image& radios = k.Bmp("SKIN2_RADIOBUTTON");
  const char* radioNames[] = {"Selected", "Other", "Selected", "Other"};
  for (int i = 0; i < 4; ++i) {
    const int x = cx + 258 + (i / 2) * 86, y = cy + 62 + (i % 2) * 20;
    Draw(desk, Frame(radios, 4, i + 1), x, y, true);
    Text(desk, x + 21, y + 5, radioNames[i], i < 2 ? k.Color("SKIN2_CONTROLFONTCOLOR") : 0x808080);
  }

  // Progress bar at 60 %.
  {
    const int x = cx, y = cy + 102, w = 200, h = 16;
    Image bar(w, h, form);
    const Image* p[4] = {&k.Bmp("SKIN2_PROGRESSBAR1"), &k.Bmp("SKIN2_PROGRESSBAR2"),
                         &k.Bmp("SKIN2_PROGRESSBAR3"), &k.Bmp("SKIN2_PROGRESSBAR4")};
    const int start = p[0]->Width(), end = p[3]->Width();
    const int fill = start + (w - start - end) * 60 / 100;
    ThreeSliceV(bar, *p[0], {0, 0, start, h}, 2);
    ThreeSliceV(bar, *p[1], {start, 0, fill, h}, 2);
    ThreeSliceV(bar, *p[2], {fill, 0, w - end, h}, 2);
    ThreeSliceV(bar, *p[3], {w - end, 0, w, h}, 2);
    Draw(desk, bar, x, y);
  }
  // Track bar with ticks underneath.
  {
    const int x = cx, y = cy + 126, w = 200;
    Image channel = k.Bmp("SKIN2_TRACKBAR");
    Replace(channel, kMagenta, form);
    const Rect c{x + 8, y + 8, x + w - 8, y + 8 + channel.Height()};
    ThreeSliceH(desk, channel, c, true);
    const Image& thumb = k.Bmp("SKIN2_TRACKBARSLIDER");
    const int tx = c.left + c.W() * 40 / 100 - thumb.Width() / 2;
    Draw(desk, thumb, tx, c.top + 4 - 10, true);
    for (int i = 0; i <= 10; ++i) {
      const int px = c.left + 5 + (c.W() - 10) * i / 10;
      desk.FillRect(px, c.top + 4 + 13, 1, 3, 0);
    }
    const Image& vthumb = k.Bmp("SKIN2_TRACKBARVSLIDER");
    Image vchannel = Turn90CCW(channel);
    ThreeSliceV(desk, vchannel, {x + 214, y - 20, x + 214 + vchannel.Width(), y + 40}, 0);
    Draw(desk, vthumb, x + 214 + 4 - 10, y + 2, true);
  }
  // Tabs with a list box and its scroll bars on the page.
  const ScrollPieces pieces = CutScrollPieces(source);
  const Pixel track = k.Color("SKIN2_SCROLLBARCOLOR");
  {
    const int x = cx, y = cy + 170;
    Tabs(desk, k, x, y, 300, 150);
    const Rect list{x + 12, y + 32, x + 288, y + 138};
    desk.FillRect(list.left, list.top, list.W(), list.H(), k.Color("SKIN2_CONTROLCOLOR"));
    Outline(desk, list, k.Color("SKIN2_CONTROLBORDERCOLOR"));
    const char* lines[] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf", "Hotel"};
    for (int i = 0; i < 8; ++i) Text(desk, list.left + 6, list.top + 5 + i * 12, lines[i], 0);
    const Rect vbar{list.right - 2 - 17, list.top + 2, list.right - 2, list.bottom - 2 - 17};
    PaintScrollBar(desk, pieces, track, vbar, true, {vbar.left, vbar.top + 30, vbar.right, vbar.top + 64});
    const Rect hbar{list.left + 2, list.bottom - 2 - 17, list.right - 2 - 17, list.bottom - 2};
    PaintScrollBar(desk, pieces, track, hbar, false, {hbar.left + 60, hbar.top, hbar.left + 150, hbar.bottom});
    desk.FillRect(hbar.right, hbar.top, 17, 17, form);
  }
  // A stand-alone vertical scroll bar with a short thumb.
  {
    const Rect bar{cx + 316, cy + 170, cx + 333, cy + 320};
    PaintScrollBar(desk, pieces, track, bar, true, {bar.left, bar.top + 60, bar.right, bar.top + 74});
    const Rect bar2{cx + 340, cy + 170, cx + 357, cy + 320};
    PaintScrollBar(desk, pieces, track, bar2, true, {bar2.left, bar2.top + 20, bar2.right, bar2.top + 110});
  }
  DropDownMenu(desk, k, cx + 420, cy + 180);

  // Minimized titles below: one normal, one with the close button pressed.
  Draw(desk, ComposeTitle(k, 160, "Minim", -1, false, true, 24), wx, wy + wh + 20);
  Draw(desk, ComposeTitle(k, 160, "Minim", kClose, true, true, 24), wx + 180, wy + wh + 20);
  return desk;
}

Image Scaled(const Image& img, int scale) {
  Image out(img.Width() * scale, img.Height() * scale);
  out.Blit(img, 0, 0, scale);
  return out;
}

// Every bitmap enlarged, flowed into rows, under the title bar composed at
// 400 pixels (three times enlarged) to judge the corners and the buttons.
Image BitmapSheet(const SkinSource& skin) {
  constexpr int kSheetWidth = 1400, kGap = 14;
  std::vector<std::pair<std::string, Image>> items;
  const Skin k{skin};
  items.emplace_back("title bar at 400 px, close hot (x3)",
                     Scaled(ComposeTitle(k, 400, "Caption text", kClose, false, false), 3));
  for (const SkinRecord& r : skin.Records()) {
    if (r.kind != SkinRecord::Kind::Bitmap) continue;
    const int scale = std::clamp(660 / std::max(1, r.image.Width()), 1, 5);
    std::string name = r.name.substr(6);
    items.emplace_back(name + " " + std::to_string(r.image.Width()) + "x" +
                           std::to_string(r.image.Height()) + " x" + std::to_string(scale),
                       Scaled(r.image, scale));
  }
  // Flow layout: left to right, a new row when the next item does not fit.
  struct Placed {
    int x, y;
  };
  std::vector<Placed> places;
  int x = kGap, y = kGap, rowHeight = 0;
  for (const auto& [label, big] : items) {
    const int w = std::max(big.Width(), TextWidth(label));
    if (x > kGap && x + w > kSheetWidth) {
      x = kGap;
      y += rowHeight + kGap;
      rowHeight = 0;
    }
    places.push_back({x, y});
    x += w + kGap;
    rowHeight = std::max(rowHeight, big.Height() + 10);
  }
  Image sheet(kSheetWidth, y + rowHeight + kGap, Rgb(0x90, 0x90, 0x90));
  for (std::size_t i = 0; i < items.size(); ++i) {
    DrawText(sheet, places[i].x, places[i].y, items[i].first, 0);
    sheet.Blit(items[i].second, places[i].x, places[i].y + 10);
  }
  return sheet;
}

}  // namespace

std::vector<std::filesystem::path> WritePreviews(const std::vector<SkinSource>& skins,
                                                 const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  std::vector<std::filesystem::path> written;
  auto write = [&](const Image& img, const std::string& name) {
    const auto path = folder / name;
    if (!image::WritePng(img, path)) throw std::runtime_error("cannot write " + path.string());
    written.push_back(path);
  };
  for (const SkinSource& skin : skins) {
    write(BitmapSheet(skin), skin.Folder() + "-bitmaps.png");
    write(Scaled(ComposeWindow(skin), 2), skin.Folder() + "-window.png");
  }
  return written;
}

}  // namespace nuvskin::skinart
