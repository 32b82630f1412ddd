// The Windows headers as the framework includes them. A few of their
// function-name macros collide with framework member names (TStrings's
// GetObject, TCanvas's TextOut, the DeleteFile helper, the class registry's
// RegisterClass); they are removed
// here. Call the W or A function by its full name instead.
#pragma once

#include <windows.h>
#include <commctrl.h>

#undef GetObject
#undef DeleteFile
#undef TextOut
#undef RegisterClass
