// A pool that nobody closes: the end of the process that made it ends its
// waiting slaves.
#include "host/CSlavePool.h"

#include "boxed/CBoxedFixture.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using nebo::common::CSlavePool;

const lumo::String demo("nebo_demo");
constexpr int32_t readyWaitMs = 20000;

class CSlavePoolEndTest : public nebo::test::CBoxedFixture {};

// Run first thing in its own process (ctest runs each case alone), so that
// the fork copies no other thread.
TEST_F(CSlavePoolEndTest, PoolLeftOpenIsClosedWhenTheProcessEnds)
{
    const std::string marker = "NEBO_POOL_EXIT_TEST=" + std::to_string(getpid());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        putenv(const_cast<char*>(marker.c_str()));
        // Never released: only the process's end can close it.
        const P<CSlavePool> pool = make<CSlavePool>(m_context, 2);
        pool->prepare(demo);
        std::exit(pool->waitUntilReady(demo, readyWaitMs) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the pool did not fill";
    EXPECT_TRUE(nebo::test::noProcessRuns((nebo::test::binFolder() / "nebo_slave").string(), marker));
    EXPECT_EQ(errorFiles(), std::vector<std::string>());
}

} // namespace
