// skinart: draws the built-in skin, the test skins and the library's own
// bitmaps, and writes them as skin sources (manifest.txt and BMP files).
//
//   skinart SKINS_DIR [--preview DIR]
//
// --preview also writes PNG previews (every bitmap enlarged, and a window
// composed from the pieces) to DIR for looking at the art.
#include <cstdio>
#include <exception>
#include <string>

#include "Preview.h"
#include "Skins.h"

int main(int argc, char** argv) {
  std::string skins, preview;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--preview" && i + 1 < argc) {
      preview = argv[++i];
    } else if (skins.empty() && !arg.empty() && arg[0] != '-') {
      skins = arg;
    } else {
      skins.clear();
      break;
    }
  }
  if (skins.empty()) {
    std::fprintf(stderr, "usage: skinart SKINS_DIR [--preview DIR]\n");
    return 2;
  }
  try {
    nuvskin::skinart::WriteSkinArt(skins);
    std::printf("wrote the skin sources to %s\n", skins.c_str());
    if (!preview.empty())
      for (const auto& path : nuvskin::skinart::WritePreviews(nuvskin::skinart::BuildSkins(), preview))
        std::printf("%s\n", path.string().c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skinart: %s\n", e.what());
    return 1;
  }
  return 0;
}
