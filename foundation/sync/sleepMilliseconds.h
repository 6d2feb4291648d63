#pragma once

#include <cstdint>

namespace lumo {

// Suspends the calling thread for `ms` milliseconds of the monotonic clock
// (getTickCount); an interruption by a signal does not shorten the sleep.
// Never throws.
void sleepMilliseconds(uint32_t ms);

} // namespace lumo
