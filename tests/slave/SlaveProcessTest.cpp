// Runs the real nebo_slave program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Outcome {
    int exitStatus = -1;
    std::string standardError;
};

std::string slavePath()
{
    const char* folder = std::getenv("NEBO_BIN_DIR");
    return std::string(folder ? folder : ".") + "/nebo_slave";
}

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

class SlaveProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/nebo-slave-process-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_folder = pattern;
        m_errorFile = m_folder + "/error.txt";
        std::ofstream(m_errorFile) << "";
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    Outcome run(const std::vector<std::string>& arguments) { return runSlave(arguments, m_folder + "/stderr.txt"); }

    std::string m_folder;
    std::string m_errorFile;
};

TEST_F(SlaveProcessTest, FourFieldsEndWith252AndLeaveTheErrorFileAlone)
{
    const Outcome outcome = run({"4711", "nebo_slave-1-2-3", "nebo_test", "file://" + m_errorFile});
    EXPECT_EQ(outcome.exitStatus, 252);
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_TRUE(std::filesystem::exists(m_errorFile));
    EXPECT_EQ(std::filesystem::file_size(m_errorFile), 0u);
}

TEST_F(SlaveProcessTest, UnreachablePipeEndsWith255AndLeavesTheErrorFileAlone)
{
    const Outcome outcome = run({"4711", "nebo_slave-1-2-3", "nebo_test", "file://" + m_errorFile, "9"});
    EXPECT_EQ(outcome.exitStatus, 255);
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(std::filesystem::file_size(m_errorFile), 0u);
}

TEST_F(SlaveProcessTest, ErrorFileURIThatIsNoFileURITakesTheErrorPath)
{
    const Outcome outcome = run({"4711", "nebo_slave-1-2-3", "nebo_test", "http://host/error.txt", "2"});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.standardError, "nebo_slave.exe: Could not write to logfile"
                                     "slave finished without any trouble after trycatch\n");
}

} // namespace
