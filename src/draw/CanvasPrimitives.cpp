#include "draw/CanvasPrimitives.h"

#include <cmath>

#include "draw/BitmapPrimitives.h"
#include "draw/OwnedObject.h"

namespace nuvskin {

namespace {

void PenLine(TCanvas* canvas, int x1, int y1, int x2, int y2, TColor color) {
  canvas->Pen()->SetColor(color);
  canvas->MoveTo(x1, y1);
  canvas->LineTo(x2, y2);
}

// One step of a gradient: start + Trunc((end - start) / span x step), per
// channel, kept to the low 8 bits.
TColor GradientStep(TColor startColor, TColor endColor, int span, int step) {
  std::uint8_t sr, sg, sb, er, eg, eb;
  SplitRGB(startColor, sr, sg, sb);
  SplitRGB(endColor, er, eg, eb);
  auto channel = [&](std::uint8_t s, std::uint8_t e) {
    const double delta = std::trunc(static_cast<double>(e - s) / span * step);
    return static_cast<std::uint8_t>(static_cast<int>(s + delta) & 0xFF);
  };
  return MakeRGB(channel(sr, er), channel(sg, eg), channel(sb, eb));
}

void Triangle(TCanvas* canvas, POINT a, POINT b, POINT c, TColor color) {
  canvas->Brush()->SetColor(color);
  canvas->Pen()->SetColor(color);
  const POINT points[3] = {a, b, c};
  canvas->Polygon(points, 3);
}

void Arrow(TCanvas* canvas, POINT a, POINT b, POINT c, bool enabled) {
  if (!canvas) return;
  if (enabled) {
    Triangle(canvas, a, b, c, clBlack);
    return;
  }
  auto shift = [](POINT p) { return POINT{p.x + 1, p.y + 1}; };
  Triangle(canvas, shift(a), shift(b), shift(c), clWhite);
  Triangle(canvas, a, b, c, clGray);
}

}  // namespace

void GradientFillV(TCanvas* canvas, const RECT& rect, TColor startColor, TColor endColor) {
  if (!canvas || rect.top >= rect.bottom) return;
  const int span = rect.bottom - rect.top;
  PenLine(canvas, rect.left, rect.top, rect.right, rect.top, startColor);
  for (int y = rect.top + 1; y <= rect.bottom - 2; ++y)
    PenLine(canvas, rect.left, y, rect.right, y, GradientStep(startColor, endColor, span, y - rect.top - 1));
  PenLine(canvas, rect.left, rect.bottom - 1, rect.right, rect.bottom - 1, endColor);
}

void GradientFillH(TCanvas* canvas, const RECT& rect, TColor startColor, TColor endColor) {
  if (!canvas || rect.left >= rect.right) return;
  const int span = rect.right - rect.left;
  PenLine(canvas, rect.left, rect.top, rect.left, rect.bottom, startColor);
  for (int x = rect.left + 1; x <= rect.right - 2; ++x)
    PenLine(canvas, x, rect.top, x, rect.bottom, GradientStep(startColor, endColor, span, x - rect.left));
  PenLine(canvas, rect.right - 1, rect.top, rect.right - 1, rect.bottom, endColor);
}

void FrameRectColor(TCanvas* canvas, const RECT& rect, TColor color) {
  if (!canvas) return;
  canvas->Brush()->SetColor(color);
  canvas->FrameRect(rect);
}

void FillRectColor(TCanvas* canvas, const RECT& rect, TColor color) {
  if (!canvas) return;
  canvas->Brush()->SetColor(color);
  canvas->FillRect(rect);
}

void DrawArrowDown(TCanvas* canvas, int x, int y, bool enabled) {
  Arrow(canvas, {x, y}, {x + 6, y}, {x + 3, y + 3}, enabled);
}

void DrawArrowUp(TCanvas* canvas, int x, int y, bool enabled) {
  Arrow(canvas, {x, y}, {x - 3, y + 3}, {x + 3, y + 3}, enabled);
}

void DrawArrowLeft(TCanvas* canvas, int x, int y, bool enabled) {
  Arrow(canvas, {x, y}, {x + 3, y + 3}, {x + 3, y - 3}, enabled);
}

void DrawArrowRight(TCanvas* canvas, int x, int y, bool enabled) {
  Arrow(canvas, {x, y}, {x, y + 6}, {x + 3, y + 3}, enabled);
}

void DrawWindowOutline(HWND wnd, TColor color, TColor innerColor, bool inner) {
  if (!wnd) return;
  win::WindowDC dc(wnd, win::WindowDC::Area::Window);
  RECT r{};
  if (!dc || !::GetWindowRect(wnd, &r)) return;
  ::OffsetRect(&r, -r.left, -r.top);
  win::UniqueBrush outer(::CreateSolidBrush(ColorToRGB(color)));
  if (outer) ::FrameRect(dc.Get(), &r, outer.Get());
  if (!inner) return;
  ::InflateRect(&r, -1, -1);
  win::UniqueBrush second(::CreateSolidBrush(ColorToRGB(innerColor)));
  if (second) ::FrameRect(dc.Get(), &r, second.Get());
}

void DrawWindowOutline(TWinControl* control, TColor color, TColor innerColor, bool inner) {
  if (control) DrawWindowOutline(control->Handle(), color, innerColor, inner);
}

void PaintControlBorder(TControl* control, TColor controlBorderColor, TColor color) {
  // A windowless control without a parent has no device context to paint on.
  if (!control || (!dynamic_cast<TWinControl*>(control) && !control->Parent())) return;
  OwnedObject<TControlCanvas> canvas(Create<TControlCanvas>());
  canvas->SetControl(control);
  const int w = control->Width(), h = control->Height();
  for (const RECT& r : {RECT{0, 0, 2, h}, RECT{0, h - 2, w, h}, RECT{w - 2, 0, w, h}, RECT{0, 0, w, 2}})
    FillRectColor(canvas.get(), r, color);
  PenLine(canvas.get(), 0, 0, 0, h, controlBorderColor);
}

}  // namespace nuvskin
