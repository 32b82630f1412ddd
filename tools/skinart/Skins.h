// The skins the program draws: the built-in skin and the two test skins,
// and writing all of them (with the library's own bitmaps) to a folder.
#pragma once

#include <filesystem>
#include <vector>

#include "SkinSource.h"

namespace nuvskin::skinart {

// The built-in skin ("default"), a three-section skin in a graphite theme
// that takes the other frame code paths ("threesect"), and the built-in
// skin with a thumb that switches on the whole-thumb mode ("wholethumb").
std::vector<SkinSource> BuildSkins();

// Writes every skin folder and "system/" (menu_checked.bmp,
// mdi_controler.bmp) under `root`. Throws std::runtime_error on I/O errors.
void WriteSkinArt(const std::filesystem::path& root);

}  // namespace nuvskin::skinart
