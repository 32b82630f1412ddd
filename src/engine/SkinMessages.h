// The engine's private window messages: its only channel between skinned
// windows, frame skins and control skins.
#pragma once

#include "framework/Win32.h"

namespace nuvskin {

// Answered 1 by skinned windows and controls, 0 by all others.
inline constexpr UINT WM_NUVSKIN_QUERY = 0x2AAA;
// 1 when the frame is drawn active, 2 when inactive.
inline constexpr UINT WM_NUVSKIN_QUERYACTIVE = 0x2AAB;
// A control skin repaints its face.
inline constexpr UINT WM_NUVSKIN_REPAINT = 0x2AAC;
// An MDI frame repaints its frame.
inline constexpr UINT WM_NUVSKIN_MDIMAXCHANGED = 0x2AAD;
// MDI child menu report.
inline constexpr UINT WM_NUVSKIN_CHILDMENU = 0x83E8;
// Height of the skinned menu bar.
inline constexpr UINT WM_NUVSKIN_MENUBARHEIGHT = 0x83E9;
// MDI coordination between a main form and its children.
inline constexpr UINT WM_NUVSKIN_WINDOWLIST = 0x83EA;
inline constexpr UINT WM_NUVSKIN_MDITITLE = 0x83EB;
inline constexpr UINT WM_NUVSKIN_MDISIDE = 0x83EC;
inline constexpr UINT WM_NUVSKIN_MDIBOTTOM = 0x83ED;
inline constexpr UINT WM_NUVSKIN_ISHIDDEN = 0x83EE;

}  // namespace nuvskin
