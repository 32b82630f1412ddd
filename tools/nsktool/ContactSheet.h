// A contact sheet of a skin's bitmaps for skin authors: every bitmap scaled
// up by an integer factor, labelled with its name and size, on a checker
// background that shows where the pieces end.
#pragma once

#include "image/Image.h"
#include "skin/format/Sk2File.h"

namespace nuvskin::nsktool {

// Integer zoom for a bitmap of this size: small pieces grow up to 8 times,
// large ones stay at 1.
int SheetScale(int width, int height);

// The sheet of every decodable bitmap record in chain order; bitmaps that do
// not decode get a labelled placeholder.
image::Image MakeContactSheet(const format::Sk2File& skin);

}  // namespace nuvskin::nsktool
