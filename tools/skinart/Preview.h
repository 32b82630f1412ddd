// PNG previews of the skins for looking at the art: every bitmap scaled up,
// and a window composed from the pieces the way the painters put them
// together (title bar, caption buttons, borders, menu, controls).
#pragma once

#include <filesystem>
#include <vector>

#include "SkinSource.h"

namespace nuvskin::skinart {

// Writes <skin>-bitmaps.png and <skin>-window.png (twice the size) for each
// skin into `folder`. Returns the paths written.
std::vector<std::filesystem::path> WritePreviews(const std::vector<SkinSource>& skins,
                                                 const std::filesystem::path& folder);

}  // namespace nuvskin::skinart
