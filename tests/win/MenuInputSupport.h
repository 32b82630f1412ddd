// Scripted keyboard and menu sessions for the tests of menu bars: keys sent
// as real input, steps run from a timer that also fires inside menu loops.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "StdCtrlsTestSupport.h"

namespace nuvskin::test {

// A modifier held down around one key press, as real keys.
inline void SendChord(WORD modifier, WORD letter) {
  INPUT in[4]{};
  for (INPUT& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = modifier;
  in[1].ki.wVk = letter;
  in[2].ki.wVk = letter;
  in[2].ki.dwFlags = KEYEVENTF_KEYUP;
  in[3].ki.wVk = modifier;
  in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(4, in, sizeof(INPUT));
}

inline void SendAltChord(WORD letter) { SendChord(VK_MENU, letter); }

inline bool MenuWindowVisible() {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  return popup && ::IsWindowVisible(popup);
}

// Runs `step(n)` every 50 ms, also inside menu loops, until it returns true;
// after `limitMs` every menu is closed so that a failing test cannot hang.
class MenuDriver {
 public:
  explicit MenuDriver(std::function<bool(int)> step, int limitMs = 5000) : step_(std::move(step)), limit_(limitMs / 50) {
    current_ = this;
    timer_ = ::SetTimer(nullptr, 0, 50, &MenuDriver::OnTimer);
  }
  ~MenuDriver() {
    ::KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool Done() const { return done_; }
  bool timedOut = false;

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) noexcept {
    MenuDriver* d = current_;
    if (!d || d->done_ || d->busy_) return;
    d->busy_ = true;  // a step's input can run a nested loop that fires the timer again
    ++d->count_;
    if (d->step_(d->count_)) {
      d->done_ = true;
    } else if (d->count_ >= d->limit_) {
      d->timedOut = d->done_ = true;
      ::EndMenu();
    }
    d->busy_ = false;
  }
  static inline MenuDriver* current_ = nullptr;
  std::function<bool(int)> step_;
  int limit_;
  int count_ = 0;
  bool done_ = false;
  bool busy_ = false;
  UINT_PTR timer_ = 0;
};

// Steps of a scripted session: each waits for its condition, then acts.
struct Step {
  std::function<bool()> ready;
  std::function<void()> act;
};

// Runs the steps from a timer (inside menu loops too) and the application's
// message loop until the last has acted; false when one never became ready.
inline bool RunSteps(std::vector<Step> steps, int limitMs = 6000) {
  std::size_t next = 0;
  MenuDriver driver(
      [&](int) {
        if (next < steps.size() && steps[next].ready()) {
          steps[next].act();
          ++next;
        }
        return next == steps.size();
      },
      limitMs);
  AppPumpUntil([&] { return driver.Done(); }, static_cast<DWORD>(limitMs) + 1000);
  AppPump(100);
  if (next < steps.size()) ADD_FAILURE() << "step " << next << " never became ready";
  return next == steps.size() && !driver.timedOut;
}

inline bool BringToFront(TForm* form) {
  form->Show();
  ::SetForegroundWindow(form->Handle());
  return PumpUntil([&] { return ::GetForegroundWindow() == form->Handle(); });
}

}  // namespace nuvskin::test
