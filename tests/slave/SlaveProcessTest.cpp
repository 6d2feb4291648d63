// Runs the real nebo_slave program.
#include "remote/CRemoteStreamClient.h"
#include "slave/CSlaveFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using nebo::test::SProgramRun;

class SlaveProcessTest : public nebo::test::CSlaveFixture {
protected:
    // Runs the slave with `arguments` as a master would start it, its debug output as given.
    SProgramRun run(std::vector<std::string> arguments, const char* debugOutput = nullptr)
    {
        arguments.insert(arguments.begin(), nebo::test::slavePath());
        return nebo::test::runProgram(
            m_temp.pathOf(""), arguments,
            {debugOutput ? std::string("NEBO_DEBUG_OUTPUT=") + debugOutput : "NEBO_DEBUG_OUTPUT"});
    }
    std::string standardErrorPath() const { return m_temp.pathOf("stderr.txt"); }
};

const char* const finalLine = "slave finished without any trouble after trycatch\n";

// A command line the slave refuses, or a master it cannot reach, ends it without a word, even with its debug lines on
// standard error, and leaves the error file as the master made it. POSIX keeps only the low byte of its exit code.
TEST_F(SlaveProcessTest, RunsThatNeverReachAMasterLeaveTheErrorFileAlone)
{
    const std::string errorFile = errorFileURI();
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"4711", "nebo_slave-1-2-3", "nebo_demo", errorFile}, -4},
        {{"4711", "nebo_slave-1-2-3", "nebo_demo", errorFile, "9"}, -1},
        // No file to write to, and nothing that fails before the pipe.
        {{"4711", "nebo_slave-1-2-3", "nebo_demo", "http://host/error.txt", "2"}, -1},
    };
    for (const auto& [arguments, exitCode] : cases) {
        SCOPED_TRACE(arguments.back());
        const SProgramRun outcome = run(arguments, "stderr");
        EXPECT_EQ(outcome.exitCode & 0xff, exitCode & 0xff);
        EXPECT_EQ(outcome.err, "");
        EXPECT_TRUE(std::filesystem::exists(m_errorFile));
        EXPECT_EQ(errorFileText(), "");
    }
}

// A quit from the master ends the slave cleanly, without an error text (the confined slave may not remove the file; its
// master does); its debug lines reach its standard error only when its environment asks for it.
TEST_F(SlaveProcessTest, QuitEndsCleanlyAndDebugLinesReachStandardErrorOnlyWhenAsked)
{
    const std::pair<const char*, bool> cases[] = {{nullptr, false}, {"stderr", true}, {"STDERR", false}, {"", false}};
    for (const auto& [debugOutput, bOnStandardError] : cases) {
        SCOPED_TRACE(debugOutput ? debugOutput : "unset");
        const auto expectedOutput = [&](const std::string& lines) { return bOnStandardError ? lines : ""; };
        m_temp.put("error.txt", "");
        lumo::P<lumo::IPipeClient> pipe = startServedSlave(4, {standardErrorPath(), debugOutput});
        ASSERT_TRUE(pipe);
        lumo::make<lumo::CRemoteStreamClient>(pipe->getInStream(), pipe->getOutStream())->quit();
        ASSERT_TRUE(lumo::waitForEnd(*m_slave));
        EXPECT_EQ(m_slave->getExitCode(), 0);
        EXPECT_EQ(errorFileText(), "");
        EXPECT_EQ(nebo::test::readWrittenText(standardErrorPath()), expectedOutput(finalLine));

        // An error file URI that does not parse takes the error path without a file.
        const SProgramRun outcome =
            run({"4711", "nebo_slave-1-2-3", "nebo_demo", "file://host:port/error.txt", "2"}, debugOutput);
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.err, expectedOutput(std::string("nebo_slave.exe: Could not write to logfile") + finalLine));
    }
}

} // namespace
