#include <cstdio>
#include <cstring>
#include <exception>

#include "Version.h"
#include "skin/LibraryBitmaps.h"

// The library's own bitmaps must reach a program built against the installed
// package with nothing else to do.
int main() {
  const char* version = nuvskin::LibraryVersion();
  std::printf("nuvskin %s\n", version);
  try {
    nuvskin::TBitmap mark, glyphs;
    nuvskin::LoadLibraryBitmap(&mark, nuvskin::kMenuCheckedBitmap);
    nuvskin::LoadLibraryBitmap(&glyphs, nuvskin::kMdiControlerBitmap);
    std::printf("check mark %dx%d, MDI glyphs %dx%d\n", mark.Width(), mark.Height(), glyphs.Width(), glyphs.Height());
    const bool sizes = mark.Width() == 16 && mark.Height() == 16 && glyphs.Width() == 48 && glyphs.Height() == 16;
    return std::strlen(version) > 0 && sizes ? 0 : 1;
  } catch (const std::exception& e) {
    std::printf("error: %s\n", e.what());
    return 1;
  }
}
