// The one edge between the system's callbacks and the library's code. Every
// window, hook, timer and enumeration procedure runs its body through these
// guards, so that no exception unwinds into the system and every failure is
// reported the same way.
#pragma once

#include <exception>
#include <utility>

#include "framework/Win32.h"

namespace nuvskin {

// Reports the exception being handled (call it only inside a catch block)
// through the application's exception handling. While the thread is painting
// or inside a hook procedure the report waits until that message is done: a
// message box there would run a modal loop in the middle of the system's own
// processing, and a failing paint would open one box after the other.
void ReportCallbackException() noexcept;

// Messages sent while a window or a menu paints.
bool IsPaintMessage(UINT msg);

// While one of these lives on the thread, reports are deferred (see above).
class DeferredReportScope {
 public:
  explicit DeferredReportScope(bool active = true) noexcept;
  ~DeferredReportScope();
  DeferredReportScope(const DeferredReportScope&) = delete;
  DeferredReportScope& operator=(const DeferredReportScope&) = delete;

 private:
  bool active_;
};

// Reports the deferred exceptions now; the application's hidden window does
// this when the message posted for them arrives.
void ReportDeferredExceptions() noexcept;

// Runs `body`; when it raises, reports the error and answers `onFailure`.
template <class R, class F>
R GuardCallback(R onFailure, F&& body) noexcept {
  try {
    return std::forward<F>(body)();
  } catch (...) {
    ReportCallbackException();
    return onFailure;
  }
}

// The same for the body of a window procedure handling `msg`.
template <class F>
LRESULT GuardWindowMessage(UINT msg, LRESULT onFailure, F&& body) noexcept {
  DeferredReportScope painting(IsPaintMessage(msg));
  return GuardCallback(onFailure, std::forward<F>(body));
}

// The same for a hook procedure.
template <class R, class F>
R GuardHook(R onFailure, F&& body) noexcept {
  DeferredReportScope hook;
  return GuardCallback(onFailure, std::forward<F>(body));
}

// Enumeration callbacks (EnumChildWindows and the like): the first exception
// stops the enumeration and is raised again by Rethrow once the system call
// has returned.
//
//   EnumerationGuard guard;
//   ::EnumChildWindows(parent, Proc, reinterpret_cast<LPARAM>(&context));  // Proc calls guard.Run
//   guard.Rethrow();
class EnumerationGuard {
 public:
  template <class F>
  BOOL Run(F&& body) noexcept {
    if (error_) return FALSE;
    try {
      return std::forward<F>(body)() ? TRUE : FALSE;
    } catch (...) {
      error_ = std::current_exception();
      return FALSE;
    }
  }
  void Rethrow() {
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
  }

 private:
  std::exception_ptr error_;
};

}  // namespace nuvskin
