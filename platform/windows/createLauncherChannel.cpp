#include "platform/ILauncherChannel.h"

namespace lumo {

// Windows has no fork: its slaves start one program each.
P<ILauncherChannel> createLauncherChannel(const P<IPipeClient>&, uint32_t) { return nullptr; }

} // namespace lumo
