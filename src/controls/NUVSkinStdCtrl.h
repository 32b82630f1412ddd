// The skins of framework controls. The controls' unit (ControlSkinsUnit.cpp)
// enters them in the framework-class table (RegisterControlSkins) when the
// library starts.
#pragma once

#include "controls/SkinButtons.h"
#include "controls/SkinCheckBoxes.h"
#include "controls/SkinControl.h"
