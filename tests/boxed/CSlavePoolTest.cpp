// Slaves started ahead: real nebo_slave processes hosting nebo_demo wait in
// a pool, and boxed sources take them as they open.
#include "host/CSlavePool.h"

#include "boxed/CBoxedFixture.h"
#include "foundation/CInvalidArgError.h"
#include "host/CEncapsulatedSource.h"
#include "plugins/demo/CDemoClip.h"
#include "streams/IMemoryBlock.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using nebo::common::CEncapsulatedSource;
using nebo::common::CLogManager;
using nebo::common::CSimpleNEBContext;
using nebo::common::CSlavePool;
using nebo::common::INEBPicture;
using nebo::test::countOf;

const String demo("nebo_demo");
constexpr int32_t readyWaitMs = 20000;

// Waits until the kernel has ended `pid` (a zombie, or gone).
bool waitForDeath(pid_t pid)
{
    for (int attempt = 0; attempt < 500; ++attempt) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line) || line.substr(line.rfind(')') + 2, 1) == "Z")
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string endLineOf(pid_t pid)
{
    return "nebo_slave " + std::to_string(pid) + " (nebo_demo): ";
}

class CSlavePoolTest : public nebo::test::CBoxedFixture {
protected:
    // A pool made from a context of its own, which logs into m_poolLog.
    P<CSlavePool> makePool(int32_t slavesPerPlugin)
    {
        const P<CSimpleNEBContext> poolContext = make<CSimpleNEBContext>();
        poolContext->setSlaveLimits(m_context->getSlaveLimits());
        poolContext->setSlaveProgram(m_context->getSlaveProgram());
        poolContext->setLogManager(m_poolLog);
        return make<CSlavePool>(poolContext, slavesPerPlugin);
    }

    // Opens the clip through the context's pool and expects its first
    // picture byte for byte.
    void readFirstPicture()
    {
        const std::string query = "w=24&h=16&frames=3";
        const P<CEncapsulatedSource> source =
            make<CEncapsulatedSource>(m_context, demo, *demoURI(query), 1, nullptr);
        source->open();
        const P<INEBPicture> picture = source->getNextPicture();
        ASSERT_TRUE(picture);
        const P<INEBPicture> expected = nebo::demo::CDemoClip::fromQuery(String::fromUTF8(query))
                                            .makePicture(0, m_context->getMemoryManager());
        const P<lumo::IMemoryBlock> got = picture->getRGBData(0, 0, 24, 16);
        const P<lumo::IMemoryBlock> wanted = expected->getRGBData(0, 0, 24, 16);
        ASSERT_EQ(got->getSize(), wanted->getSize());
        EXPECT_EQ(std::memcmp(got->getData(), wanted->getData(), size_t(wanted->getSize())), 0);
        source->close();
    }

    std::string poolLogText() const { return m_poolLog->getLogText().toUTF8(); }

    P<CLogManager> m_poolLog = make<CLogManager>(String("poollog"));
};

TEST_F(CSlavePoolTest, SizeIsBoundedAndAPoolOfNoneStartsNothing)
{
    for (const int32_t size : {-1, CSlavePool::maxSlavesPerPlugin + 1})
        EXPECT_THROW(makePool(size), lumo::CInvalidArgError) << size;
    const P<CSlavePool> none = makePool(0);
    none->prepare(demo);
    EXPECT_FALSE(none->take(demo, m_context));
    EXPECT_EQ(none->countWaiting(demo), 0);
    EXPECT_EQ(nebo::test::childProcesses(), std::vector<pid_t>());
}

TEST_F(CSlavePoolTest, SourceTakesAWaitingSlaveWhichServesItAloneAndIsReplaced)
{
    const P<CSlavePool> pool = makePool(1);
    m_context->setSlavePool(pool);
    pool->prepare(demo);
    ASSERT_TRUE(pool->waitUntilReady(demo, readyWaitMs)) << poolLogText();
    const std::vector<pid_t> started = nebo::test::childProcesses();
    ASSERT_EQ(started.size(), 1u);

    readFirstPicture();
    // The source's slave was the waiting one; it ended with the source and
    // told the source's log, not the pool's.
    EXPECT_NE(logText().find(endLineOf(started[0])), std::string::npos) << logText();
    EXPECT_EQ(poolLogText().find(endLineOf(started[0])), std::string::npos);
    ASSERT_TRUE(pool->waitUntilReady(demo, readyWaitMs)) << poolLogText();
    const std::vector<pid_t> refilled = nebo::test::childProcesses();
    ASSERT_EQ(refilled.size(), 1u);
    EXPECT_NE(refilled[0], started[0]) << "a slave serves one source only";

    m_context->setSlavePool(nullptr);
}

TEST_F(CSlavePoolTest, SlaveThatDiedWhileWaitingIsPassedOverForAFreshOne)
{
    const P<CSlavePool> pool = makePool(1);
    m_context->setSlavePool(pool);
    pool->prepare(demo);
    ASSERT_TRUE(pool->waitUntilReady(demo, readyWaitMs)) << poolLogText();
    const pid_t waiting = nebo::test::childProcesses().at(0);
    ASSERT_EQ(::kill(waiting, SIGKILL), 0);
    ASSERT_TRUE(waitForDeath(waiting));

    readFirstPicture();
    const std::string poolLog = poolLogText();
    EXPECT_NE(poolLog.find(endLineOf(waiting)), std::string::npos) << poolLog;
    EXPECT_NE(poolLog.find("SIGKILL"), std::string::npos) << poolLog;
    EXPECT_EQ(logText().find(endLineOf(waiting)), std::string::npos);

    m_context->setSlavePool(nullptr);
}

TEST_F(CSlavePoolTest, SlaveThatCannotStartIsTriedAgainOnlyWhenAskedFor)
{
    m_context->setSlaveProgram(make<lumo::CURI>(String("file:///no/such/folder/nebo_slave")));
    const P<CSlavePool> pool = makePool(2);
    pool->prepare(demo);
    EXPECT_FALSE(pool->waitUntilReady(demo, readyWaitMs));
    EXPECT_EQ(countOf(poolLogText(), "slave pool: a slave for nebo_demo did not start"), 1u) << poolLogText();

    EXPECT_FALSE(pool->take(demo, m_context));
    EXPECT_FALSE(pool->waitUntilReady(demo, readyWaitMs));
    EXPECT_EQ(countOf(poolLogText(), "slave pool: a slave for nebo_demo did not start"), 2u) << poolLogText();
    EXPECT_EQ(pool->countWaiting(demo), 0);
}

TEST_F(CSlavePoolTest, ClosingOrReleasingThePoolEndsEveryWaitingSlaveAndLeavesNoFile)
{
    for (const bool bClose : {true, false}) {
        // The pool made from the very context that holds it.
        P<CSlavePool> pool = make<CSlavePool>(m_context, 2);
        m_context->setSlavePool(pool);
        for (const char* plugin : {"nebo_demo", "nebo_sound"}) {
            pool->prepare(String(plugin));
            ASSERT_TRUE(pool->waitUntilReady(String(plugin), readyWaitMs)) << logText();
        }
        EXPECT_EQ(nebo::test::childProcesses().size(), 4u);
        if (bClose) {
            pool->close();
            EXPECT_FALSE(pool->take(demo, m_context));
        } else {
            pool = nullptr;
            m_context->setSlavePool(nullptr);
        }
        EXPECT_EQ(nebo::test::childProcesses(), std::vector<pid_t>()) << (bClose ? "closed" : "released");
        EXPECT_EQ(errorFiles(), std::vector<std::string>());
        m_context->setSlavePool(nullptr);
    }
}

// Run first thing in its own process (ctest runs each case alone), so that
// the fork copies no other thread.
TEST_F(CSlavePoolTest, PoolLeftOpenIsClosedWhenTheProcessEnds)
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
