// The frame painter: the whole non-client area of a skinned window from the
// skin. The title bar and the bottom border are composed off screen and
// copied in one transfer each; borders and gap strips go straight onto the
// window's device context.
#include "frames/SkinWindow.h"

namespace nuvskin {

namespace {

int W(TBitmap* b) { return b ? b->Width() : 0; }
int H(TBitmap* b) { return b ? b->Height() : 0; }

void DrawAt(TCanvas* canvas, TBitmap* b, int x, int y) {
  if (b && !b->Empty()) canvas->Draw(x, y, b);
}

void StretchInto(TCanvas* canvas, TBitmap* b, const RECT& r) {
  if (b && !b->Empty() && r.right > r.left && r.bottom > r.top) canvas->StretchDraw(r, b);
}

void Fill(TCanvas* canvas, const RECT& r, TColor color) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

// `mask` becomes `buffer` laid over the form colour: its transparent pixels
// take the form colour. Done in DIB memory; a transparent blit of a whole
// title costs half a frame paint.
void ComposeOverFormColor(TBitmap* buffer, TBitmap* mask, TColor transColor, TColor formColor) {
  mask->SetPixelFormat(pf24bit);
  mask->SetSize(buffer->Width(), buffer->Height());
  const COLORREF trans = ColorToRGB(transColor), form = ColorToRGB(formColor);
  const std::uint8_t tb = GetBValue(trans), tg = GetGValue(trans), tr = GetRValue(trans);
  const std::uint8_t fb = GetBValue(form), fg = GetGValue(form), fr = GetRValue(form);
  const int step = buffer->PixelFormat() == pf32bit ? 4 : 3;
  for (int y = 0; y < buffer->Height(); ++y) {
    const std::uint8_t* in = buffer->ScanLine(y);
    std::uint8_t* out = mask->ScanLine(y);
    for (int x = 0; x < buffer->Width(); ++x, in += step, out += 3) {
      const bool transparent = in[0] == tb && in[1] == tg && in[2] == tr;
      out[0] = transparent ? fb : in[0];
      out[1] = transparent ? fg : in[1];
      out[2] = transparent ? fr : in[2];
    }
  }
}

// Copies `buffer` to the window at `y`; a buffer with transparent parts is
// first laid over the form colour in `mask`.
void CopyToWindow(HDC dc, int y, TBitmap* buffer, TBitmap* mask, bool needRegion, TColor transColor,
                  TColor formColor) {
  TBitmap* source = buffer;
  if (needRegion && mask) {
    ComposeOverFormColor(buffer, mask, transColor, formColor);
    source = mask;
  }
  ::BitBlt(dc, 0, y, source->Width(), source->Height(), source->Canvas()->Handle(), 0, 0, SRCCOPY);
}

int AnsiTextWidth(TCanvas* canvas, const std::string& text) {
  SIZE size{};
  ::GetTextExtentPoint32A(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

class WindowDC {
 public:
  explicit WindowDC(HWND wnd) : wnd_(wnd), dc_(::GetWindowDC(wnd)) {}
  ~WindowDC() {
    if (dc_) ::ReleaseDC(wnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

}  // namespace

void TnuvSkinWindow::PaintFrame() {
  // Before preparation the window still has its own size: nothing to paint.
  if (!FEngine || !FEngine->SkinningActive() || !FSkinned || !FPrepared) return;
  HWND wnd = GetHandle();
  if (!::IsWindow(wnd)) return;
  WindowDC dc(wnd);
  if (!dc.Get()) return;

  TBitmap* buttons = FEngine->Skin()->GetBitmap(SkinBitmap::TITLEBUTTONS);
  const int bw = W(buttons) / 18;
  const int n = (HasCloseButton() ? 1 : 0) + (HasMaximizeButton() ? 1 : 0) + (HasMinimizeButton() ? 1 : 0);
  const int reserve = n == 0 ? 13 : bw * n + 15 + 2 * (n - 1);

  const bool maximizedChild = IsMDIChild() && ::IsZoomed(wnd);
  bool minimizedTitle = false;
  if (FTitleVisible && !maximizedChild) PaintTitle(dc.Get(), reserve, minimizedTitle);

  int titleOffset = TitleHeight();
  if (maximizedChild) {
    titleOffset = 0;
    // The frame that holds the child (its client's parent) repaints its own.
    if (HWND frame = ::GetParent(::GetParent(wnd)))
      ::PostMessageW(frame, WM_NUVSKIN_MDIMAXCHANGED, 0, 0);
    else if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
      ::PostMessageW(Application->MainForm()->Handle(), WM_NUVSKIN_MDIMAXCHANGED, 0, 0);
  }
  if (FBorderVisible && !minimizedTitle) PaintBorders(dc.Get(), titleOffset);
}

void TnuvSkinWindow::PaintTitle(HDC dc, int buttonReserve, bool& minimizedTitle) {
  const TnuvSkinEngine& e = *FEngine;
  TnuvSkinReader* skin = e.Skin();
  HWND wnd = GetHandle();
  const int title = TitleHeight();
  const int width = WindowWidth();
  const int height = std::max(title, FOldCaptionHeight);
  if (width <= 0 || height <= 0) return;
  TBitmap* buffer = FTitleBuffer;
  buffer->SetSize(width, height);
  TCanvas* canvas = buffer->Canvas();
  Fill(canvas, RECT{0, 0, width, title}, e.FFormColor);
  if (title < FOldCaptionHeight)
    Fill(canvas, RECT{0, title, width, FOldCaptionHeight}, GetMenuBarHeight() > 0 ? e.FMenuColors[0] : e.FFormColor);

  const bool fiveSections = e.GetSkinFlag(SkinFlag::TITLEFIVESECT);
  TBitmap* t1 = skin->GetBitmap(SkinBitmap::TITLEBAR1);
  TBitmap* t2 = skin->GetBitmap(SkinBitmap::TITLEBAR2);
  TBitmap* t3 = skin->GetBitmap(SkinBitmap::TITLEBAR3);
  int reserve = buttonReserve;
  int x = e.FIconPosX + 20;
  UseCaptionFont(canvas->Font());
  std::wstring wide = GetCaptionW();
  std::string ansi = GetCaptionA();
  auto shorten = [&](int limit) {
    if (!wide.empty()) wide = ShortenTextW(canvas, wide, limit);
    ansi = ShortenText(canvas, ansi, limit);
  };
  const bool minimized = ::IsIconic(wnd) != FALSE;
  if (minimized) {
    StretchInto(canvas, skin->GetBitmap(SkinBitmap::MINIMIZEDTITLE), RECT{0, 0, width, WindowHeight()});
    minimizedTitle = true;
    shorten(width - x - reserve - 4);
  } else {
    TBitmap* rightEnd = fiveSections ? skin->GetBitmap(SkinBitmap::TITLEBAR5) : t3;
    const int rightX = width - W(rightEnd);
    DrawAt(canvas, rightEnd, rightX, 0);
    DrawAt(canvas, t1, 0, 0);
    const int left = W(t1);
    int fillFrom;
    TBitmap* filler;
    if (fiveSections) {
      reserve += W(t3);
      shorten(width - x - reserve - 4);
      // The drawn caption decides where TITLEBAR3 follows it.
      const int textEnd = (wide.empty() ? AnsiTextWidth(canvas, ansi) : TextWidthW(canvas, wide)) + x;
      StretchInto(canvas, t2, RECT{left, 0, textEnd + 2, H(t2)});
      DrawAt(canvas, t3, textEnd + 2, 0);
      fillFrom = textEnd + 2 + W(t3);
      filler = skin->GetBitmap(SkinBitmap::TITLEBAR4);
    } else {
      shorten(width - x - reserve - 4);
      fillFrom = left;
      filler = t2;
    }
    TBitmap* last = t1;
    if (fillFrom < rightX) {
      StretchInto(canvas, filler, RECT{fillFrom, 0, rightX, H(filler)});
      last = filler;
    }
    // Narrow windows: the right end stays at the right edge and the left
    // end is squeezed between the left border and it.
    if (width - reserve < left) {
      if (width - W(rightEnd) > e.FLeftBorderWidth) {
        DrawAt(canvas, rightEnd, width - W(rightEnd), 0);
      } else if (rightEnd) {
        canvas->CopyRect(RECT{e.FLeftBorderWidth, 0, width, H(rightEnd)}, rightEnd->Canvas(),
                         RECT{W(rightEnd) - width + e.FLeftBorderWidth, 0, W(rightEnd), H(rightEnd)});
      }
      StretchInto(canvas, t1, RECT{e.FLeftBorderWidth, 0, std::max(e.FLeftBorderWidth, width - W(rightEnd)), height});
      last = t1;
    } else if (left >= width && rightEnd) {
      canvas->CopyRect(RECT{width - e.FRightBorderWidth, 0, width, height}, rightEnd->Canvas(),
                       RECT{W(rightEnd) - e.FRightBorderWidth, 0, W(rightEnd), H(rightEnd)});
      last = rightEnd;
    }
    if (H(last) < height) {
      if (FBorderVisible)
        Fill(canvas, RECT{e.FLeftBorderWidth, H(last) + FCaptionShift, width - e.FRightBorderWidth, height}, e.FFormColor);
      else
        Fill(canvas, RECT{0, H(last), width, height}, e.FFormColor);
    }
  }

  // Caption elements: which one is under the cursor, and their glyphs.
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::ScreenToClient(wnd, &cursor);
  cursor.y += title;
  FHotButton = -1;
  FCanMaximize = FSysMenuMax = FSysMenuMin = FSysMenuClose = false;
  std::vector<CaptionElement> elements;
  LayoutCaptionElements(minimized, width, elements);
  if (!HasIcon()) x -= 20;
  PaintCaptionElements(canvas, cursor, elements);

  // Caption text.
  const TColor textColor = FActive ? e.FTitleFontColor : e.FInactiveTitleFontColor;
  canvas->Font()->SetColor(textColor);
  canvas->Brush()->SetStyle(bsClear);
  HDC bufferDC = canvas->Handle();
  ::SetBkMode(bufferDC, TRANSPARENT);
  ::SetTextColor(bufferDC, ColorToRGB(textColor));
  const int ty = minimized ? 4 : e.FCaptionTop;
  const int tx = FCaptionLeft >= 0 ? FCaptionLeft : x;
  if (wide.empty()) {
    ::TextOutA(bufferDC, tx, ty, ansi.c_str(), static_cast<int>(ansi.size()));
  } else {
    RECT r{tx, ty, 2048, 100};
    ::DrawTextW(bufferDC, wide.c_str(), static_cast<int>(wide.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
  }
  canvas->Brush()->SetStyle(bsSolid);

  CopyToWindow(dc, 0, buffer, FTitleMaskBuffer, FTitleNeedRegion, e.FTransColor, e.FFormColor);
}

void TnuvSkinWindow::DrawTitleIcon(HDC dc, int x, int y) {
  if (HICON own = GetIconHandle()) {
    ::DrawIconEx(dc, x, y, own, 16, 16, 0, nullptr, DI_NORMAL);
    return;
  }
  HICON copy = nullptr;
  if (Application && Application->Icon() && Application->Icon()->Handle())
    copy = static_cast<HICON>(::CopyImage(Application->Icon()->Handle(), IMAGE_ICON, 16, 16, LR_COPYFROMRESOURCE));
  else
    copy = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 16, 16, 0));
  win::UniqueIcon icon(copy);
  if (icon) ::DrawIconEx(dc, x, y, icon.Get(), 16, 16, 0, nullptr, DI_NORMAL);
}

void TnuvSkinWindow::LayoutCaptionElements(bool minimized, int width, std::vector<CaptionElement>& elements) {
  const TnuvSkinEngine& e = *FEngine;
  TBitmap* buttons = e.Skin()->GetBitmap(SkinBitmap::TITLEBUTTONS);
  const int gw = W(buttons) / 18, gh = H(buttons);
  int y = e.FIconPosY;
  if (minimized) {
    y = std::max((26 - gh) / 2, 0);
    if (gh + y < 22) y += 2;
  } else if (y <= 3) {
    y = 4;
  }
  if (HasIcon()) {
    const int ix = std::max(e.FIconPosX, 0);
    elements.push_back({0, RECT{ix - e.FLeftBorderWidth, y, ix - e.FLeftBorderWidth + 16, y + 16}, ix, y, 0});
  }
  int bx = minimized ? width - gw - 5 : width - e.FButtonPosX - gw;
  if (!minimized) y = e.FButtonPosY;
  auto add = [&](int code, int glyph) {
    elements.push_back({code, RECT{bx - e.FRightBorderWidth, y, bx + gw - e.FRightBorderWidth, y + gh}, bx, y, glyph});
  };
  HWND wnd = GetHandle();
  if (HasCloseButton()) {
    add(1, 16);
    bx -= gw + 2;
  }
  if (HasMaximizeButton()) {
    add(2, ::IsZoomed(wnd) ? 10 : 7);
    bx -= gw + 2;
  }
  if (HasMinimizeButton()) {
    add(3, ::IsIconic(wnd) ? 10 : 13);
    bx -= gw + 2;
  }
  if (HasHelpButton()) add(4, 4);
  FButtonsLeft = bx + gw;
}

int TnuvSkinWindow::CaptionElementAt(POINT screenPoint) {
  if (!FEngine->Skin()) return -1;
  HWND wnd = GetHandle();
  POINT p = screenPoint;
  ::ScreenToClient(wnd, &p);
  p.y += TitleHeight();
  std::vector<CaptionElement> elements;
  const int buttonsLeft = FButtonsLeft;
  LayoutCaptionElements(::IsIconic(wnd) != FALSE, WindowWidth(), elements);
  FButtonsLeft = buttonsLeft;  // the painter's value stays until it paints
  int hot = -1;
  for (const CaptionElement& element : elements)
    if (PointInRect(p, element.hit)) hot = element.code;
  return hot;
}

void TnuvSkinWindow::PaintCaptionElements(TCanvas* canvas, POINT cursor, const std::vector<CaptionElement>& elements) {
  const TnuvSkinEngine& e = *FEngine;
  TBitmap* buttons = e.Skin()->GetBitmap(SkinBitmap::TITLEBUTTONS);
  const bool transparent = e.GetSkinFlag(SkinFlag::TITLEBTNTRANS);
  TBitmap glyph;
  for (const CaptionElement& element : elements) {
    const bool hot = PointInRect(cursor, element.hit);
    if (hot) FHotButton = element.code;
    switch (element.code) {
      case 0:
        DrawTitleIcon(canvas->Handle(), element.x, element.y);
        continue;
      case 1: FSysMenuClose = true; break;
      case 2: FCanMaximize = FSysMenuMax = true; break;
      case 3: FSysMenuMin = true; break;
      default: break;
    }
    if (!buttons || buttons->Empty()) continue;
    CutFrame(buttons, &glyph, 18, element.glyph + (hot ? (FPressed ? 2 : 1) : 0));
    glyph.SetTransparent(transparent);
    if (transparent) glyph.SetTransparentColor(e.FTransColor);
    canvas->Draw(element.x, element.y, &glyph);
  }
}

void TnuvSkinWindow::PaintMenuBand(TCanvas* canvas, const RECT& rect) {
  const TnuvSkinEngine& e = *FEngine;
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  if (TBitmap* bar = e.Skin()->GetBitmap(SkinBitmap::MENUBAR); bar && !bar->Empty())
    canvas->StretchDraw(rect, bar);
  else if (e.FMenuColors[0] == e.FMenuColors[1])
    Fill(canvas, rect, e.FMenuColors[0]);
  else
    GradientFillV(canvas, rect, e.FMenuColors[0], e.FMenuColors[1]);
}

void TnuvSkinWindow::PaintBorders(HDC dc, int titleOffset) {
  const TnuvSkinEngine& e = *FEngine;
  TnuvSkinReader* skin = e.Skin();
  const int wh = WindowHeight(), ww = WindowWidth(), m = GetMenuBarHeight(), bb = e.FBottomBorderHeight;
  const int title = TitleHeight();
  TCanvas window;
  CanvasBinding binding(&window, dc);
  TBitmap* leftBorder = skin->GetBitmap(SkinBitmap::FORMLEFTBORDER);
  TBitmap* rightBorder = skin->GetBitmap(SkinBitmap::FORMRIGHTBORDER);
  StretchInto(&window, leftBorder, RECT{0, titleOffset, W(leftBorder), wh - bb});
  StretchInto(&window, rightBorder, RECT{ww - W(rightBorder), titleOffset, ww, wh - bb});

  TBitmap* b1 = skin->GetBitmap(SkinBitmap::FORMBOTTOMBORDER1);
  if (b1 && !b1->Empty() && ww > 0) {
    FBottomBuffer->SetSize(ww, H(b1));
    TCanvas* canvas = FBottomBuffer->Canvas();
    if (e.GetSkinFlag(SkinFlag::BOTTOMBORDERTHREESECT)) {
      TBitmap* b3 = skin->GetBitmap(SkinBitmap::FORMBOTTOMBORDER3);
      DrawAt(canvas, b1, 0, 0);
      DrawAt(canvas, b3, ww - W(b3), 0);
      StretchInto(canvas, skin->GetBitmap(SkinBitmap::FORMBOTTOMBORDER2), RECT{W(b1), 0, ww - W(b3), H(b1)});
    } else {
      DrawThreeSliceH(b1, canvas, RECT{0, 0, ww, H(b1)}, false, 0);
    }
    CopyToWindow(dc, wh - bb, FBottomBuffer, FBottomMaskBuffer, FBottomNeedRegion, e.FTransColor, e.FFormColor);
  }

  const bool lines = m > 0 && HasToolBarBelowMenu() && e.FMenuColors[0] != e.FFormColor;
  auto toolBarLines = [&](int fromX, int toX) {
    const int y = m + title + FCaptionShift;
    window.Pen()->SetColor(TColor(0x808080));
    window.MoveTo(fromX, y);
    window.LineTo(toX, y);
    window.Pen()->SetColor(TColor(0xFFFFFF));
    window.MoveTo(fromX, y + 1);
    window.LineTo(toX, y + 1);
  };
  if (e.FLeftBorderWidth < FOldSideBorder) {
    Fill(&window, RECT{e.FLeftBorderWidth, m + title, FOldSideBorder, wh - bb}, e.FFormColor);
    if (m > 0) {
      PaintMenuBand(&window, RECT{e.FLeftBorderWidth, title + FCaptionShift, FOldSideBorder, m + title + FCaptionShift});
      if (lines) toolBarLines(e.FLeftBorderWidth, FOldSideBorder);
    }
  }
  if (bb < FOldBottomBorder)
    Fill(&window, RECT{e.FLeftBorderWidth, wh - FOldBottomBorder, ww - e.FRightBorderWidth, wh - bb}, e.FFormColor);
  if (e.FRightBorderWidth < FOldSideBorder) {
    Fill(&window, RECT{ww - FOldSideBorder, m + title, ww - e.FRightBorderWidth, wh - bb}, e.FFormColor);
    if (m > 0) {
      PaintMenuBand(&window, RECT{ww - FOldSideBorder, title + FCaptionShift, ww - e.FRightBorderWidth,
                                  m + title + FCaptionShift});
      if (lines) toolBarLines(ww - FOldSideBorder, ww - e.FRightBorderWidth);
    }
  }
}

}  // namespace nuvskin
