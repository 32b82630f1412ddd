// Skins of skins/ that the gallery switches to, packed at build time and
// linked in as container bytes.
#pragma once

#include <cstdint>
#include <span>

namespace nuvskin::demo {

// skins/threesect: three-section title, three-part bottom border, a menu bar.
std::span<const std::uint8_t> ThreeSectSkinData();

}  // namespace nuvskin::demo
