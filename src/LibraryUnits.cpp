// The library's units, bottom layer first: they start in this order and
// end in reverse (see framework/Units.h). A layer that keeps process-wide
// state adds its unit here, never through a self-registering static object,
// which a static link would silently leave out.
#include "framework/Units.h"

namespace nuvskin {

void InitializeFormsUnit();
void FinalizeFormsUnit();
void InitializeMenuHelpersUnit();
void FinalizeMenuHelpersUnit();
void InitializeEngineUnit();
void FinalizeEngineUnit();
void InitializeControlSkinsUnit();
void FinalizeControlSkinsUnit();

const UnitEntry kLibraryUnits[] = {
    {"Forms", InitializeFormsUnit, FinalizeFormsUnit},
    {"MenuHelpers", InitializeMenuHelpersUnit, FinalizeMenuHelpersUnit},
    {"NUVSkinEngine", InitializeEngineUnit, FinalizeEngineUnit},
    {"NUVSkinStdCtrl", InitializeControlSkinsUnit, FinalizeControlSkinsUnit},
};
const std::size_t kLibraryUnitCount = sizeof(kLibraryUnits) / sizeof(kLibraryUnits[0]);

}  // namespace nuvskin
