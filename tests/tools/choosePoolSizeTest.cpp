#include "tools/probe/choosePoolSize.h"

#include <gtest/gtest.h>

namespace nebo::probe {
namespace {

TEST(choosePoolSizeTest, OneSlavePerJobForTheMediaThatWaitUnlessTold)
{
    const struct {
        size_t media, jobs;
        int32_t expected;
    } cases[] = {
        {1, 1, 0},     // a single medium takes the slave it starts
        {2, 2, 0},     // every medium has a job from the start
        {3, 2, 1},     // one medium waits
        {100, 2, 2},   // one per job
        {100, 64, 16}, // never beyond the pool's bound
    };
    const CProbeOptions plain;
    for (const auto& c : cases)
        EXPECT_EQ(choosePoolSize(plain, c.media, c.jobs), c.expected) << c.media << " media, " << c.jobs << " jobs";

    CProbeOptions told;
    told.poolSize = 0;
    EXPECT_EQ(choosePoolSize(told, 100, 2), 0);
    told.poolSize = 5;
    EXPECT_EQ(choosePoolSize(told, 1, 1), 5);
}

} // namespace
} // namespace nebo::probe
