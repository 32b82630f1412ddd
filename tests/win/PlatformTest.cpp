// What the engine relies on from the platform, observed on real windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WinTest.h"
#include "framework/Win32Handles.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

constexpr int kTitle = 30, kBorder = 6;
constexpr COLORREF kFrameColor = RGB(200, 30, 60);

// A window whose non-client area is entirely ours: a 30-pixel title and
// 6-pixel borders, painted in one colour.
std::optional<LRESULT> CustomFrame(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCALCSIZE: {
      // Sent first with wParam FALSE during creation, then TRUE.
      RECT* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
      r->left += kBorder;
      r->top += kTitle;
      r->right -= kBorder;
      r->bottom -= kBorder;
      return 0;
    }
    case WM_NCPAINT:
    case WM_NCACTIVATE: {
      win::WindowDC dc(wnd, win::WindowDC::Area::Window);
      RECT w;
      ::GetWindowRect(wnd, &w);
      ::OffsetRect(&w, -w.left, -w.top);
      win::UniqueBrush brush(::CreateSolidBrush(kFrameColor));
      RECT client{kBorder, kTitle, w.right - kBorder, w.bottom - kBorder};
      ::ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
      ::FillRect(dc.Get(), &w, brush.Get());
      return msg == WM_NCACTIVATE ? TRUE : 0;
    }
  }
  return std::nullopt;
}

}  // namespace

TEST(Platform, CustomNonClientFrameSizesClientAndShowsOurColour) {
  auto scenario = [](bool save) {
    TestWindow::Options o;
    o.bounds = {120, 120, 420, 320};
    TestWindow w(o, CustomFrame);
    ASSERT_TRUE(w.Handle());
    PumpMessages(100);

    RECT client;
    ::GetClientRect(w.Handle(), &client);
    EXPECT_EQ(client.right, 300 - 2 * kBorder);
    EXPECT_EQ(client.bottom, 200 - kTitle - kBorder);

    const Image window = CaptureWindow(w.Handle());
    ASSERT_EQ(window.Width(), 300);
    ASSERT_EQ(window.Height(), 200);
    EXPECT_EQ(window.At(1, 1), kFrameColor);
    EXPECT_EQ(window.At(150, kTitle - 1), kFrameColor);
    EXPECT_EQ(window.At(2, 150), kFrameColor);
    EXPECT_EQ(window.At(297, 197), kFrameColor);
    EXPECT_EQ(window.At(150, 100), RGB(255, 255, 255));
    if (save) SaveScreenshot(window, L"platform-custom-frame-window");

    // The same pixels reach the screen, with the desktop around them.
    const int margin = 10;
    const Image screen = CaptureScreenAround(w.Handle(), margin);
    if (save) SaveScreenshot(screen, L"platform-custom-frame-screen");
    EXPECT_EQ(screen.At(margin + 1, margin + 1), kFrameColor);
    EXPECT_EQ(screen.At(margin + 150, margin + 100), RGB(255, 255, 255));
    EXPECT_NE(screen.At(margin - 3, margin + 100), kFrameColor);
  };
  // The first window of a process takes cached GDI objects for good; count
  // from the second one on.
  scenario(true);
  const int before = GdiHeadroom();
  scenario(false);
  scenario(false);
  EXPECT_EQ(GdiHeadroom(), before);
}

namespace {

struct HookLog {
  std::vector<HWND> created;
  std::vector<HWND> activated;
  HHOOK hook = nullptr;
};
HookLog* g_log = nullptr;

std::string ClassOf(HWND wnd) {
  char name[100] = {};
  ::GetClassNameA(wnd, name, sizeof(name));
  return name;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) noexcept {
  if (g_log) {
    HWND wnd = reinterpret_cast<HWND>(wp);
    if (code == HCBT_CREATEWND && ClassOf(wnd) == "#32770") g_log->created.push_back(wnd);
    if (code == HCBT_ACTIVATE && wnd && ClassOf(wnd) == "#32770") {
      g_log->activated.push_back(wnd);
      ::PostMessageW(wnd, WM_COMMAND, IDOK, 0);
    }
  }
  return ::CallNextHookEx(g_log ? g_log->hook : nullptr, code, wp, lp);
}

void CALLBACK CloseActiveWindow(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND active = ::GetActiveWindow()) ::PostMessageW(active, WM_CLOSE, 0, 0);
}

}  // namespace

TEST(Platform, ThreadCbtHookSeesMessageBoxActivation) {
  HookLog log;
  g_log = &log;
  log.hook = ::SetWindowsHookExA(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
  ASSERT_TRUE(log.hook);
  win::UniqueHook hook(log.hook);
  // Should the hook miss the box, close whatever is active so the test ends.
  const UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, CloseActiveWindow);
  const int answer = ::MessageBoxW(nullptr, L"Hooked?", L"nuvskin", MB_OK);
  ::KillTimer(nullptr, guard);
  g_log = nullptr;

  EXPECT_EQ(answer, IDOK);
  ASSERT_EQ(log.activated.size(), 1u);
  ASSERT_EQ(log.created.size(), 1u);
  EXPECT_EQ(log.created[0], log.activated[0]);
  EXPECT_FALSE(::IsWindow(log.activated[0]));
}

TEST(Platform, RegionFromRectangleListCutsOutPixels) {
  TestWindow::Options o;
  o.style = WS_POPUP | WS_VISIBLE;
  o.bounds = {150, 150, 350, 300};
  o.background = RGB(255, 0, 0);
  TestWindow w(o);
  ASSERT_TRUE(w.Handle());

  // Top band plus a centre column: the lower corners are cut away.
  const RECT rects[] = {{0, 0, 200, 50}, {50, 50, 150, 150}};
  std::vector<BYTE> buffer(sizeof(RGNDATAHEADER) + sizeof(rects));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, sizeof(rects), {0, 0, 200, 150}};
  memcpy(data->Buffer, rects, sizeof(rects));
  HRGN region = ::ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
  ASSERT_TRUE(region);
  ASSERT_TRUE(::SetWindowRgn(w.Handle(), region, TRUE));  // the window owns it now

  win::UniqueRegion expected(::CreateRectRgn(0, 0, 200, 50));
  win::UniqueRegion column(::CreateRectRgn(50, 50, 150, 150));
  ::CombineRgn(expected.Get(), expected.Get(), column.Get(), RGN_OR);
  win::UniqueRegion actual(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(::GetWindowRgn(w.Handle(), actual.Get()), ERROR);
  EXPECT_TRUE(::EqualRgn(actual.Get(), expected.Get()));

  ::InvalidateRect(w.Handle(), nullptr, TRUE);
  const Image screen = CaptureScreenAround(w.Handle(), 0);
  SaveScreenshot(screen, L"platform-region");
  const COLORREF red = RGB(255, 0, 0);
  EXPECT_EQ(screen.At(10, 10), red);
  EXPECT_EQ(screen.At(100, 100), red);
  EXPECT_NE(screen.At(10, 100), red);
  EXPECT_NE(screen.At(190, 140), red);
  EXPECT_EQ(screen.At(50, 149), red);
  EXPECT_NE(screen.At(49, 51), red);
}
