// The engine's process-wide objects: the class-name lists the window hook
// and the bindings consult, and the two image lists of skinned menus. They
// exist from the start of the library to its end (framework/Units.h), once
// per process, shared by every engine.
#pragma once

#include "framework/Classes.h"
#include "framework/ImgList.h"

namespace nuvskin {

// Window class names whose windows are skinned when activated; compared
// without regard to case, and only ever grows.
TStringList* AutoSkinClassNames();
// Control class names whose borders are not skinned.
TStringList* BorderExemptClassNames();
// Control class names that never get a control skin.
TStringList* ChildExemptClassNames();
// Adds a window class name to AutoSkinClassNames unless it is there.
void AddAutoSkinClassName(const std::wstring& name);

// The check mark of checked menu items (one 16 x 16 image): the library's
// "NUVSKIN_MENU_CHECKED" until a skin brings its own.
TCustomImageList* CheckedMenuImages();
// The empty image list given to main menus that have none.
TCustomImageList* DefaultMenuImages();

}  // namespace nuvskin
