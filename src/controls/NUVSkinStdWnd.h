// The skins of raw child windows (dialogs and other windows the application
// did not create). The controls' unit (ControlSkinsUnit.cpp) enters them in
// the window-class table (RegisterWndControlSkins) when the library starts.
#pragma once

#include "controls/SkinButtons.h"
#include "controls/SkinCheckBoxes.h"
#include "controls/SkinControl.h"
