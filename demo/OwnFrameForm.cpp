#include "OwnFrameForm.h"

#include <windowsx.h>

#include "framework/StdCtrls.h"

namespace nuvskin::demo {

namespace {

constexpr int kTitle = 30, kBorder = 5, kButton = 18;
constexpr COLORREF kTitleTop = RGB(40, 84, 150), kTitleBottom = RGB(22, 50, 98), kBorderColor = RGB(22, 50, 98);

RECT CloseButtonRect(int windowWidth) {
  const int top = (kTitle - kButton) / 2;
  return {windowWidth - kBorder - 4 - kButton, top, windowWidth - kBorder - 4, top + kButton};
}

COLORREF Mix(COLORREF a, COLORREF b, int t256) {
  return RGB((GetRValue(a) * (256 - t256) + GetRValue(b) * t256) / 256,
             (GetGValue(a) * (256 - t256) + GetGValue(b) * t256) / 256,
             (GetBValue(a) * (256 - t256) + GetBValue(b) * t256) / 256);
}

}  // namespace

TOwnFrameForm::TOwnFrameForm(TComponent* owner) : TForm(owner) {
  SetCaption(L"A frame painted by its own handler");
  SetBounds(200, 160, 460, 260);
  SetColor(static_cast<TColor>(RGB(236, 236, 236)));
  auto* note = Create<TLabel>(this);
  // Auto-size wraps at the current width: an empty caption first would shrink
  // the label to one space and put every word on a line of its own.
  note->SetAutoSize(false);
  note->SetBounds(20, 20, 400, 40);
  note->SetWordWrap(true);
  note->SetCaption(L"Title bar, borders and the close button come from this form's own non-client messages.");
  note->SetParent(this);
  auto* close = Create<TButton>(this);
  close->SetBounds(20, 80, 120, 26);
  close->SetCaption(L"&Close");
  close->OnClick = [this](TObject*) { Close(); };
  close->SetParent(this);
  OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
}

void TOwnFrameForm::PaintFrame() {
  HWND wnd = Handle();
  RECT w;
  ::GetWindowRect(wnd, &w);
  const int width = w.right - w.left, height = w.bottom - w.top;
  win::WindowDC dc(wnd, win::WindowDC::Area::Window);
  // Composed off-screen, then copied in one go: no flicker.
  TBitmap buffer(width, height);
  TCanvas* c = buffer.Canvas();
  c->Brush()->SetColor(static_cast<TColor>(kBorderColor));
  c->FillRect(RECT{0, 0, width, height});
  for (int y = 0; y < kTitle; ++y) {
    c->Brush()->SetColor(static_cast<TColor>(Mix(kTitleTop, kTitleBottom, y * 256 / kTitle)));
    c->FillRect(RECT{0, y, width, y + 1});
  }
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
  c->Font()->SetHandle(::CreateFontIndirectW(&ncm.lfCaptionFont));
  c->Font()->SetColor(clWhite);
  c->Brush()->SetStyle(bsClear);
  RECT caption{kBorder + 8, 0, width - kBorder - kButton - 12, kTitle};
  std::wstring text = Caption();
  ::DrawTextW(c->Handle(), text.c_str(), -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  const RECT b = CloseButtonRect(width);
  c->Brush()->SetColor(static_cast<TColor>(RGB(196, 64, 52)));
  c->FillRect(b);
  c->Pen()->SetColor(clWhite);
  c->Pen()->SetWidth(2);
  c->MoveTo(b.left + 5, b.top + 5);
  c->LineTo(b.right - 5, b.bottom - 5);
  c->MoveTo(b.right - 6, b.top + 5);
  c->LineTo(b.left + 4, b.bottom - 5);
  ::ExcludeClipRect(dc.Get(), kBorder, kTitle, width - kBorder, height - kBorder);
  ::BitBlt(dc.Get(), 0, 0, width, height, c->Handle(), 0, 0, SRCCOPY);
}

LRESULT TOwnFrameForm::HitTest(POINT screen) {
  RECT w;
  ::GetWindowRect(Handle(), &w);
  const int x = screen.x - w.left, y = screen.y - w.top;
  const int width = w.right - w.left, height = w.bottom - w.top;
  const RECT close = CloseButtonRect(width);
  if (::PtInRect(&close, POINT{x, y})) return HTCLOSE;
  const bool left = x < kBorder, right = x >= width - kBorder;
  const bool top = y < kBorder, bottom = y >= height - kBorder;
  if (top && left) return HTTOPLEFT;
  if (top && right) return HTTOPRIGHT;
  if (bottom && left) return HTBOTTOMLEFT;
  if (bottom && right) return HTBOTTOMRIGHT;
  if (left) return HTLEFT;
  if (right) return HTRIGHT;
  if (top) return HTTOP;
  if (bottom) return HTBOTTOM;
  return y < kTitle ? HTCAPTION : HTCLIENT;
}

void TOwnFrameForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE: {
      // Sent first with wParam FALSE during creation, then TRUE.
      RECT* r = m.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0] : reinterpret_cast<RECT*>(m.LParam);
      r->left += kBorder;
      r->top += kTitle;
      r->right -= kBorder;
      r->bottom -= kBorder;
      m.Result = 0;
      return;
    }
    case WM_NCPAINT:
      PaintFrame();
      m.Result = 0;
      return;
    case WM_NCACTIVATE:
      PaintFrame();
      m.Result = TRUE;
      return;
    case WM_NCHITTEST:
      m.Result = HitTest(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
      return;
    case WM_NCLBUTTONDOWN:
      if (m.WParam == HTCLOSE) {
        Close();
        return;
      }
      break;
    case WM_SETTEXT:
      TForm::WndProc(m);
      PaintFrame();
      return;
    default:
      break;
  }
  TForm::WndProc(m);
}

}  // namespace nuvskin::demo
