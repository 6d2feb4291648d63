#pragma once

#include "foundation/String.h"

namespace lumo {

// Removes what the system keeps of the global mutex `name` after its last object went: POSIX keeps its shared memory
// until restart, Windows closes the named mutex with its last handle and keeps nothing.
void forgetGlobalMutex(const String& name);

} // namespace lumo
