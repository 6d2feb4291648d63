#pragma once

namespace nebo::common {

// True when the environment says NEBO_SANDBOX=off: slaves then run
// unconfined. Master and slave both read it, anew on each call.
bool isConfinementOff();

} // namespace nebo::common
