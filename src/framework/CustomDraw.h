// The state of an item in a common control's custom draw (NM_CUSTOMDRAW), as
// the framework's custom-draw events receive it.
#pragma once

#include "framework/ObjectModel.h"

#include <commctrl.h>

namespace nuvskin {

enum TCustomDrawStateFlag { cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot,
                            cdsMarked, cdsIndeterminate };
NUV_ENUM(TCustomDrawStateFlag, "cdsSelected", "cdsGrayed", "cdsDisabled", "cdsChecked", "cdsFocused", "cdsDefault",
         "cdsHot", "cdsMarked", "cdsIndeterminate");
using TCustomDrawState = Set<TCustomDrawStateFlag>;

// The CDIS_* bits of NMCUSTOMDRAW::uItemState as a state set.
inline TCustomDrawState CustomDrawStateFromItemState(UINT itemState) {
  TCustomDrawState s;
  if (itemState & CDIS_SELECTED) s.Include(cdsSelected);
  if (itemState & CDIS_GRAYED) s.Include(cdsGrayed);
  if (itemState & CDIS_DISABLED) s.Include(cdsDisabled);
  if (itemState & CDIS_CHECKED) s.Include(cdsChecked);
  if (itemState & CDIS_FOCUS) s.Include(cdsFocused);
  if (itemState & CDIS_DEFAULT) s.Include(cdsDefault);
  if (itemState & CDIS_HOT) s.Include(cdsHot);
  if (itemState & CDIS_MARKED) s.Include(cdsMarked);
  if (itemState & CDIS_INDETERMINATE) s.Include(cdsIndeterminate);
  return s;
}

}  // namespace nuvskin
