// Bookkeeping that lets owner-drawn menu items find their image list, and
// the separator line of the menu painter.
#pragma once

#include "framework/Classes.h"
#include "framework/Menus.h"

namespace nuvskin {

// Unit-level lists, alive for the whole program: items registered by
// AssignMenuItemHandlers and, at the same position, the image list
// registered with each. A freed item or image list drops its registrations,
// so that no look-up can hand out a freed list.
TList* TopMenuItems();
TList* TopMenuItemImages();

// Sets the item's OnMeasureItem and OnDrawItem, registers it when its parent
// is a named top-level item with SubMenuImages, and does the same for all
// sub-items, depth first in index order. A repeated call registers again.
void AssignMenuItemHandlers(TMenuItem* item, const TMenuMeasureItemEvent& onMeasure,
                            const TMenuDrawItemEvent& onDraw);

// The item has a parent, a name, and its parent is the root of its menu.
bool IsTopLevelMenuItem(const TMenuItem* item);

// The image list whose images the item shows: the one registered with it
// (when it is a top-level item now), the nearest SubMenuImages or
// registration up its parents, else its menu's Images (or nullptr).
TCustomImageList* GetMenuItemImages(const TMenuItem* item);

// A line at rect.top + 2 across the item, leaving out the bar of
// `barWidth` on the left (`barOnLeft`) or on the right.
void DrawMenuSeparator(TCanvas* canvas, const RECT& rect, TColor color, int barWidth, bool barOnLeft);

}  // namespace nuvskin
