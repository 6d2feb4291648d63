// What a pool's slaves are seen to do from outside: a pool that nobody closes ends its waiting slaves with the process
// that made it; a slave asked for memory ahead holds it.
#include "host/master/CSlavePool.h"

#include "boxed/CBoxedFixture.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
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

// Run first thing in its own process (ctest runs each case alone), so that the fork copies no other thread.
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

class CSlavePoolMemoryTest : public nebo::test::CBoxedFixture {
protected:
    // The resident size of the one slave a pool with `megabytes` ahead keeps waiting; it ends with the pool.
    int64_t residentKBOfWaitingSlave(int32_t megabytes)
    {
        const P<CSlavePool> pool = make<CSlavePool>(m_context, 1);
        pool->setMemoryAhead(megabytes);
        pool->prepare(demo);
        EXPECT_TRUE(pool->waitUntilReady(demo, readyWaitMs)) << logText();
        const std::vector<uint32_t> slaves = nebo::test::slaveProcesses();
        if (slaves.size() != 1)
            return -1;
        std::ifstream statm("/proc/" + std::to_string(slaves[0]) + "/statm");
        int64_t sizePages = 0, residentPages = -1;
        statm >> sizePages >> residentPages;
        return residentPages * sysconf(_SC_PAGESIZE) / 1024;
    }
};

TEST_F(CSlavePoolMemoryTest, WaitingSlaveHoldsTheMemoryItReadied)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer's allocator keeps no heap of the system's allocator";
#endif
    const int64_t plain = residentKBOfWaitingSlave(0);
    ASSERT_GT(plain, 0);
    EXPECT_GE(residentKBOfWaitingSlave(64) - plain, 60 * 1024);

    // Half its address-space limit at most, so that its medium has the rest.
    nebo::common::SSlaveLimits limits = m_context->getSlaveLimits();
    limits.maxSlaveAddressSpace = int64_t{64} << 20;
    m_context->setSlaveLimits(limits);
    const int64_t halved = residentKBOfWaitingSlave(64) - plain;
    EXPECT_GE(halved, 28 * 1024);
    EXPECT_LE(halved, 40 * 1024);
}

} // namespace
