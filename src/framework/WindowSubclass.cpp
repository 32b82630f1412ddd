#include "framework/WindowSubclass.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "framework/Callbacks.h"
#include "framework/ObjectModel.h"

namespace nuvskin {

struct SubclassedWindow;

namespace {

// Which windows this module routes, by handle. A window property would do
// the same, but reading one is a round trip to the window server on every
// message; the table is this module's own, so a program and a library of
// its own that both link nuvskin keep separate records on the same window.
class SubclassTable {
 public:
  SubclassedWindow* Find(HWND wnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = windows_.find(wnd);
    return it == windows_.end() ? nullptr : it->second;
  }
  void Add(HWND wnd, SubclassedWindow* w) {
    std::lock_guard<std::mutex> lock(mutex_);
    windows_[wnd] = w;
  }
  void Remove(HWND wnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    windows_.erase(wnd);
  }

 private:
  std::mutex mutex_;
  std::unordered_map<HWND, SubclassedWindow*> windows_;
};

SubclassTable& Table() {
  static auto* table = new SubclassTable();  // outlives every window
  return *table;
}

LRESULT CALLBACK SubclassProcW(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
LRESULT CALLBACK SubclassProcA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

}  // namespace

// Our one entry in a window's procedure chain and the subclasses behind it.
// It goes when the window dies, or when its last subclass is removed and the
// procedure in place is still ours; until then it passes messages on.
struct SubclassedWindow {
  HWND wnd = nullptr;
  bool unicode = false;
  WNDPROC previous = nullptr;
  // Oldest first; an entry removed while a message runs is nulled, and the
  // list is compacted once the outermost message has returned.
  std::vector<TWindowSubclass*> layers;
  // The layer whose handler runs, innermost call last.
  std::vector<std::size_t> running;
  int depth = 0;
  bool destroyed = false;

  static SubclassedWindow* Of(HWND wnd) {
    return wnd ? Table().Find(wnd) : nullptr;
  }

  WNDPROC OurProc() const { return unicode ? SubclassProcW : SubclassProcA; }

  bool OursInPlace() const {
    const LONG_PTR proc = unicode ? ::GetWindowLongPtrW(wnd, GWLP_WNDPROC) : ::GetWindowLongPtrA(wnd, GWLP_WNDPROC);
    return proc == reinterpret_cast<LONG_PTR>(OurProc());
  }

  LRESULT CallPrevious(UINT msg, WPARAM wp, LPARAM lp) const {
    return unicode ? ::CallWindowProcW(previous, wnd, msg, wp, lp) : ::CallWindowProcA(previous, wnd, msg, wp, lp);
  }

  // The newest live layer below `index`, or the procedure before ours.
  LRESULT CallBelow(std::size_t index, UINT msg, WPARAM wp, LPARAM lp) {
    while (index > 0) {
      --index;
      TWindowSubclass* layer = layers[index];
      if (!layer || !layer->handler_) continue;
      // Copies and a pin: the handler may remove the subclass or free its owner.
      ObjectPin pin(layer->keepAlive_);
      return GuardWindowMessage(msg, 0, [&] {
        const TWindowSubclass::Handler handler = layer->handler_;
        running.push_back(index);
        struct Pop {
          std::vector<std::size_t>& stack;
          ~Pop() { stack.pop_back(); }
        } pop{running};
        return handler(msg, wp, lp);
      });
    }
    return CallPrevious(msg, wp, lp);
  }

  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    ++depth;
    const LRESULT result = CallBelow(layers.size(), msg, wp, lp);
    if (msg == WM_NCDESTROY) WindowDestroyed();
    if (--depth == 0) Settle();  // may delete this
    return result;
  }

  // After the window's last message: every subclass lets go of it.
  void WindowDestroyed() {
    destroyed = true;
    Table().Remove(wnd);
    std::vector<std::function<void()>> notices;
    for (TWindowSubclass*& layer : layers) {
      if (!layer) continue;
      layer->wnd_ = nullptr;
      layer->lastWnd_ = nullptr;
      GuardCallback(0, [&] {
        if (layer->OnWindowDestroyed) notices.push_back(layer->OnWindowDestroyed);
        return 0;
      });
      layer = nullptr;
    }
    // A notice may free its subclass: none of them is touched any more.
    for (const auto& notice : notices) GuardCallback(0, [&] {
        notice();
        return 0;
      });
  }

  // Once no message runs: drop removed layers, and go when nothing needs us.
  void Settle() {
    if (destroyed) {
      delete this;
      return;
    }
    layers.erase(std::remove(layers.begin(), layers.end(), nullptr), layers.end());
    if (!layers.empty() || !OursInPlace()) return;  // subclassed over: pass messages on
    if (unicode)
      ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    else
      ::SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    Table().Remove(wnd);
    delete this;
  }
};

namespace {

LRESULT Route(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, bool unicode) noexcept {
  if (SubclassedWindow* w = SubclassedWindow::Of(wnd)) return w->Dispatch(msg, wp, lp);
  return unicode ? ::DefWindowProcW(wnd, msg, wp, lp) : ::DefWindowProcA(wnd, msg, wp, lp);
}

LRESULT CALLBACK SubclassProcW(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  return Route(wnd, msg, wp, lp, true);
}

LRESULT CALLBACK SubclassProcA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  return Route(wnd, msg, wp, lp, false);
}

}  // namespace

TWindowSubclass::~TWindowSubclass() { Remove(); }

bool TWindowSubclass::Attach(HWND wnd, Handler handler, TObject* keepAlive) {
  if (wnd_ || !wnd || !::IsWindow(wnd) || !handler) return false;
  SubclassedWindow* w = SubclassedWindow::Of(wnd);
  if (w && w->destroyed) return false;
  if (!w) {
    auto fresh = std::make_unique<SubclassedWindow>();
    fresh->wnd = wnd;
    fresh->unicode = ::IsWindowUnicode(wnd) != FALSE;
    fresh->layers.reserve(2);
    Table().Add(wnd, fresh.get());
    const LONG_PTR previous =
        fresh->unicode ? ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fresh->OurProc()))
                       : ::SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fresh->OurProc()));
    if (!previous) {  // a window of another process, or one that refuses
      Table().Remove(wnd);
      return false;
    }
    fresh->previous = reinterpret_cast<WNDPROC>(previous);
    w = fresh.release();
  }
  w->layers.push_back(this);
  wnd_ = wnd;
  lastWnd_ = wnd;
  unicode_ = w->unicode;
  handler_ = std::move(handler);
  keepAlive_ = keepAlive;
  return true;
}

void TWindowSubclass::Remove() {
  SubclassedWindow* w = SubclassedWindow::Of(wnd_);
  wnd_ = nullptr;
  if (!w) return;
  std::replace(w->layers.begin(), w->layers.end(), this, static_cast<TWindowSubclass*>(nullptr));
  if (w->depth == 0) w->Settle();
}

LRESULT TWindowSubclass::CallNext(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Also from a handler that removed its subclass: the call goes on below it.
  for (HWND wnd : {wnd_, lastWnd_}) {
    SubclassedWindow* w = SubclassedWindow::Of(wnd);
    if (w && !w->running.empty()) return w->CallBelow(w->running.back(), msg, wParam, lParam);
  }
  return 0;
}

}  // namespace nuvskin
