// Subclassing windows the library did not create: a message box's button,
// ANSI and wide edits, other code's subclasses in between, removal in any
// order, and windows that die while subclassed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "WinTest.h"
#include <commctrl.h>
#include "framework/ObjectModel.h"
#include "framework/WindowSubclass.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

constexpr UINT kProbe = WM_USER + 7;

// A subclass that writes its letter into a trace for kProbe.
struct Tracer {
  TWindowSubclass subclass;
  bool Attach(HWND wnd, char letter, std::string& trace) {
    return subclass.Attach(wnd, [this, letter, &trace](UINT msg, WPARAM wp, LPARAM lp) {
      if (msg == kProbe) trace += letter;
      return subclass.CallNext(msg, wp, lp);
    });
  }
};

std::string Probe(HWND wnd, std::string& trace) {
  trace.clear();
  ::SendMessageW(wnd, kProbe, 0, 0);
  return trace;
}

LRESULT CALLBACK ForeignSubclass(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) noexcept {
  if (msg == kProbe) *reinterpret_cast<std::string*>(data) += 'F';
  return ::DefSubclassProc(w, msg, wp, lp);
}

LONG_PTR ProcOf(HWND wnd) {
  return ::IsWindowUnicode(wnd) ? ::GetWindowLongPtrW(wnd, GWLP_WNDPROC) : ::GetWindowLongPtrA(wnd, GWLP_WNDPROC);
}

// Two subclasses of `wnd` (with a subclass of other code between them when
// `foreign`), removed first-in-first-out and then last-in-first-out.
void CheckRemovalInBothOrders(HWND wnd, bool foreign) {
  const LONG_PTR original = ProcOf(wnd);
  std::string trace;
  for (bool oldestFirst : {true, false}) {
    SCOPED_TRACE(oldestFirst ? "oldest removed first" : "newest removed first");
    Tracer a, b;
    ASSERT_TRUE(a.Attach(wnd, 'A', trace));
    if (foreign)
      ::SetWindowSubclass(wnd, ForeignSubclass, 1, reinterpret_cast<DWORD_PTR>(&trace));
    ASSERT_TRUE(b.Attach(wnd, 'B', trace));
    // Ours share one entry in the chain, under the foreign one.
    EXPECT_EQ(Probe(wnd, trace), foreign ? "FBA" : "BA");
    (oldestFirst ? a : b).subclass.Remove();
    EXPECT_EQ(Probe(wnd, trace), foreign ? (oldestFirst ? "FB" : "FA") : (oldestFirst ? "B" : "A"));
    (oldestFirst ? b : a).subclass.Remove();
    EXPECT_EQ(Probe(wnd, trace), foreign ? "F" : "");
    if (foreign) {
      ::RemoveWindowSubclass(wnd, ForeignSubclass, 1);  // nobody cut it off; now it goes too
      ::SendMessageW(wnd, kProbe, 0, 0);        // our pass-through notices and lets go
    }
    EXPECT_EQ(ProcOf(wnd), original);
  }
  wchar_t text[64] = {};
  ::GetWindowTextW(wnd, text, 64);  // the window still answers as before
  EXPECT_GT(std::wcslen(text), 0u);
}

}  // namespace

namespace {

bool gBoxChecked = false;

// The box is modal: the checks run from a timer inside its loop.
void CALLBACK CheckMessageBox(HWND, UINT, UINT_PTR id, DWORD) noexcept {
  HWND box = ::FindWindowW(L"#32770", L"nuvskin subclass");
  if (!box) return;
  ::KillTimer(nullptr, id);
  HWND ok = ::GetDlgItem(box, IDOK);
  CheckRemovalInBothOrders(ok, false);
  CheckRemovalInBothOrders(ok, true);
  gBoxChecked = true;
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

}  // namespace

TEST(Subclass, AMessageBoxButtonIsSubclassedTwiceAndRemovedInBothOrders) {
  gBoxChecked = false;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CheckMessageBox);
  EXPECT_EQ(::MessageBoxW(nullptr, L"Subclassed", L"nuvskin subclass", MB_OK), IDOK);
  ::KillTimer(nullptr, timer);
  EXPECT_TRUE(gBoxChecked);
}

TEST(Subclass, EditsKeepTheirCharacterSetThroughTheSubclass) {
  HWND ansi = ::CreateWindowExA(0, "EDIT", "ansi", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  HWND wide = ::CreateWindowExW(0, L"EDIT", L"wide", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_FALSE(::IsWindowUnicode(ansi));
  ASSERT_TRUE(::IsWindowUnicode(wide));
  CheckRemovalInBothOrders(ansi, false);
  CheckRemovalInBothOrders(wide, true);

  // The handler reads WM_SETTEXT in the window's own character set, and the
  // text reaches the edit unchanged.
  std::string seenAnsi;
  std::wstring seenWide;
  TWindowSubclass a, w;
  a.Attach(ansi, [&](UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETTEXT) seenAnsi = reinterpret_cast<const char*>(lp);
    return a.CallNext(msg, wp, lp);
  });
  w.Attach(wide, [&](UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETTEXT) seenWide = reinterpret_cast<const wchar_t*>(lp);
    return w.CallNext(msg, wp, lp);
  });
  EXPECT_FALSE(a.Unicode());
  EXPECT_TRUE(w.Unicode());
  ::SetWindowTextW(ansi, L"caf\u00e9");
  ::SetWindowTextA(wide, "abc");
  EXPECT_EQ(seenAnsi, "caf\xe9");
  EXPECT_EQ(seenWide, L"abc");
  wchar_t back[16] = {};
  ::GetWindowTextW(ansi, back, 16);
  EXPECT_STREQ(back, L"caf\u00e9");
  a.Remove();
  w.Remove();
  ::DestroyWindow(ansi);
  ::DestroyWindow(wide);
}

namespace {

// An object that subclasses a window and frees itself when the window is
// destroyed, from inside that window's own message.
class TSelfFreeing : public TObject {
  NUV_CLASS(TSelfFreeing, TObject)
  TSelfFreeing(HWND wnd, std::string& trace) : trace_(trace) {
    subclass_.Attach(
        wnd,
        [this](UINT msg, WPARAM wp, LPARAM lp) {
          if (msg != WM_DESTROY) return subclass_.CallNext(msg, wp, lp);
          Free();
          trace_ += "freed;";
          // Still whole: the call goes on below this subclass.
          const LRESULT r = subclass_.CallNext(msg, wp, lp);
          trace_ += "returned;";
          return r;
        },
        this);
  }
  ~TSelfFreeing() override { trace_ += "deleted;"; }

 private:
  std::string& trace_;
  TWindowSubclass subclass_;
};

}  // namespace

TEST(Subclass, AWindowDestroyedWhileSubclassedLetsGoOfItsSubclasses) {
  HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  int notices = 0;
  std::string trace;
  TWindowSubclass kept;
  kept.OnWindowDestroyed = [&] { ++notices; };
  ASSERT_TRUE(kept.Attach(edit, [&](UINT msg, WPARAM wp, LPARAM lp) { return kept.CallNext(msg, wp, lp); }));
  Create<TSelfFreeing>(edit, trace);
  ::DestroyWindow(edit);
  EXPECT_EQ(trace, "freed;returned;deleted;");
  EXPECT_EQ(notices, 1);
  EXPECT_FALSE(kept.Attached());
  kept.Remove();  // harmless once the window is gone
  EXPECT_FALSE(kept.Attach(edit, [](UINT, WPARAM, LPARAM) { return LRESULT{0}; }));
}

TEST(SubclassLeaks, SubclassingAndDestroyingWindowsLeavesNothingBehind) {
  auto cycle = [] {
    for (int i = 0; i < 50; ++i) {
      HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
      TWindowSubclass first, second;
      first.Attach(edit, [&](UINT m, WPARAM w, LPARAM l) { return first.CallNext(m, w, l); });
      second.Attach(edit, [&](UINT m, WPARAM w, LPARAM l) { return second.CallNext(m, w, l); });
      if (i % 2) first.Remove();
      ::DestroyWindow(edit);
    }
  };
  cycle();
  EXPECT_EQ(UserHandlesLeaked(cycle), 0);
}
