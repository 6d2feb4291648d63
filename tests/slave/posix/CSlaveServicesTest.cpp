#include "slave/CSlaveServices.h"

#include "host/plugin/ILogManager.h"
#include "support/CScopedEnvironment.h"
#include "support/CStandardErrorCapture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using nebo::common::CSlaveServices;

// Where a debug line goes, by the environment the services were made in and the log they are given.
TEST(CSlaveServicesTest, DebugLineGoesWhereTheEnvironmentSays)
{
    const struct {
        const char* debugOutput; // NEBO_DEBUG_OUTPUT; null for unset
        int logLevel;            // -1: no log
        bool bInLog;
        bool bOnStandardError;
    } cases[] = {
        {nullptr, 3, true, false}, {nullptr, 2, false, false}, {nullptr, -1, false, false},
        {"log", 4, true, false},   {"stderr", 4, false, true}, {"stderr", -1, false, true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.debugOutput ? test.debugOutput : "unset") + ", level " +
                     std::to_string(test.logLevel));
        const lumo::CScopedEnvironment environment("NEBO_DEBUG_OUTPUT", test.debugOutput);
        CSlaveServices services;
        const lumo::P<nebo::common::ILogManager> log =
            test.logLevel < 0 ? nullptr : services.createLogManager(test.logLevel);

        nebo::test::CStandardErrorCapture standardError;
        services.writeDebugOutput("nebo_slave.exe: Could not write to logfile", log.get());
        EXPECT_EQ(standardError.text(), test.bOnStandardError ? "nebo_slave.exe: Could not write to logfile" : "");
        const std::string logText = log ? log->getLogText().toUTF8() : "";
        if (test.bInLog) {
            EXPECT_NE(logText.find("level=\"debug\""), std::string::npos) << logText;
            EXPECT_NE(logText.find("<textlog>nebo_slave.exe: Could not write to logfile</textlog>"), std::string::npos)
                << logText;
        } else {
            EXPECT_EQ(logText, "");
        }
    }
}

} // namespace
