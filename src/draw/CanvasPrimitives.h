// Canvas primitives of the painters: two-colour gradients, one-colour frames
// and fills, the small arrow glyphs, window outlines and control borders.
#pragma once

#include "framework/Controls.h"
#include "framework/Graphics.h"

namespace nuvskin {

// Top-to-bottom gradient of one-pixel pen lines: the first row in
// `startColor`, the last in `endColor`. An empty rectangle draws nothing.
void GradientFillV(TCanvas* canvas, const RECT& rect, TColor startColor, TColor endColor);
// Left-to-right; the first inner column is already one step from the start.
void GradientFillH(TCanvas* canvas, const RECT& rect, TColor startColor, TColor endColor);

// One-pixel frame, and a fill, in one colour (the brush takes the colour).
void FrameRectColor(TCanvas* canvas, const RECT& rect, TColor color);
void FillRectColor(TCanvas* canvas, const RECT& rect, TColor color);

// Small filled triangles at (x, y): black when enabled, else grey over a
// white shadow one pixel down and right.
void DrawArrowDown(TCanvas* canvas, int x, int y, bool enabled);
void DrawArrowUp(TCanvas* canvas, int x, int y, bool enabled);
void DrawArrowLeft(TCanvas* canvas, int x, int y, bool enabled);
void DrawArrowRight(TCanvas* canvas, int x, int y, bool enabled);

// A one-pixel frame around the whole window in its window DC, and a second
// one just inside it when `inner`.
void DrawWindowOutline(HWND wnd, TColor color, TColor innerColor, bool inner);
void DrawWindowOutline(TWinControl* control, TColor color, TColor innerColor, bool inner);

// A two-pixel frame around the control in `color`, then its left edge line
// in `controlBorderColor` (the skin's SKIN2_CONTROLBORDERCOLOR), painted on
// the control's own device context.
void PaintControlBorder(TControl* control, TColor controlBorderColor, TColor color);

}  // namespace nuvskin
