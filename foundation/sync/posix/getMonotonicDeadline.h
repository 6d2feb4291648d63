#pragma once

#include <cstdint>
#include <ctime>

namespace lumo::posix {

// The moment `timeoutMs` from now on the monotonic clock. Waits take it as
// an absolute time, so that retrying after an interruption does not
// lengthen them and changes of the wall clock do not move them.
inline timespec getMonotonicDeadline(uint32_t timeoutMs)
{
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += timeoutMs / 1000;
    deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    return deadline;
}

} // namespace lumo::posix
