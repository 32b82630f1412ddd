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

}  // namespace nuvskin
