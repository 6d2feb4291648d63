#include "foundation/sync/sleepMilliseconds.h"

#include "foundation/sync/getTickCount.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

// Not a timing assertion: the sleep promises at least its length of the
// tick, however late the machine wakes it.
TEST(sleepMillisecondsTest, LastsAtLeastItsLengthOfTheTick)
{
    for (uint32_t ms : {0u, 1u, 17u, 40u}) {
        const int64_t start = getTickCount();
        sleepMilliseconds(ms);
        EXPECT_GE(getTickCount() - start, int64_t(ms)) << ms;
    }
}

} // namespace
} // namespace lumo
