#include "Version.h"

namespace nuvskin {

const char* LibraryVersion() { return NUVSKIN_VERSION_STRING; }

}  // namespace nuvskin
