// What differs between platform versions: the version flags, computed once,
// and the user32 functions older systems lack, looked up by name at run
// time instead of being imported.
#pragma once

#include <string>

#include "framework/Win32Handles.h"

namespace nuvskin {

// The NT family (platform id 2), as opposed to the 9x family.
bool IsWinNT();
// The 9x family, version 4.0.
bool IsWin95();
// The NT family with major version at least 5 and minor version at least 1
// (5.1, 5.2, 6.1 are; 6.0 and 10.0 are not).
bool IsWinXPOrAbove();
// The NT family, version 6.0.
bool IsWinVista();

struct PlatformFlags {
  bool nt = false;  // the NT family
  bool win95 = false, winXPOrAbove = false, winVista = false;
};
// The flags for a version as GetVersionExA reports it (platform 1: 9x, 2: NT).
PlatformFlags PlatformFlagsOf(DWORD platformId, DWORD major, DWORD minor);

// GetScrollBarInfo, GetComboBoxInfo and GetAncestor, or 0 when unavailable.
// One failed look-up disables all three for the rest of the run.
BOOL SafeGetScrollBarInfo(HWND wnd, LONG objectId, SCROLLBARINFO& info);
BOOL SafeGetComboBoxInfo(HWND wnd, COMBOBOXINFO& info);
HWND SafeGetAncestor(HWND wnd, UINT flags);
// The window's text without sending it a message (InternalGetWindowText);
// empty on the 9x family or when the function is missing.
std::wstring GetWindowTextInternal(HWND wnd);

// Test seam, for tests only: forgets the three looked-up entries and the
// unavailable flag, and looks up `names` (GetScrollBarInfo, GetComboBoxInfo,
// GetAncestor) from now on; nullptr restores the real names.
void SetUser32LookupNamesForTesting(const char* const* names);
// The shared unavailable flag.
bool User32LookupsUnavailable();

}  // namespace nuvskin
