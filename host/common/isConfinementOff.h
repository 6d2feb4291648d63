#pragma once

namespace nebo::common {

// True when the environment says NEBO_SANDBOX=off: slaves then run without
// any confinement, which master and slave both read from the same
// variable. Reads the environment on each call.
bool isConfinementOff();

} // namespace nebo::common
