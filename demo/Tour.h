// Screenshot mode: runs each scene of the gallery, writes a PNG of it and
// moves on, so the gallery can be looked at without a display.
#pragma once

#include <filesystem>

#include "GalleryForm.h"

namespace nuvskin::demo {

// Writes one PNG per scene into `dir` and prints the paths; returns 0 when
// every scene was captured.
int RunScreenshotTour(TGalleryForm* gallery, const std::filesystem::path& dir);

}  // namespace nuvskin::demo
