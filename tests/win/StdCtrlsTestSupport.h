// Helpers of the standard-control tests: forms on screen, a message pump that
// goes through the application (so dialog keys and accelerators work), and
// captures of a control's area.
#pragma once

#include <functional>
#include <string>

#include "WinTest.h"
#include "framework/Forms.h"

namespace nuvskin::test {

// Handles messages the way the application's loop does until `done` holds.
inline bool AppPumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    Application->ProcessMessages();
    if (done()) return true;
    if (::GetTickCount64() >= end) return done();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void AppPump(DWORD ms) {
  AppPumpUntil([] { return false; }, ms);
}

// A visible form, brought to the foreground.
inline TForm* ShownForm(int left = 100, int top = 100, int width = 420, int height = 320) {
  TForm* form = Create<TForm>(nullptr);
  form->SetBounds(left, top, width, height);
  form->Show();
  ::SetForegroundWindow(form->Handle());
  AppPump(50);
  return form;
}

// The pixels of a control as they are on its window (windowless controls:
// on their parent's), from a capture of the form.
inline Image CaptureControl(TControl* control) {
  TCustomForm* form = GetParentForm(control);
  Application->ProcessMessages();
  ::UpdateWindow(form->Handle());
  const Image shot = CaptureWindow(form->Handle());
  RECT wr;
  ::GetWindowRect(form->Handle(), &wr);
  const POINT origin = control->ClientToScreen(POINT{0, 0});
  RECT bounds{0, 0, control->Width(), control->Height()};
  int dx = origin.x - wr.left, dy = origin.y - wr.top;
  if (auto* w = dynamic_cast<TWinControl*>(control); w && w->HandleAllocated()) {
    RECT cr;
    ::GetWindowRect(w->Handle(), &cr);
    dx = cr.left - wr.left;
    dy = cr.top - wr.top;
    bounds = RECT{0, 0, cr.right - cr.left, cr.bottom - cr.top};
  }
  Image out(bounds.right, bounds.bottom);
  for (int y = 0; y < bounds.bottom; ++y)
    for (int x = 0; x < bounds.right; ++x)
      if (shot.Contains(x + dx, y + dy)) out.Set(x, y, shot.At(x + dx, y + dy));
  return out;
}

}  // namespace nuvskin::test
