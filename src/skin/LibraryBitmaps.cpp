#include "skin/LibraryBitmaps.h"

#include <windows.h>

#include "framework/SysUtils.h"

namespace nuvskin {

std::span<const std::uint8_t> LibraryBitmapFile(const std::wstring& name) {
  if (name == kMenuCheckedBitmap) return detail::MenuCheckedBmp();
  if (name == kMdiControlerBitmap) return detail::MdiControlerBmp();
  return {};
}

void LoadLibraryBitmap(TBitmap* bitmap, const std::wstring& name) {
  const std::span<const std::uint8_t> file = LibraryBitmapFile(name);
  if (file.empty()) throw EInvalidGraphic("Unknown library bitmap " + WideToUtf8(name));
  if (!bitmap) return;
  // A static library has no resource section of its own: the program's
  // resources are the only ones there are, and they may replace ours.
  HMODULE program = ::GetModuleHandleW(nullptr);
  bool loaded = false;
  if (::FindResourceW(program, name.c_str(), RT_BITMAP)) {
    try {
      bitmap->LoadFromResourceName(program, name);
      loaded = true;
    } catch (const EInvalidGraphic&) {  // a damaged resource: the library's copy still serves
    }
  }
  if (!loaded) bitmap->LoadFromBytes(file.data(), file.size());
  bitmap->SetTransparentColor(clWhite);
  bitmap->SetTransparent(true);
}

}  // namespace nuvskin
