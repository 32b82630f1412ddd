// The drawing toolkit: bitmap and canvas primitives, the window region,
// text, font, window and menu helpers; with the skin reader and the
// composite resources the painters draw from, and the library's own bitmaps.
#pragma once

#include "draw/BitmapPrimitives.h"
#include "draw/CanvasPrimitives.h"
#include "draw/MenuHelpers.h"
#include "draw/PlatformFunctions.h"
#include "draw/SkinRegion.h"
#include "draw/TextAndFonts.h"
#include "draw/WindowHelpers.h"
#include "skin/LibraryBitmaps.h"
#include "skin/SkinReader.h"
#include "skin/SkinResources.h"
