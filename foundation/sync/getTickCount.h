#pragma once

#include <cstdint>

namespace lumo {

// Milliseconds of the system's monotonic clock (CLOCK_MONOTONIC on POSIX):
// never goes back and does not follow changes of the wall clock. The clock
// of every tick the platform layer takes: pipe end ticks and deadlines.
int64_t getTickCount();

} // namespace lumo
