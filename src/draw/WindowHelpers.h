// Window and form helpers of the painters: published properties by name,
// whether a form is drawn active, work areas, bounds and point tests.
#pragma once

#include <string_view>

#include "framework/Forms.h"

namespace nuvskin {

// The object's class publishes a property of that name.
bool HasPublishedProperty(const TObject* object, std::string_view name);

// Whether a skinned form is drawn active: its frame skin's answer to
// WM_NUVSKIN_QUERYACTIVE when it gives one, else from the application's
// state, the main form and MDI activation.
bool IsFormActive(TCustomForm* form);

// The work area of the monitor nearest to the window (of the primary
// display when the application has no main form), one pixel shorter.
void GetWorkArea(HWND wnd, RECT& rect);

// Left, Top, Width and Height of the form, in this order.
void SetFormBounds(TCustomForm* form, const RECT& rect);

// All four edges count as inside.
bool PointInRect(int x, int y, const RECT& rect);
bool PointInRect(POINT point, const RECT& rect);

// The first form of the screen's list with this window handle, or nullptr.
TCustomForm* FindFormByHandle(HWND wnd);

}  // namespace nuvskin
