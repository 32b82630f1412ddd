// What the framework's common-control classes share: their border style.
#pragma once

#include "framework/Forms.h"

namespace nuvskin {

// The client-edge border of the classic framework's bordered controls.
inline DWORD BorderExStyle(TBorderStyle style) { return style == bsSingle ? WS_EX_CLIENTEDGE : 0; }

// Publishes a control's "BorderStyle" under the type name "TBorderStyle"
// (only bsNone and bsSingle are used).
template <class C>
void PublishBorderStyle(ClassBuilder<C>& b) {
  b.Enum("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, "TBorderStyle");
}

}  // namespace nuvskin
