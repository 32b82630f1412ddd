// The built-in skin: the container bytes packed from skins/default at build
// time, so that an engine has a skin without any skin file.
#pragma once

#include <cstdint>
#include <span>

namespace nuvskin {

std::span<const std::uint8_t> BuiltInSkinData();

}  // namespace nuvskin
