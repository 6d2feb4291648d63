#include "platform/IForkServer.h"

namespace lumo {

// Windows has no fork: its slaves start one program each.
bool isForkServerAvailable() { return false; }

P<IForkServer> createForkServer(const P<IPipeClient>&) { return nullptr; }

} // namespace lumo
