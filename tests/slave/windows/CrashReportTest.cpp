// A plugin that faults ends its slave with the machine's exception code;
// the slave's report in its error file names the fault and the plugin.
#include "slave/CFaultingSlaveFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

class CrashReportTest : public nebo::test::CFaultingSlaveFixture {};

TEST_F(CrashReportTest, SlaveEndsWithTheExceptionCodeAndLeavesAReport)
{
    const struct {
        const char* fault;
        uint32_t exceptionCode;
        const char* text;
    } cases[] = {
        {"read0", 0xC0000005u, "Attempted to read"},
        {"write16", 0xC0000005u, "Attempted to write at 0x00000010"},
        {"divzero", 0xC0000094u, "divide an integer value by an integer divisor of zero"},
        {"illegal", 0xC000001Du, "execute an invalid instruction"},
        {"breakpoint", 0x80000003u, "A breakpoint was encountered"},
        {"stack", 0xC00000FDu, "used up its stack"},
    };
    for (const auto& crash : cases) {
        SCOPED_TRACE(crash.fault);
        m_temp.put("error.txt", "");
        ASSERT_NO_FATAL_FAILURE(provoke(crash.fault));
        EXPECT_EQ(static_cast<uint32_t>(m_slave->getExitCode()), crash.exceptionCode);
        const std::string report = errorFileText();
        EXPECT_EQ(report.rfind(" 0.0.0\n\n\nFatal Exception at 0x", 0), 0u) << report.substr(0, 200);
        EXPECT_NE(report.find(crash.text), std::string::npos) << report.substr(0, 400);
        EXPECT_NE(report.find("(nebo_demo.dll, base address: 0x"), std::string::npos) << report.substr(0, 400);
        EXPECT_NE(report.find("\n\nStack Dump:\n"), std::string::npos);
    }
}

} // namespace
