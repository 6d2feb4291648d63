#include "host/master/CSlaveHandler.h"

#include "CSlaveHandlerFixture.h"
#include "media/CNEBError.h"
#include "platform/CScopedPipeFolder.h"
#include "support/binFolder.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace nebo::common;
using lumo::String;

namespace {

// Here a pipe is a file in the pipe folder, which a failed start must not leave behind.
TEST_F(CSlaveHandlerTest, MissingSlaveProgramLeavesNoPipe)
{
    const lumo::CScopedPipeFolder pipes;
    EXPECT_THROW(makeHandler()->getClient(), lumo::CError);
    EXPECT_TRUE(std::filesystem::is_empty(pipes.getPath()));
}

// A pipe place too long for a socket address is refused, with the reason, before any slave; the probe refuses at once.
TEST_F(CSlaveHandlerTest, APipePlaceTooLongIsRefusedUpFront)
{
    EXPECT_NO_THROW(CSlaveHandler::checkPipePlace());
    const std::string longFolder = "/tmp/" + std::string(100, 'p');
    const lumo::CScopedEnvironment pipes("NEBO_PIPE_DIR", longFolder.c_str());
    try {
        CSlaveHandler::checkPipePlace();
        ADD_FAILURE() << "a pipe place of " << longFolder.size() << " bytes was taken";
    } catch (const lumo::CException& error) {
        EXPECT_NE(String(error.getDescription()).toUTF8().find("longer than the 107 bytes"), std::string::npos);
    }
    const lumo::CTempFolder folder;
    const nebo::test::SProgramRun probe = nebo::test::runProgram(
        folder.pathOf(""), {(nebo::test::binFolder() / "nebo_probe").string(), "file:///x.demo?frames=1"});
    EXPECT_EQ(probe.exitCode, 1);
    EXPECT_EQ(probe.out, "");
    // One line with the reason, not one per plugin.
    EXPECT_EQ(std::count(probe.err.begin(), probe.err.end(), '\n'), 1) << probe.err;
    EXPECT_NE(probe.err.find("no slave can be started here"), std::string::npos) << probe.err;
}

// A slave may have a use for these of the master's variables, and for no other.
const std::regex allowedForSlaves("(PATH|LANG|TZ|TMPDIR|ASAN_OPTIONS|UBSAN_OPTIONS|LSAN_OPTIONS|LC_.*|NEBO_.*)=.*");

TEST_F(CSlaveHandlerTest, SlaveStartsWithAllowedVariablesOnlyAndNoStrayDescriptor)
{
    // clang-format off
    const struct { const char *name, *value; bool bPassed; } settings[] = {
        {"LANG", "de_DE.UTF-8", true},     {"LC_TIME", "C", true},          {"TZ", "Europe/Berlin", true},
        {"NEBO_TEST_SETTING", "on", true}, {"ASAN_OPTIONS", "a=1", true},   {"HOME", "/home/master", false},
        {"LD_LIBRARY_PATH", "/evil", false}, {"LCX", "1", false},           {"XNEBO_Y", "1", false},
        {"NEBO_SLAVE_MAX_ADDRESS_SPACE", "1", false}, {"NEBO_SLAVE_HEAP_AHEAD", "1", false},
    };
    // clang-format on
    std::vector<std::unique_ptr<lumo::CScopedEnvironment>> variables;
    for (const auto& setting : settings)
        variables.push_back(std::make_unique<lumo::CScopedEnvironment>(setting.name, setting.value));
    // Left open across exec, as a careless master might.
    const int stray = fcntl(open("/dev/null", O_RDONLY), F_DUPFD, 200);
    ASSERT_GE(stray, 200);

    // A "slave" that tells what it got and ends without connecting.
    lumo::CTempFolder programs;
    // /proc/self, not /proc/$$: in namespaces of its own the shell is process 1, which /proc names otherwise.
    programs.put("slave.sh", "#!/bin/sh\n/bin/cat /proc/self/environ > '" + programs.pathOf("environment") +
                                 "'\n[ -e /proc/self/fd/" + std::to_string(stray) + " ] && : > '" +
                                 programs.pathOf("stray") + "'\nexit 0\n");
    chmod(programs.pathOf("slave.sh").c_str(), 0755);
    m_context->setSlaveProgram(lumo::CURI::fromNativePath(String::fromUTF8(programs.pathOf("slave.sh"))));
    SSlaveLimits limits;
    limits.maxSlaveAddressSpace = 123456789;
    m_context->setSlaveLimits(limits);
    EXPECT_THROW(makeHandler()->getClient(), CNEBError);
    close(stray);

    std::vector<std::string> environment;
    std::istringstream text(programs.get("environment"));
    // The shell adds its working folder of its own.
    for (std::string variable; std::getline(text, variable, '\0');)
        if (variable.rfind("PWD=", 0) != 0)
            environment.push_back(variable);
    const auto has = [&](const std::string& variable) {
        return std::count(environment.begin(), environment.end(), variable) == 1;
    };
    EXPECT_TRUE(has("PATH=" + std::string(std::getenv("PATH"))));
    EXPECT_TRUE(has("TMPDIR=" + m_withoutSlave.errorFiles.pathOf("")));
    EXPECT_TRUE(has("NEBO_SLAVE_MAX_ADDRESS_SPACE=123456789"));
    for (const auto& setting : settings)
        EXPECT_EQ(has(setting.name + std::string("=") + setting.value), setting.bPassed) << setting.name;
    for (const std::string& variable : environment)
        EXPECT_TRUE(std::regex_match(variable, allowedForSlaves)) << variable;
    EXPECT_EQ(environment.size(), std::set<std::string>(environment.begin(), environment.end()).size());
    EXPECT_FALSE(std::filesystem::exists(programs.pathOf("stray")));
}

} // namespace
