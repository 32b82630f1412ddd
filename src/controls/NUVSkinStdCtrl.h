// The skins of framework controls. Each control skin registers itself in
// the framework-class table (RegisterControlSkins) when its unit starts.
#pragma once

#include "controls/SkinControl.h"
