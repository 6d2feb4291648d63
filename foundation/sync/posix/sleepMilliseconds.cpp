#include "foundation/sync/sleepMilliseconds.h"

#include "foundation/sync/posix/getMonotonicDeadline.h"

#include <cerrno>

namespace lumo {

void sleepMilliseconds(uint32_t ms)
{
    // An absolute deadline, so that a sleep resumed after a signal ends when it would have.
    const timespec deadline = posix::getMonotonicDeadline(ms);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

} // namespace lumo
