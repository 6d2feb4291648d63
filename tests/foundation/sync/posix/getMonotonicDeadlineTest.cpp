#include "foundation/sync/posix/getMonotonicDeadline.h"

#include <gtest/gtest.h>

#include <utility>

namespace lumo::posix {
namespace {

constexpr int64_t hourMs = 3600000;

timespec readMonotonicClock()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

bool hasPassed(const timespec& deadline)
{
    const timespec now = readMonotonicClock();
    return std::make_pair(now.tv_sec, now.tv_nsec) >= std::make_pair(deadline.tv_sec, deadline.tv_nsec);
}

// The ticks that end pipe waits and the deadlines the waits of this backend
// take must be one clock, or a deadline handed down would mean another moment.
TEST(getMonotonicDeadlineTest, TicksCountTheClockThatWaitsTake)
{
    const int64_t before = getTickCount();
    const timespec clock = readMonotonicClock();
    const int64_t after = getTickCount();
    const int64_t clockMs = int64_t(clock.tv_sec) * 1000 + clock.tv_nsec / 1000000;
    EXPECT_LE(before, clockMs);
    EXPECT_LE(clockMs, after);
}

TEST(getMonotonicDeadlineTest, DeadlinesPassAsTheirTicksSay)
{
    for (int64_t fromNowMs : {-hourMs, int64_t(0), hourMs}) {
        const timespec deadline = toMonotonicTime(getTickCount() + fromNowMs);
        EXPECT_EQ(fromNowMs <= 0, hasPassed(deadline)) << fromNowMs;
        EXPECT_LT(deadline.tv_nsec, 1000000000L) << fromNowMs;
    }
}

} // namespace
} // namespace lumo::posix
