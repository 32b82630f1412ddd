// Subclassing of windows the application did not create (message boxes,
// common dialogs and their children): their messages are routed to a C++
// handler, in the window's own character set.
#pragma once

#include <functional>

#include "framework/Win32.h"

namespace nuvskin {

class TObject;

// One subclass of one window. Several of them may sit on the same window,
// among subclassers of other code, and be removed in any order: the window
// gets its procedure back only when the procedure in place is still ours, so
// nobody who subclassed after us is cut off. When the window dies first, the
// subclass lets go of it after its last message (WM_NCDESTROY).
//
// Text messages arrive as the window's procedure gets them: ANSI text for a
// window that is not Unicode (IsWindowUnicode), wide text otherwise.
class TWindowSubclass {
 public:
  // Answers a message, or passes it on with CallNext.
  using Handler = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;

  TWindowSubclass() = default;
  ~TWindowSubclass();
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;

  // Starts routing `wnd`'s messages to `handler` (false for a window that is
  // gone or when this subclass is in use). While a message runs `keepAlive`,
  // when given, is pinned: the handler may free it, this subclass with it.
  bool Attach(HWND wnd, Handler handler, TObject* keepAlive = nullptr);
  // Stops routing; safe at any time, also inside a message of the window.
  void Remove();

  HWND Window() const { return wnd_; }
  bool Attached() const { return wnd_ != nullptr; }
  // The window's procedure takes wide text.
  bool Unicode() const { return unicode_; }
  // Passes a message to what was there before this subclass.
  LRESULT CallNext(UINT msg, WPARAM wParam, LPARAM lParam);

  // Called after the window's last message when the window dies while
  // subclassed; the subclass is already detached.
  std::function<void()> OnWindowDestroyed;

 private:
  friend struct SubclassedWindow;
  HWND wnd_ = nullptr;
  HWND lastWnd_ = nullptr;  // the window of a call that runs on after Remove
  bool unicode_ = false;
  Handler handler_;
  TObject* keepAlive_ = nullptr;
};

}  // namespace nuvskin
