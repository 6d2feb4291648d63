#include "crashhandler/installCrashReporting.h"

#include <gtest/gtest.h>

#include <string>

namespace crashhandler {
namespace {

// The path is copied with its end into room of its own, or nothing is installed.
TEST(installCrashReportingTest, APathMustFitTheCopyWithItsEnd)
{
    EXPECT_TRUE(installCrashReporting(std::string(4095, 'a').c_str(), false, 0, "tests", "1.0"));
    removeCrashReporting();
    EXPECT_FALSE(installCrashReporting(std::string(4096, 'a').c_str(), false, 0, "tests", "1.0"));
}

} // namespace
} // namespace crashhandler
