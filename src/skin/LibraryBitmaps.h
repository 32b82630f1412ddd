// The two bitmaps the library carries itself: the check mark of checked menu
// items before a skin supplies one, and the glyphs of the MDI buttons.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "framework/Graphics.h"

namespace nuvskin {

// 16 x 16, 16 colours: a green check mark with a dark grey shadow on white.
inline constexpr wchar_t kMenuCheckedBitmap[] = L"NUVSKIN_MENU_CHECKED";
// 48 x 16, 1 bit: minimize, restore and close glyphs, black on white.
inline constexpr wchar_t kMdiControlerBitmap[] = L"NUVSKIN_MDI_CONTROLER";

// Loads one of the two by name into `bitmap`, transparent with white as the
// transparent colour. The program's own bitmap resource of that name wins
// (so that an application can draw its own); otherwise, or when that
// resource is not a valid bitmap, the library's copy is used. Any other name
// raises EInvalidGraphic and leaves the bitmap as it was; a nullptr bitmap
// does nothing.
void LoadLibraryBitmap(TBitmap* bitmap, const std::wstring& name);

// The BMP file the library carries under `name`; empty for any other name.
std::span<const std::uint8_t> LibraryBitmapFile(const std::wstring& name);

namespace detail {
// Generated at build time from skins/system/.
std::span<const std::uint8_t> MenuCheckedBmp();
std::span<const std::uint8_t> MdiControlerBmp();
}  // namespace detail

}  // namespace nuvskin
