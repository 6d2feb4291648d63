#pragma once

#include <cstdint>

namespace lumo {

// Milliseconds of the system's monotonic clock: never goes back and does not
// follow changes of the wall clock. The one clock of the code base: every
// tick, end tick and deadline is counted in it, and the waits of the
// synchronisation backend take their deadlines from it, so that a deadline
// handed from one layer to another means the same moment in both. Never throws.
int64_t getTickCount();

} // namespace lumo
