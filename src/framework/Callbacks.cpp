#include "framework/Callbacks.h"

#include <memory>
#include <utility>
#include <vector>

#include "framework/Forms.h"
#include "framework/Messages.h"

namespace nuvskin {

namespace {

// More reports than this while one paint keeps failing are dropped: the
// first ones tell the story.
constexpr std::size_t kMaxDeferredReports = 8;

thread_local int tDeferDepth = 0;
// On the heap and dropped once reported: a thread_local object would be
// destroyed before the library's teardown, which may still report.
thread_local std::vector<std::exception_ptr>* tDeferred = nullptr;

void Report(const std::exception_ptr& error) noexcept {
  if (!Application) return;
  try {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      Application->HandleException(e);
    } catch (...) {
      Application->HandleException(Exception("Unknown error"));
    }
  } catch (...) {
    // The handler itself failed: nothing is left to tell.
  }
}

void PostReportRequest() {
  if (Application) ::PostMessageW(Application->Handle(), CM_DEFERREDREPORT, 0, 0);
}

void Defer(std::exception_ptr error) noexcept {
  try {
    if (!tDeferred) tDeferred = new std::vector<std::exception_ptr>;
    const bool first = tDeferred->empty();
    if (tDeferred->size() < kMaxDeferredReports) tDeferred->push_back(std::move(error));
    if (first) PostReportRequest();
  } catch (...) {
    // Out of memory while reporting: the report is lost, the program goes on.
  }
}

}  // namespace

bool IsPaintMessage(UINT msg) {
  switch (msg) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_SYNCPAINT:
    case WM_ERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

DeferredReportScope::DeferredReportScope(bool active) noexcept : active_(active) {
  if (active_) ++tDeferDepth;
}

DeferredReportScope::~DeferredReportScope() {
  if (active_) --tDeferDepth;
}

void ReportCallbackException() noexcept {
  std::exception_ptr error = std::current_exception();
  if (!error) return;
  if (tDeferDepth > 0)
    Defer(std::move(error));
  else
    Report(error);
}

void ReportDeferredExceptions() noexcept {
  if (!tDeferred) return;
  if (tDeferDepth > 0) {
    // Dispatched by a loop that runs inside painting: later.
    PostReportRequest();
    return;
  }
  std::unique_ptr<std::vector<std::exception_ptr>> pending(std::exchange(tDeferred, nullptr));
  for (const std::exception_ptr& error : *pending) Report(error);
}

}  // namespace nuvskin
