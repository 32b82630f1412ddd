#include "WinTest.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "framework/Win32Handles.h"

namespace nuvskin::test {

void PumpMessages(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = ::GetTickCount64();
    if (now >= end) return done();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)),
                                QS_ALLINPUT);
  }
}

namespace {

constexpr wchar_t kTestClass[] = L"NuvskinTestWindow";

void RegisterTestClass(WNDPROC proc) {
  static bool done = false;
  if (done) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kTestClass;
  ::RegisterClassExW(&wc);
  done = true;
}

}  // namespace

TestWindow::TestWindow(const Options& options, Handler handler) : handler_(std::move(handler)) {
  RegisterTestClass(&TestWindow::Proc);
  background_ = ::CreateSolidBrush(options.background);
  const RECT& b = options.bounds;
  wnd_ = ::CreateWindowExW(options.exStyle, kTestClass, options.caption.c_str(), options.style, b.left, b.top,
                           b.right - b.left, b.bottom - b.top, options.parent, nullptr,
                           ::GetModuleHandleW(nullptr), this);
  if (wnd_) ::UpdateWindow(wnd_);
}

TestWindow::~TestWindow() {
  Destroy();
  if (background_) ::DeleteObject(background_);
}

void TestWindow::Destroy() {
  if (wnd_ && ::IsWindow(wnd_)) ::DestroyWindow(wnd_);
  wnd_ = nullptr;
}

LRESULT CALLBACK TestWindow::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_NCCREATE) {
    // Bound before any other message, so the first WM_NCCALCSIZE reaches the handler.
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
  try {
    if (self && self->handler_) {
      if (auto result = self->handler_(wnd, msg, wp, lp)) return *result;
    }
  } catch (...) {
    // A failing test handler must not unwind through the system.
  }
  if (msg == WM_ERASEBKGND && self) {
    RECT r;
    ::GetClientRect(wnd, &r);
    ::FillRect(reinterpret_cast<HDC>(wp), &r, self->background_);
    return 1;
  }
  if (msg == WM_NCDESTROY) ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
  return ::DefWindowProcW(wnd, msg, wp, lp);
}

void PostClientClick(HWND wnd, int x, int y) {
  const LPARAM lp = MAKELPARAM(x, y);
  ::PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, lp);
  ::PostMessageW(wnd, WM_LBUTTONUP, 0, lp);
}

void PostNcClick(HWND wnd, int hitTest, POINT screen) {
  const LPARAM lp = MAKELPARAM(screen.x, screen.y);
  ::PostMessageW(wnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hitTest), lp);
  // Default processing of a caption-button press tracks until a real
  // button-up arrives; post it so that no loop is left waiting.
  ::PostMessageW(wnd, WM_LBUTTONUP, 0, lp);
  ::PostMessageW(wnd, WM_NCLBUTTONUP, static_cast<WPARAM>(hitTest), lp);
}

std::string WindowClassOf(HWND wnd) {
  char name[128] = {};
  ::GetClassNameA(wnd, name, sizeof(name));
  return name;
}

void PostKeyPress(HWND wnd, UINT vk) {
  const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  ::PostMessageW(wnd, WM_KEYDOWN, vk, static_cast<LPARAM>(1 | (scan << 16)));
  ::PostMessageW(wnd, WM_KEYUP, vk, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
}

bool MoveCursorTo(POINT screen, DWORD timeoutMs) {
  ::SetCursorPos(screen.x, screen.y);
  // Cursor moves are asynchronous under Wine, and a warped cursor can bounce
  // back to its old place once: wait until it has stayed put for a while.
  ULONGLONG since = 0;
  return PumpUntil(
      [&] {
        POINT p;
        const bool there = ::GetCursorPos(&p) && p.x == screen.x && p.y == screen.y;
        const ULONGLONG now = ::GetTickCount64();
        if (!there) {
          since = 0;
          ::SetCursorPos(screen.x, screen.y);
          return false;
        }
        if (!since) since = now;
        return now - since >= 150;
      },
      timeoutMs);
}

bool SendClickAt(POINT screen) {
  if (!MoveCursorTo(screen)) return false;
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return ::SendInput(2, in, sizeof(INPUT)) == 2;
}

void SendKeyPress(WORD vk) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, in, sizeof(INPUT));
}

Image CaptureWindow(HWND wnd) { return image::CaptureWindow(wnd); }

Image CaptureScreenAround(HWND wnd, int margin) {
  PumpMessages(300);
  RECT r{};
  ::GetWindowRect(wnd, &r);
  ::InflateRect(&r, margin, margin);
  return image::CaptureScreen(r);
}

std::wstring SaveScreenshot(const Image& image, const std::wstring& name) {
  namespace fs = std::filesystem;
  fs::path dir;
  if (const wchar_t* env = _wgetenv(L"NUVSKIN_SCREENSHOTS"); env && *env) {
    dir = env;
  } else {
    wchar_t exe[MAX_PATH];
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    dir = fs::path(exe).parent_path() / L"screenshots";
  }
  std::error_code ec;
  fs::create_directories(dir, ec);
  const fs::path file = dir / (name + L".png");
  return image::WritePng(image, file) ? file.wstring() : std::wstring();
}

namespace {

template <typename Create, typename Free>
int Headroom(int limit, Create create, Free free) {
  std::vector<decltype(create())> held;
  held.reserve(static_cast<std::size_t>(limit));
  while (static_cast<int>(held.size()) < limit) {
    auto h = create();
    if (!h) break;
    held.push_back(h);
  }
  for (auto h : held) free(h);
  return static_cast<int>(held.size());
}

}  // namespace

int GdiHeadroom() {
  return Headroom(
      100000, [] { return ::CreateSolidBrush(RGB(1, 2, 3)); }, [](HBRUSH b) { ::DeleteObject(b); });
}

int UserHandlesLeaked(const std::function<void()>& work, int attempts) {
  int leaked = 0;
  for (int i = 0; i < attempts; ++i) {
    const int before = UserHeadroom();
    work();
    leaked = before - UserHeadroom();
    if (leaked == 0) break;
  }
  return leaked;
}

int UserHeadroom() {
  return Headroom(
      100000, [] { return ::CreateMenu(); }, [](HMENU m) { ::DestroyMenu(m); });
}

}  // namespace nuvskin::test
