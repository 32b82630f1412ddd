// Placing controls on the demo's forms at run time.
#pragma once

#include <cstddef>
#include <type_traits>

#include "framework/Forms.h"

namespace nuvskin::demo {

// A control on `parent`, owned by the form as the controls of a designed
// form are; `setup` runs before the bounds are set, for the properties (a
// scroll bar's Kind...) that turn a control's shape around.
template <class T, class Setup = std::nullptr_t>
T* Place(TWinControl* parent, int left, int top, int width, int height, Setup setup = nullptr) {
  TComponent* owner = GetParentForm(parent);
  T* control = Create<T>(owner ? owner : static_cast<TComponent*>(parent));
  if constexpr (!std::is_null_pointer_v<Setup>) setup(control);
  control->SetBounds(left, top, width, height);
  control->SetParent(parent);
  return control;
}

}  // namespace nuvskin::demo
