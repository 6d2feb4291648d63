// Runs the real nebo_slave program.
#include "foundation/CURI.h"
#include "platform/CScopedPipeFolder.h"
#include "platform/IPipeManager.h"
#include "platform/IProcessManager.h"
#include "platform/waitForEnd.h"
#include "remote/CRemoteException.h"
#include "remote/CRemoteStreamClient.h"
#include "remote/CTestProcedures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

using lumo::make;
using lumo::P;

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

// Starts the slave once its pipe exists, as the master does.
class CSlaveStarter : public lumo::CObject, public virtual lumo::IPipeServer::IPipeCreatedListener {
public:
    explicit CSlaveStarter(std::string arguments) : m_arguments(std::move(arguments)) {}

    bool pipeCreated() override
    {
        m_slave = lumo::getProcessManager()->createProcess(
            lumo::CURI::fromNativePath(lumo::String::fromUTF8(slavePath())), lumo::String::fromUTF8(m_arguments),
            lumo::PFrail<lumo::IURI>(), lumo::PFrail<lumo::IBase>(), lumo::IProcess::priorityNormal);
        return true;
    }
    const P<lumo::IProcess>& getSlave() const { return m_slave; }

private:
    std::string m_arguments;
    P<lumo::IProcess> m_slave;
};

int64_t getMonotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
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
    void TearDown() override
    {
        // Dropping the pipe server ends a slave that still serves.
        m_server = nullptr;
        if (m_slave) {
            EXPECT_TRUE(lumo::waitForEnd(*m_slave));
        }
        std::filesystem::remove_all(m_folder);
    }

    Outcome run(const std::vector<std::string>& arguments) { return runSlave(arguments, m_folder + "/stderr.txt"); }

    // Makes a pipe, starts the slave on it and returns the master's end once
    // the slave connected; null when it did not connect within a generous bound.
    P<lumo::IPipeClient> startServedSlave()
    {
        static int pipeCount = 0;
        char name[64];
        std::snprintf(name, sizeof name, "nebo_slave-%08x-%08x-%08x", static_cast<unsigned>(getpid()), ++pipeCount,
                      0x5eedu);
        m_server = lumo::getPipeManager()->createServer(lumo::String::fromLatin1(name));
        m_server->setEndTick(getMonotonicMs() + 20000);
        const std::string arguments =
            " " + std::to_string(getpid()) + " " + name + " nebo_test file://" + m_errorFile + " 2";
        P<CSlaveStarter> starter = make<CSlaveStarter>(arguments);
        P<lumo::IPipeClient> pipe = m_server->acceptClient(starter.get());
        m_slave = starter->getSlave();
        return pipe;
    }

    std::string errorFileText() const
    {
        std::ifstream file(m_errorFile, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    lumo::CScopedPipeFolder m_pipeFolder;
    std::string m_folder;
    std::string m_errorFile;
    P<lumo::IPipeServer> m_server;
    P<lumo::IProcess> m_slave;
};

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
