#include "slave/CSlaveServices.h"

#include "host/ILogManager.h"
#include "platform/CScopedPipeFolder.h"
#include "plugins/avlib/CStandardErrorCapture.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace {

using nebo::common::CSlaveServices;

// Where a debug line goes, by the environment the services were made in
// and the log they are given.
struct SDebugLineCase {
    const char* name;
    const char* debugOutput; // NEBO_DEBUG_OUTPUT; null for unset
    int logLevel;            // -1: no log
    bool bInLog;
    bool bOnStandardError;
};

void PrintTo(const SDebugLineCase& test, std::ostream* out) { *out << test.name; }

class CSlaveServicesDebugTest : public ::testing::TestWithParam<SDebugLineCase> {};

TEST_P(CSlaveServicesDebugTest, DebugLineGoesWhereTheEnvironmentSays)
{
    const SDebugLineCase& test = GetParam();
    const lumo::CScopedEnvironment environment("NEBO_DEBUG_OUTPUT", test.debugOutput);
    CSlaveServices services;
    const lumo::P<nebo::common::ILogManager> log =
        test.logLevel < 0 ? nullptr : services.createLogManager(test.logLevel);

    nebo::test::CStandardErrorCapture standardError;
    services.writeDebugOutput("nebo_slave.exe: Could not write to logfile", log.get());
    EXPECT_EQ(standardError.text(), test.bOnStandardError ? "nebo_slave.exe: Could not write to logfile" : "");
    if (!log)
        return;
    const std::string logText = log->getLogText().toUTF8();
    if (test.bInLog) {
        EXPECT_NE(logText.find("level=\"debug\""), std::string::npos) << logText;
        EXPECT_NE(logText.find("<textlog>nebo_slave.exe: Could not write to logfile</textlog>"), std::string::npos)
            << logText;
    } else {
        EXPECT_EQ(logText, "");
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWay, CSlaveServicesDebugTest,
                         ::testing::Values(SDebugLineCase{"LogKeepingDebugLines", nullptr, 3, true, false},
                                           SDebugLineCase{"LogAboveDebugLevel", nullptr, 2, false, false},
                                           SDebugLineCase{"NoLog", nullptr, -1, false, false},
                                           SDebugLineCase{"OtherValue", "log", 4, true, false},
                                           SDebugLineCase{"StandardError", "stderr", 4, false, true},
                                           SDebugLineCase{"StandardErrorWithoutLog", "stderr", -1, false, true}),
                         [](const ::testing::TestParamInfo<SDebugLineCase>& info) { return info.param.name; });

TEST(CSlaveServicesTest, EnvironmentIsReadOnceAtStart)
{
    std::optional<lumo::CScopedEnvironment> environment(std::in_place, "NEBO_DEBUG_OUTPUT", "stderr");
    CSlaveServices services;
    environment.reset();
    nebo::test::CStandardErrorCapture standardError;
    services.writeDebugOutput("still here\n", nullptr);
    EXPECT_EQ(standardError.text(), "still here\n");
}

} // namespace
