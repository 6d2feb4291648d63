#include "platform/getTickCount.h"

#include <gtest/gtest.h>

#include <ctime>

namespace lumo {
namespace {

int64_t monotonicMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Pipe end ticks and deadlines are compared with ticks taken elsewhere: all
// must come from the one monotonic clock.
TEST(getTickCountTest, CountsTheMillisecondsOfTheMonotonicClock)
{
    for (int i = 0; i < 100; ++i) {
        const int64_t before = monotonicMilliseconds();
        const int64_t tick = getTickCount();
        const int64_t after = monotonicMilliseconds();
        ASSERT_LE(before, tick);
        ASSERT_LE(tick, after);
    }
}

} // namespace
} // namespace lumo
