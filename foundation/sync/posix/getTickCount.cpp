#include "foundation/sync/getTickCount.h"

#include <ctime>

namespace lumo {

int64_t getTickCount()
{
    // The clock the condition variables and timed sleeps of this backend wait on.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace lumo
