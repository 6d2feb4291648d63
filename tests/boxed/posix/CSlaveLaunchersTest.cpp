// What a master sees of the launchers that fork its slaves.
#include "host/master/CSlaveLaunchers.h"

#include "boxed/CBoxedFixture.h"
#include "host/master/CSlaveHandler.h"
#include "host/plugin/ISource.h"
#include "media/CNEBError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using lumo::P;
using nebo::common::CSlaveHandler;

class CSlaveLaunchersTest : public nebo::test::CBoxedFixture {
protected:
    // A stopped launcher costs one time limit.
    CSlaveLaunchersTest() { setLimits(2000); }
    void SetUp() override
    {
        if (!nebo::common::CSlaveLaunchers::isEnabled())
            GTEST_SKIP() << "every slave starts as a program of its own here";
    }
    P<CSlaveHandler> startSlave() const
    {
        const P<CSlaveHandler> handler = lumo::make<CSlaveHandler>(m_context, lumo::String("nebo_demo"), 0);
        handler->getClient();
        return handler;
    }
    // The spares once exactly one is not `former`, waiting a while for the launcher to fork it; else what there is.
    static std::vector<uint32_t> awaitNewSpare(uint32_t former = 0)
    {
        std::vector<uint32_t> spares;
        for (int attempt = 0; attempt < 500; ++attempt) {
            spares = nebo::test::spareProcesses();
            if (spares.size() == 1 && spares.front() != former)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return spares;
    }
    static bool contains(const std::vector<uint32_t>& processes, uint32_t process)
    {
        return std::find(processes.begin(), processes.end(), process) != processes.end();
    }
    static std::string nameFrom(CSlaveHandler& handler)
    {
        return handler.callWithinLimit("getPluginName", [&] { return handler.getClient()->getPluginName(); }).toUTF8();
    }
};

TEST_F(CSlaveLaunchersTest, AFailedLauncherIsReplacedAndOnlyTheSlaveItTookAlongFails)
{
    const struct {
        const char* name;
        int signal;
        bool bWhileServing;
    } cases[] = {
        {"killed while idle", SIGKILL, false},
        {"stopped while idle", SIGSTOP, false},
        {"killed under a serving child", SIGKILL, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        P<CSlaveHandler> serving = startSlave();
        const std::vector<uint32_t> launchers = nebo::test::launcherProcesses();
        ASSERT_EQ(launchers.size(), 1u);
        if (!c.bWhileServing)
            serving = nullptr;
        // A killed launcher is waited for: its children end before it does.
        std::string cause;
        ASSERT_TRUE(c.signal == SIGKILL ? nebo::test::killChild(launchers.front(), cause)
                                        : ::kill(static_cast<pid_t>(launchers.front()), c.signal) == 0);
        if (c.bWhileServing) {
            EXPECT_THROW(nameFrom(*serving), nebo::common::CNEBError);
            serving = nullptr;
        }
        EXPECT_EQ(nameFrom(*startSlave()), "nebo_demo");
        EXPECT_EQ(logText().find("start one program each"), std::string::npos) << logText();
        nebo::common::CSlaveLaunchers::get()->endAll();
        EXPECT_EQ(nebo::test::launcherProcesses(), std::vector<uint32_t>());
        EXPECT_EQ(nebo::test::slaveProcesses(), std::vector<uint32_t>());
        EXPECT_EQ(errorFiles(), std::vector<std::string>());
    }
}

// Each crash of a child meets a fresh address layout and stack-protector secret; children that end well share their
// launcher, and the error file they left empty serves the next child.
TEST_F(CSlaveLaunchersTest, AChildThatEndsBadlyRetiresItsLauncherAndItsErrorFile)
{
    const struct {
        const char* name;
        const char* query;
        bool bEndsWell;
        size_t errorFilesLeft;
    } cases[] = {
        {"ends well", "w=16&h=16", true, 0},
        {"exits with code 3", "w=16&h=16&fail=exit&failat=open", false, 0},
        {"crashes", "w=16&h=16&fail=write16&failat=open", false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint32_t> launchers;
        lumo::String used;
        {
            const P<CSlaveHandler> slave = startSlave();
            launchers = nebo::test::launcherProcesses();
            used = slave->getErrorFile()->getText();
            try {
                slave->callWithinLimit("tryCreateSource", [&] {
                    slave->getClient()->tryCreateSource(*demoURI(c.query), 3, true, nullptr)->close();
                });
                EXPECT_TRUE(c.bEndsWell);
            } catch (const nebo::common::CNEBError&) {
                EXPECT_FALSE(c.bEndsWell);
            }
            slave->finish();
        }
        {
            const P<CSlaveHandler> next = startSlave();
            EXPECT_EQ(nameFrom(*next), "nebo_demo");
            EXPECT_EQ(next->getErrorFile()->getText() == used, c.bEndsWell);
        }
        EXPECT_EQ(nebo::test::launcherProcesses() == launchers, c.bEndsWell);
        EXPECT_EQ(errorFiles().size(), c.errorFilesLeft);
        clearErrorFiles();
        nebo::common::CSlaveLaunchers::get()->endAll();
        EXPECT_TRUE(std::filesystem::is_empty(m_temp.pathOf(""))) << "nothing kept outlives the launchers";
    }
}

// The spare is no slave until a request comes; then it serves it, and the launcher forks the next spare.
TEST_F(CSlaveLaunchersTest, TheSpareForkedAheadServesTheNextRequest)
{
    const P<CSlaveHandler> first = startSlave();
    const std::vector<uint32_t> spare = awaitNewSpare();
    ASSERT_EQ(spare.size(), 1u);
    EXPECT_FALSE(contains(nebo::test::slaveProcesses(), spare.front()));

    const P<CSlaveHandler> second = startSlave();
    EXPECT_EQ(nameFrom(*second), "nebo_demo");
    EXPECT_TRUE(contains(nebo::test::slaveProcesses(), spare.front()));
    const std::vector<uint32_t> next = awaitNewSpare(spare.front());
    ASSERT_EQ(next.size(), 1u);
    EXPECT_NE(next.front(), spare.front());
    nebo::common::CSlaveLaunchers::get()->endAll();
}

} // namespace
