// The thread CBT hook that catches new top-level windows: on activation it
// decides by window class whether the window gets a frame skin; at creation
// it refuses the size grips of skinned dialogs.
#pragma once

#include "framework/Forms.h"

namespace nuvskin {

class TnuvSkinEngine;

// Installs the hook on this thread for `engine` when no hook is installed;
// true when this engine became the hook's engine.
bool InstallWindowHook(TnuvSkinEngine* engine);
// Removes the hook when `engine` is the hook's engine.
void RemoveWindowHook(TnuvSkinEngine* engine);
// The engine the hook serves, or nullptr.
TnuvSkinEngine* HookEngine();

// The raw window destroyed last while skinned: the platform may still report
// its activation, which the hook then ignores once.
void SetLastDestroyedRawWindow(HWND wnd);
HWND LastDestroyedRawWindow();
// The form whose binding is being created by SkinForm (nullptr otherwise).
TCustomForm* FormBeingAttached();
void SetFormBeingAttached(TCustomForm* form);

}  // namespace nuvskin
