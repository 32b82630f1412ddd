#include "framework/CommonControls.h"

#include <mutex>

namespace nuvskin {

void InitCommonControlClasses(DWORD icc) {
  static std::mutex lock;
  static DWORD loaded = 0;
  std::lock_guard<std::mutex> guard(lock);
  if ((loaded & icc) == icc) return;
  INITCOMMONCONTROLSEX init{sizeof(init), icc};
  if (::InitCommonControlsEx(&init)) loaded |= icc;
}

void ChangeWindowStyle(HWND wnd, DWORD bits, bool set) {
  if (!wnd) return;
  const LONG_PTR style = ::GetWindowLongPtrW(wnd, GWL_STYLE);
  const LONG_PTR changed = set ? (style | bits) : (style & ~static_cast<LONG_PTR>(bits));
  if (changed == style) return;
  ::SetWindowLongPtrW(wnd, GWL_STYLE, changed);
  ::SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ::InvalidateRect(wnd, nullptr, TRUE);
}

}  // namespace nuvskin
