// The library's own version (not the skin engine's streamed Version property).
#pragma once

namespace nuvskin {

// "major.minor.patch" of this build, from the CMake project version.
const char* LibraryVersion();

}  // namespace nuvskin
