// Runs the real nebo_slave program.
#include "remote/CRemoteException.h"
#include "remote/CRemoteStreamClient.h"
#include "remote/CTestProcedures.h"
#include "slave/CSlaveFixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using nebo::test::slavePath;

struct Outcome {
    int exitStatus = -1;
    std::string standardError;
};

Outcome runSlave(const std::vector<std::string>& arguments, const std::string& stderrFile)
{
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        std::string program = slavePath();
        argv.push_back(program.data());
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        if (!freopen(stderrFile.c_str(), "w", stderr))
            _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::ifstream file(stderrFile);
    std::stringstream text;
    text << file.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

class SlaveProcessTest : public nebo::test::CSlaveFixture {
protected:
    Outcome run(const std::vector<std::string>& arguments, const char* debugOutput = nullptr)
    {
        const lumo::CScopedEnvironment environment("NEBO_DEBUG_OUTPUT", debugOutput);
        return runSlave(arguments, standardErrorPath());
    }
    std::string standardErrorPath() const { return m_folder + "/stderr.txt"; }
};

const char* const finalLine = "slave finished without any trouble after trycatch\n";

TEST_F(SlaveProcessTest, QuitFromTheMasterEndsTheSlaveCleanly)
{
    P<lumo::IPipeClient> pipe = startServedSlave();
    ASSERT_TRUE(pipe);
    make<lumo::CRemoteStreamClient>(pipe->getInStream(), pipe->getOutStream())->quit();
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(m_errorFile));
}

TEST_F(SlaveProcessTest, ClosedPipeEndsTheSlaveThroughItsErrorPath)
{
    P<lumo::IPipeClient> pipe = startServedSlave();
    ASSERT_TRUE(pipe);
    // The slave serves until the pipe closes: a function it does not know is
    // answered, and the next request is read as usual.
    P<lumo::CRemoteStreamClient> master = make<lumo::CRemoteStreamClient>(pipe->getInStream(), pipe->getOutStream());
    for (int i = 0; i < 2; ++i) {
        lumo::CGetWidthFunction getWidth;
        try {
            master->callInt(getWidth);
            ADD_FAILURE() << "the slave served getWidth";
        } catch (const lumo::CRemoteException& error) {
            EXPECT_EQ(error.getGeneralDescription()->toUTF8(), "Remote Procedure not found on host: getWidth");
        }
    }
    m_server = nullptr;
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 0);
    EXPECT_EQ(errorFileText(), "lumo::CException\nType: Error\ntext: Pipe was closed");
}

TEST_F(SlaveProcessTest, PluginThatDoesNotLoadEndsTheSlaveThroughItsErrorPath)
{
    P<lumo::IPipeClient> pipe = startServedSlave("nebo_missing");
    ASSERT_TRUE(pipe);
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 0);
    EXPECT_EQ(errorFileText(), "lumo::CException\nType: Error\n"
                               "text: CNEBPluginServer at least one plugin has to be registeres in plugin context!");
}

// A command line the slave refuses, or a master it cannot reach, ends it
// without a word and leaves the error file as the master made it.
TEST_F(SlaveProcessTest, RunsThatNeverReachAMasterLeaveTheErrorFileAlone)
{
    const std::string errorFile = "file://" + m_errorFile;
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"4711", "nebo_slave-1-2-3", "nebo_demo", errorFile}, 252},
        {{"4711", "nebo_slave-1-2-3", "nebo_demo", errorFile, "9"}, 255},
        // No file to write to, and nothing that fails before the pipe.
        {{"4711", "nebo_slave-1-2-3", "nebo_demo", "http://host/error.txt", "2"}, 255},
    };
    for (const auto& [arguments, exitStatus] : cases) {
        SCOPED_TRACE(arguments.back());
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.exitStatus, exitStatus);
        EXPECT_EQ(outcome.standardError, "");
        EXPECT_TRUE(std::filesystem::exists(m_errorFile));
        EXPECT_EQ(std::filesystem::file_size(m_errorFile), 0u);
    }
}

// The slave's debug lines reach its standard error only when its environment asks for it.
struct SDebugOutputCase {
    const char* name;
    const char* debugOutput;
    bool bOnStandardError;
};

void PrintTo(const SDebugOutputCase& mode, std::ostream* out) { *out << mode.name; }

class SlaveDebugOutputTest : public SlaveProcessTest, public ::testing::WithParamInterface<SDebugOutputCase> {
protected:
    std::string expectedOutput(const std::string& lines) const { return GetParam().bOnStandardError ? lines : ""; }
};

TEST_P(SlaveDebugOutputTest, CleanQuitWritesTheFinalLineOnlyWhenAsked)
{
    const int standardError = open(standardErrorPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(standardError, 0);
    P<lumo::IPipeClient> pipe = startServedSlave("nebo_demo", 4, {standardError, GetParam().debugOutput});
    close(standardError);
    ASSERT_TRUE(pipe);
    make<lumo::CRemoteStreamClient>(pipe->getInStream(), pipe->getOutStream())->quit();
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 0);
    std::stringstream text;
    text << std::ifstream(standardErrorPath()).rdbuf();
    EXPECT_EQ(text.str(), expectedOutput(finalLine));
}

TEST_P(SlaveDebugOutputTest, ErrorFileURIThatDoesNotParseTakesTheErrorPathWithoutAFile)
{
    const Outcome outcome =
        run({"4711", "nebo_slave-1-2-3", "nebo_demo", "file://host:port/error.txt", "2"}, GetParam().debugOutput);
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.standardError,
              expectedOutput(std::string("nebo_slave.exe: Could not write to logfile") + finalLine));
}

INSTANTIATE_TEST_SUITE_P(EveryMode, SlaveDebugOutputTest,
                         ::testing::Values(SDebugOutputCase{"Unset", nullptr, false},
                                           SDebugOutputCase{"StandardError", "stderr", true},
                                           SDebugOutputCase{"OtherValue", "STDERR", false},
                                           SDebugOutputCase{"Empty", "", false}),
                         [](const ::testing::TestParamInfo<SDebugOutputCase>& info) { return info.param.name; });

} // namespace
