#include "foundation/sync/getTickCount.h"

#include <chrono>

namespace lumo {

int64_t getTickCount()
{
    // The standard library's steady clock is the monotonic clock.
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace lumo
