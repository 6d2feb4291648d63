#pragma once

#include "foundation/sync/getTickCount.h"

#include <cstdint>
#include <ctime>

namespace lumo::posix {

// A tick (getTickCount) as the absolute CLOCK_MONOTONIC time that timed waits
// take.
inline timespec toMonotonicTime(int64_t tick)
{
    return {static_cast<time_t>(tick / 1000), static_cast<long>(tick % 1000) * 1000000L};
}

// The moment `timeoutMs` from now, to the millisecond. Waits take it as an
// absolute time, so that retrying after an interruption does not lengthen
// them and changes of the wall clock do not move them.
inline timespec getMonotonicDeadline(uint32_t timeoutMs) { return toMonotonicTime(getTickCount() + timeoutMs); }

} // namespace lumo::posix
