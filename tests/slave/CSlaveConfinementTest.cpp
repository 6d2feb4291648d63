// The slave's confinement as its master meets it: a real slave told to go without it says so in its log.
#include "host/master/CNEBPluginClient.h"
#include "slave/CSlaveFixture.h"
#include "streams/CMemoryManager.h"
#include "support/CScopedEnvironment.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using lumo::make;
using lumo::P;

const char* const offEntry = "confinement is off (NEBO_SANDBOX=off): the plugin runs with every right of its user";

class CSlaveConfinementSwitchTest : public nebo::test::CSlaveFixture {};

TEST_F(CSlaveConfinementSwitchTest, OnlyOffTurnsItOffAndTheLogSaysSo)
{
    const std::pair<const char*, bool> cases[] = {{"off", true}, {nullptr, false}, {"", false}, {"OFF", false}};
    for (const auto& [setting, bOff] : cases) {
        SCOPED_TRACE(setting ? setting : "unset");
        const lumo::CScopedEnvironment sandbox("NEBO_SANDBOX", setting);
        m_temp.put("error.txt", "");
        // Level 0 keeps errors alone: the entry is one.
        P<lumo::IPipeClient> pipe = startServedSlave(0);
        ASSERT_TRUE(pipe);
        P<nebo::common::CNEBPluginClient> plugin = make<nebo::common::CNEBPluginClient>(
            pipe->getInStream(), pipe->getOutStream(), make<lumo::CMemoryManager>(30));
        const std::string log = plugin->getLog().toUTF8();
        if (bOff) {
            EXPECT_NE(log.find(offEntry), std::string::npos) << log;
            EXPECT_NE(log.find("level=\"error\""), std::string::npos) << log;
        } else {
            EXPECT_EQ(log, "");
        }
        plugin->quit();
        EXPECT_TRUE(lumo::waitForEnd(*m_slave));
    }
}

} // namespace
