#include "platform/IProcessHandle.h"

namespace lumo {

// Windows has no fork: its slaves start one program each.
P<IProcessHandle> openProcessHandle(uint32_t, uint32_t) { return nullptr; }

} // namespace lumo
