// The test skins of skins/, packed at build time and linked into the tests
// as container bytes.
#pragma once

#include <cstdint>
#include <span>

namespace nuvskin::test {

// skins/wholethumb: the built-in skin with a thumb drawn whole.
std::span<const std::uint8_t> WholeThumbSkinData();
// skins/threesect: three-section title, three-part bottom border, a menu bar.
std::span<const std::uint8_t> ThreeSectSkinData();

}  // namespace nuvskin::test
