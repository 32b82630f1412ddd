// An owning pointer for framework objects that frees them the framework's
// way (TObject::Free, so BeforeDestruction runs), for temporaries that must
// go on every path.
#pragma once

#include <memory>

#include "framework/ObjectModel.h"

namespace nuvskin {

struct ObjectFreer {
  void operator()(TObject* object) const { TObject::Free(object); }
};

template <class T>
using OwnedObject = std::unique_ptr<T, ObjectFreer>;

}  // namespace nuvskin
