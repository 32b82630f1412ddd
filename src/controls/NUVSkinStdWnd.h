// The skins of raw child windows (dialogs and other windows the application
// did not create). Each registers itself in the window-class table
// (RegisterWndControlSkins) when its unit starts.
#pragma once

#include "controls/SkinControl.h"
