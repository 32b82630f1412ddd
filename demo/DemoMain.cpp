// The demo: a top-level window whose frame is painted by its own
// non-client handler, and a message box.
//
//   demo.exe                     interactive
//   demo.exe --screenshots DIR   writes PNG screenshots to DIR and exits
#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/Win32Handles.h"
#include "image/WindowCapture.h"

using namespace nuvskin;

namespace {

constexpr int kTitle = 30, kBorder = 5, kButton = 18;
constexpr COLORREF kTitleTop = RGB(40, 84, 150), kTitleBottom = RGB(22, 50, 98);
constexpr COLORREF kBorderColor = RGB(22, 50, 98), kClient = RGB(236, 236, 236);
constexpr int kShowBoxId = 100;

RECT CloseButtonRect(int windowWidth) {
  const int top = (kTitle - kButton) / 2;
  return {windowWidth - kBorder - 4 - kButton, top, windowWidth - kBorder - 4, top + kButton};
}

void PaintFrame(HWND wnd) {
  RECT w;
  ::GetWindowRect(wnd, &w);
  const int width = w.right - w.left, height = w.bottom - w.top;
  win::WindowDC dc(wnd, win::WindowDC::Area::Window);
  // Compose off-screen, then one copy: no flicker.
  win::UniqueMemoryDC mem(::CreateCompatibleDC(dc.Get()));
  win::UniqueBitmap bmp(::CreateCompatibleBitmap(dc.Get(), width, height));
  {
    win::SelectScope selectBitmap(mem.Get(), bmp.Get());
    win::UniqueBrush border(::CreateSolidBrush(kBorderColor));
    RECT all{0, 0, width, height};
    ::FillRect(mem.Get(), &all, border.Get());
    for (int y = 0; y < kTitle; ++y) {
      const int t = y * 256 / kTitle;
      win::UniqueBrush line(::CreateSolidBrush(
          RGB((GetRValue(kTitleTop) * (256 - t) + GetRValue(kTitleBottom) * t) / 256,
              (GetGValue(kTitleTop) * (256 - t) + GetGValue(kTitleBottom) * t) / 256,
              (GetBValue(kTitleTop) * (256 - t) + GetBValue(kTitleBottom) * t) / 256)));
      RECT row{0, y, width, y + 1};
      ::FillRect(mem.Get(), &row, line.Get());
    }
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    win::UniqueFont font(::CreateFontIndirectW(&ncm.lfCaptionFont));
    win::SelectScope selectFont(mem.Get(), font.Get());
    ::SetBkMode(mem.Get(), TRANSPARENT);
    ::SetTextColor(mem.Get(), RGB(255, 255, 255));
    wchar_t text[256] = {};
    ::GetWindowTextW(wnd, text, 256);
    RECT caption{kBorder + 8, 0, width - kBorder - kButton - 12, kTitle};
    ::DrawTextW(mem.Get(), text, -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    // Close glyph: a cross on a lighter square.
    const RECT b = CloseButtonRect(width);
    win::UniqueBrush face(::CreateSolidBrush(RGB(196, 64, 52)));
    ::FillRect(mem.Get(), &b, face.Get());
    win::UniquePen pen(::CreatePen(PS_SOLID, 2, RGB(255, 255, 255)));
    win::SelectScope selectPen(mem.Get(), pen.Get());
    ::MoveToEx(mem.Get(), b.left + 5, b.top + 5, nullptr);
    ::LineTo(mem.Get(), b.right - 5, b.bottom - 5);
    ::MoveToEx(mem.Get(), b.right - 6, b.top + 5, nullptr);
    ::LineTo(mem.Get(), b.left + 4, b.bottom - 5);
    ::ExcludeClipRect(dc.Get(), kBorder, kTitle, width - kBorder, height - kBorder);
    ::BitBlt(dc.Get(), 0, 0, width, height, mem.Get(), 0, 0, SRCCOPY);
  }
}

LRESULT HitTest(HWND wnd, POINT screen) {
  RECT w;
  ::GetWindowRect(wnd, &w);
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
  if (y < kTitle) return HTCAPTION;
  return HTCLIENT;
}

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  switch (msg) {
    case WM_CREATE:
    {
      HWND button = ::CreateWindowExW(0, L"BUTTON", L"Show a message box", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                      20, 20, 180, 28, wnd, reinterpret_cast<HMENU>(kShowBoxId), nullptr, nullptr);
      ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
      return 0;
    }
    case WM_NCCALCSIZE: {
      RECT* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
      r->left += kBorder;
      r->top += kTitle;
      r->right -= kBorder;
      r->bottom -= kBorder;
      return 0;
    }
    case WM_NCPAINT:
      PaintFrame(wnd);
      return 0;
    case WM_NCACTIVATE:
      PaintFrame(wnd);
      return TRUE;
    case WM_SETTEXT: {
      const LRESULT r = ::DefWindowProcW(wnd, msg, wp, lp);
      PaintFrame(wnd);
      return r;
    }
    case WM_NCHITTEST:
      return HitTest(wnd, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_NCLBUTTONDOWN:
      if (wp == HTCLOSE) {
        ::PostMessageW(wnd, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wp) == kShowBoxId)
        ::MessageBoxW(wnd, L"This frame is painted by the demo's own non-client handler.", L"nuvskin demo",
                      MB_OK | MB_ICONINFORMATION);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(wnd, msg, wp, lp);
}

HWND CreateMainWindow(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = ::CreateSolidBrush(kClient);  // lives as long as the class
  wc.lpszClassName = L"NuvskinDemo";
  ::RegisterClassExW(&wc);
  return ::CreateWindowExW(0, wc.lpszClassName, L"nuvskin demo", WS_OVERLAPPEDWINDOW, 80, 80, 480, 320,
                           nullptr, nullptr, instance, nullptr);
}

// --- screenshot mode -------------------------------------------------------

struct Shots {
  std::filesystem::path dir;
  std::vector<std::filesystem::path> written;
  HWND main = nullptr;
  HWND box = nullptr;
  HHOOK hook = nullptr;
  bool ok = true;
};
Shots* g_shots = nullptr;

void Pump(DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  while (::GetTickCount64() < end) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void Save(const image::Image& img, const wchar_t* name) {
  const auto path = g_shots->dir / name;
  if (!img.Empty() && image::WritePng(img, path)) {
    g_shots->written.push_back(path);
  } else {
    g_shots->ok = false;
  }
}

RECT Union(HWND a, HWND b, int margin) {
  RECT ra, rb, u;
  ::GetWindowRect(a, &ra);
  ::GetWindowRect(b, &rb);
  ::UnionRect(&u, &ra, &rb);
  ::InflateRect(&u, margin, margin);
  return u;
}

LRESULT CALLBACK ShotHook(int code, WPARAM wp, LPARAM lp) noexcept {
  if (code == HCBT_ACTIVATE && g_shots && !g_shots->box) {
    char cls[32] = {};
    ::GetClassNameA(reinterpret_cast<HWND>(wp), cls, sizeof(cls));
    if (std::string(cls) == "#32770") g_shots->box = reinterpret_cast<HWND>(wp);
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

void CALLBACK CaptureBox(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  if (g_shots->box) {
    Pump(300);  // let the box paint and reach the screen
    Save(image::CaptureScreen(Union(g_shots->main, g_shots->box, 16)), L"demo-messagebox.png");
    ::PostMessageW(g_shots->box, WM_COMMAND, IDOK, 0);
  } else {
    g_shots->ok = false;
    if (HWND active = ::GetActiveWindow(); active && active != g_shots->main)
      ::PostMessageW(active, WM_CLOSE, 0, 0);
  }
}

int TakeScreenshots(HINSTANCE instance, const std::filesystem::path& dir) {
  Shots shots;
  shots.dir = dir;
  g_shots = &shots;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);

  shots.main = CreateMainWindow(instance);
  ::ShowWindow(shots.main, SW_SHOW);
  ::UpdateWindow(shots.main);
  Pump(400);
  Save(image::CaptureScreen(Union(shots.main, shots.main, 16)), L"demo-window.png");

  shots.hook = ::SetWindowsHookExW(WH_CBT, ShotHook, nullptr, ::GetCurrentThreadId());
  ::SetTimer(nullptr, 0, 500, CaptureBox);
  ::SendMessageW(shots.main, WM_COMMAND, kShowBoxId, 0);  // returns when the box is closed
  ::UnhookWindowsHookEx(shots.hook);
  ::DestroyWindow(shots.main);
  Pump(50);

  for (const auto& p : shots.written) std::printf("%s\n", p.string().c_str());
  g_shots = nullptr;
  return shots.ok ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::filesystem::path shotsDir;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::wstring(argv[i]) == L"--screenshots") shotsDir = argv[i + 1];
  ::LocalFree(argv);
  if (!shotsDir.empty()) return TakeScreenshots(instance, shotsDir);

  HWND wnd = CreateMainWindow(instance);
  ::ShowWindow(wnd, show);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
