// Slaves started ahead: real nebo_slave processes hosting nebo_demo wait in a pool; boxed sources take them.
#include "host/master/CSlavePool.h"

#include "boxed/CBoxedFixture.h"
#include "foundation/CInvalidArgError.h"
#include "host/master/CEncapsulatedSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using nebo::common::CEncapsulatedSource;
using nebo::common::CSlavePool;
using nebo::test::countOf;

const String demo("nebo_demo");
constexpr int32_t readyWaitMs = 20000;

std::string endLineOf(uint32_t pid) { return "nebo_slave " + std::to_string(pid) + " (nebo_demo): "; }

class CSlavePoolTest : public nebo::test::CBoxedFixture {
protected:
    // A pool made from a context of its own, which logs into m_poolLog.
    P<CSlavePool> makePool(int32_t slavesPerPlugin)
    {
        const auto poolContext = make<nebo::common::CSimpleNEBContext>();
        poolContext->setSlaveLimits(m_context->getSlaveLimits());
        poolContext->setSlaveProgram(m_context->getSlaveProgram());
        poolContext->setLogManager(m_poolLog);
        return make<CSlavePool>(poolContext, slavesPerPlugin);
    }

    std::string poolLogText() const { return m_poolLog->getLogText().toUTF8(); }

    P<nebo::common::CLogManager> m_poolLog = make<nebo::common::CLogManager>(String("poollog"));
};

TEST_F(CSlavePoolTest, SizeIsBoundedAndAPoolOfNoneStartsNothing)
{
    for (const int32_t size : {-1, CSlavePool::maxSlavesPerPlugin + 1})
        EXPECT_THROW(makePool(size), lumo::CInvalidArgError) << size;
    const P<CSlavePool> none = makePool(0);
    for (const int32_t megabytes : {-1, CSlavePool::maxMemoryAheadMegabytes + 1})
        EXPECT_THROW(none->setMemoryAhead(megabytes), lumo::CInvalidArgError) << megabytes;
    for (const int32_t delayMs : {-1, CSlavePool::maxRefillDelayMs + 1})
        EXPECT_THROW(none->setRefillDelay(delayMs), lumo::CInvalidArgError) << delayMs;
    none->prepare(demo);
    EXPECT_FALSE(none->take(demo, m_context));
    EXPECT_EQ(none->countWaiting(demo), 0);
    EXPECT_EQ(nebo::test::slaveProcesses(), std::vector<uint32_t>());
}

// A slave serves one source only and ends with it, as its log tells; one that died while waiting is passed over for a
// fresh one, as the pool's log tells. Either way the pool refills. A slave that readied its heap serves alike.
TEST_F(CSlavePoolTest, SourceTakesALiveWaitingSlaveOrAFreshOneAndThePoolRefills)
{
    const struct {
        const char* name;
        bool bDied;
        int32_t memoryAhead;
    } cases[] = {
        {"alive", false, 0},
        {"died while waiting", true, 0},
        {"alive with memory ahead", false, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const P<CSlavePool> pool = makePool(1);
        pool->setMemoryAhead(c.memoryAhead);
        pool->prepare(demo);
        ASSERT_TRUE(pool->waitUntilReady(demo, readyWaitMs)) << poolLogText();
        const std::vector<uint32_t> started = nebo::test::slaveProcesses();
        ASSERT_EQ(started.size(), 1u);
        std::string cause;
        if (c.bDied) {
            ASSERT_TRUE(nebo::test::killChild(started[0], cause));
        }

        const P<CEncapsulatedSource> source =
            make<CEncapsulatedSource>(m_context, demo, *demoURI("w=24&h=16&frames=3"), 1, nullptr, pool);
        source->open();
        EXPECT_TRUE(source->getNextPicture());
        source->close();
        EXPECT_EQ(logText().find(endLineOf(started[0])) != std::string::npos, !c.bDied) << logText();
        EXPECT_EQ(poolLogText().find(endLineOf(started[0])) != std::string::npos, c.bDied) << poolLogText();
        if (c.bDied) {
            EXPECT_NE(poolLogText().find(cause), std::string::npos) << poolLogText();
        }
        ASSERT_TRUE(pool->waitUntilReady(demo, readyWaitMs)) << poolLogText();
        const std::vector<uint32_t> refilled = nebo::test::slaveProcesses();
        ASSERT_EQ(refilled.size(), 1u);
        EXPECT_NE(refilled[0], started[0]);
    }
}

// A refill put off for longer than the test waits starts only when asked for.
TEST_F(CSlavePoolTest, ReplacementWaitsForTheRefillDelayUnlessPrepared)
{
    const P<CSlavePool> pool = makePool(1);
    pool->setRefillDelay(CSlavePool::maxRefillDelayMs);
    pool->prepare(demo);
    ASSERT_TRUE(pool->waitUntilReady(demo, readyWaitMs)) << poolLogText();
    ASSERT_TRUE(pool->take(demo, m_context));
    EXPECT_FALSE(pool->waitUntilReady(demo, 500));
    EXPECT_EQ(pool->countWaiting(demo), 0);
    pool->prepare(demo);
    EXPECT_TRUE(pool->waitUntilReady(demo, readyWaitMs)) << poolLogText();
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

TEST_F(CSlavePoolTest, ClosingThePoolEndsEveryWaitingSlaveAndLeavesNoFile)
{
    const P<CSlavePool> pool = make<CSlavePool>(m_context, 2);
    // Slaves of more than one plugin where a media plugin is built.
    std::vector<String> plugins = {demo};
    if (NEBO_MEDIA_PLUGINS_BUILT)
        plugins.push_back(String("nebo_sound"));
    for (const String& plugin : plugins) {
        pool->prepare(plugin);
        ASSERT_TRUE(pool->waitUntilReady(plugin, readyWaitMs)) << logText();
    }
    EXPECT_EQ(nebo::test::slaveProcesses().size(), 2 * plugins.size());
    pool->close();
    EXPECT_FALSE(pool->take(demo, m_context));
    EXPECT_EQ(nebo::test::slaveProcesses(), std::vector<uint32_t>());
    EXPECT_EQ(errorFiles(), std::vector<std::string>());
}

} // namespace
