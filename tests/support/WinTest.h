// Support for the Windows tests: real windows, a message pump with time-outs,
// posted and synthesized input, captures saved as PNG, and GDI/USER handle
// headroom probes (GetGuiResources is a stub under Wine).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "image/Image.h"
#include "image/WindowCapture.h"

namespace nuvskin::test {

using image::Image;
using image::Pixel;
using image::Rgb;

// Dispatches messages for `ms` milliseconds.
void PumpMessages(DWORD ms);
// Dispatches messages until `done` holds or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

// A message handler of a test window: return a value to answer the message,
// or nothing to pass it to DefWindowProc.
using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

// A top-level (or child) window of a test class whose messages go to a
// handler; destroyed with the object.
class TestWindow {
 public:
  struct Options {
    DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    DWORD exStyle = 0;
    RECT bounds{100, 100, 400, 300};  // left, top, right, bottom
    std::wstring caption = L"nuvskin test";
    HWND parent = nullptr;
    COLORREF background = RGB(255, 255, 255);
  };
  explicit TestWindow(Handler handler = {}) : TestWindow(Options{}, std::move(handler)) {}
  TestWindow(const Options& options, Handler handler = {});
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return wnd_; }
  void Destroy();

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  Handler handler_;
  HBRUSH background_ = nullptr;
  HWND wnd_ = nullptr;
};

// The window class name of a window.
std::string WindowClassOf(HWND wnd);

// Input. Posted messages go straight to a window's queue; Send* versions go
// through SendInput and the real cursor, and wait until the cursor arrived.
void PostClientClick(HWND wnd, int x, int y);
void PostNcClick(HWND wnd, int hitTest, POINT screen);
void PostKeyPress(HWND wnd, UINT vk);
bool MoveCursorTo(POINT screen, DWORD timeoutMs = 1000);
bool SendClickAt(POINT screen);
void SendKeyPress(WORD vk);

// Captures. CaptureScreenAround pumps messages first so that Wine has
// pushed the window's pixels to the X server.
Image CaptureWindow(HWND wnd);
Image CaptureScreenAround(HWND wnd, int margin);
// Saves under the test run's screenshot folder (NUVSKIN_SCREENSHOTS, or
// "screenshots" beside the test program); returns the path, or "" on failure.
std::wstring SaveScreenshot(const Image& image, const std::wstring& name);

// How many more GDI objects (brushes) or USER objects (menus) the process
// can create. The difference before and after some work is what it leaked.
int GdiHeadroom();
int UserHeadroom();
// Runs `work` between two USER headroom probes and returns how many USER
// handles it left behind. The USER table is shared by every process of the
// Wine server, so tests running meanwhile can move the count: the work is
// repeated (up to `attempts` times) until a run shows no difference; a real
// leak shows in every run.
int UserHandlesLeaked(const std::function<void()>& work, int attempts = 3);

}  // namespace nuvskin::test
