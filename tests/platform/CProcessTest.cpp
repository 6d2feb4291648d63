#include "platform/posix/CProcess.h"

#include "CProcessProbe.h"
#include "foundation/CError.h"

#include <chrono>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lumo::posix {
namespace {

// A program that runs until the test ends it.
class CSleeper {
public:
    explicit CSleeper(int32_t priority = IProcess::priorityNormal)
        : m_process(make<CProcess>("/bin/sleep", "30", "", priority))
    {
    }
    ~CSleeper() { stop(); }

    CProcess& operator*() const { return *m_process; }
    CProcess* operator->() const { return m_process.get(); }
    void stop(int signal = SIGKILL)
    {
        // Only while unreaped does the identity still name our child.
        if (!m_process->hasTerminated())
            kill(m_process->getProcessID(), signal);
        EXPECT_TRUE(waitForEnd(*m_process));
    }

private:
    P<CProcess> m_process;
};

// True once nobody can wait for the child any more: its status was taken.
bool isReaped(pid_t pid)
{
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0 && errno == ECHILD;
}

bool waitUntilReaped(pid_t pid)
{
    for (int i = 0; i < 2000 && !isReaped(pid); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return isReaped(pid);
}

std::string currentFolder()
{
    return std::filesystem::current_path().string();
}

TEST(CProcessTest, PassesTheArgumentsWordByWord)
{
    const struct {
        const char* arguments;
        std::vector<std::string> words;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"one", {"one"}},
        {"  a  b\tc 'd e' \"f g\" h%20i ä ", {"a", "b", "c", "'d", "e'", "\"f", "g\"", "h%20i", "ä"}},
    };
    for (const auto& test : cases) {
        CProcessProbe probe;
        P<CProcess> process = make<CProcess>(probe.getScriptPath(), String::fromUTF8(test.arguments), "", 0);
        ASSERT_TRUE(waitForEnd(*process));
        std::vector<std::string> expected = {currentFolder(), probe.getScriptPath()};
        expected.insert(expected.end(), test.words.begin(), test.words.end());
        EXPECT_EQ(probe.getOutput(), expected) << '"' << test.arguments << '"';
        EXPECT_EQ(process->getExitCode(), static_cast<int32_t>(test.words.size()));
    }
}

TEST(CProcessTest, StartsInTheWorkingDirectory)
{
    CProcessProbe probe;
    const std::string folder = probe.getFolderPath("work folder");
    P<CProcess> process = make<CProcess>(probe.getScriptPath(), String("x"), folder, 0);
    ASSERT_TRUE(waitForEnd(*process));
    const std::vector<std::string> expected = {folder, probe.getScriptPath(), "x"};
    EXPECT_EQ(probe.getOutput(), expected);
}

TEST(CProcessTest, ProgramThatCannotStartThrowsTheSystemsReason)
{
    CProcessProbe probe;
    const struct {
        std::string program;
        std::string folder;
        std::string message;
    } cases[] = {
        {"/no such folder/program", "", "Error executing file '/no such folder/program': 'No such file or directory'."},
        {probe.getScriptPath(), "/no such folder",
         "Error executing file '" + probe.getScriptPath() + "': 'No such file or directory'."},
        {probe.getFolderPath("a folder"), "",
         "Error executing file '" + probe.getFolderPath("a folder") + "': 'Permission denied'."},
    };
    for (const auto& test : cases) {
        try {
            make<CProcess>(test.program, String(), test.folder, 0);
            ADD_FAILURE() << test.program << " started";
        } catch (const CError& error) {
            EXPECT_EQ(String(error.getDescription()).toUTF8(), test.message);
        }
    }
}

TEST(CProcessTest, ExitCodeIsMinusOneWhileRunningThenTheEndingSignal)
{
    CSleeper sleeper;
    EXPECT_FALSE(sleeper->hasTerminated());
    EXPECT_EQ(sleeper->getExitCode(), -1);
    sleeper.stop(SIGTERM);
    EXPECT_TRUE(sleeper->hasTerminated());
    EXPECT_EQ(sleeper->getExitCode(), 128 + SIGTERM);
}

TEST(CProcessTest, PriorityMapsOntoNiceValuesAndBack)
{
    if (getpriority(PRIO_PROCESS, 0) != 0)
        GTEST_SKIP() << "the tests run with a nice value of their own";
    const struct {
        int32_t priority;
        int nice;
        int32_t readBack;
    } cases[] = {
        {IProcess::priorityIdle, 19, IProcess::priorityIdle},
        {IProcess::priorityBelowNormal, 5, IProcess::priorityBelowNormal},
        {IProcess::priorityNormal, 0, IProcess::priorityNormal},
        {5, 0, IProcess::priorityNormal},
        {-30, 0, IProcess::priorityNormal},
    };
    for (const auto& test : cases) {
        CSleeper sleeper(test.priority);
        EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(sleeper->getProcessID())), test.nice) << test.priority;
        EXPECT_EQ(sleeper->getPriority(), test.readBack) << test.priority;
    }
}

TEST(CProcessTest, SetPriorityLowersAlwaysAndRaisesWhenPermitted)
{
    CSleeper sleeper;
    EXPECT_TRUE(sleeper->setPriority(IProcess::priorityBelowNormal));
    EXPECT_EQ(sleeper->getPriority(), IProcess::priorityBelowNormal);
    // Raising needs a privilege that the tests may or may not have.
    const bool bRaised = sleeper->setPriority(IProcess::priorityAboveNormal);
    EXPECT_EQ(sleeper->getPriority(), bRaised ? IProcess::priorityAboveNormal : IProcess::priorityBelowNormal);
}

TEST(CProcessTest, PriorityOfAnEndedProgramIsAnError)
{
    CSleeper sleeper;
    sleeper.stop();
    EXPECT_FALSE(sleeper->setPriority(IProcess::priorityIdle));
    try {
        sleeper->getPriority();
        ADD_FAILURE() << "no error";
    } catch (const CError& error) {
        EXPECT_EQ(String(error.getDescription()).toUTF8(),
                  "getProcessPriority failed. Maybe the process isn't running anymore?");
        EXPECT_EQ(String(error.getGeneralDescription()).toUTF8(), "CProcess");
    }
}

TEST(CProcessTest, ReleasedProgramLeavesNoZombie)
{
    // One released while it may still run, one surely running, one already seen ending.
    P<CProcess> quick = make<CProcess>("/bin/true", String(), "", 0);
    P<CProcess> running = make<CProcess>("/bin/sleep", String("30"), "", 0);
    P<CProcess> waited = make<CProcess>("/bin/true", String(), "", 0);
    ASSERT_TRUE(waitForEnd(*waited));
    const pid_t pids[] = {quick->getProcessID(), running->getProcessID(), waited->getProcessID()};
    quick = nullptr;
    // Released while it runs, so the reaper has to wait for its end.
    running = nullptr;
    kill(pids[1], SIGKILL);
    waited = nullptr;
    for (pid_t pid : pids)
        EXPECT_TRUE(waitUntilReaped(pid)) << pid;
}

TEST(CProcessTest, TerminateEndsTheProgramAndLaterDoesNothing)
{
    P<CProcess> running = make<CProcess>("/bin/sleep", String("30"), "", 0);
    running->terminate();
    ASSERT_TRUE(waitForEnd(*running));
    EXPECT_EQ(running->getExitCode(), 128 + SIGKILL);

    // Once the end was seen, the identity may name another process: it must be left alone.
    running->terminate();
    P<CProcess> ended = make<CProcess>("/bin/true", String(), "", 0);
    ASSERT_TRUE(waitForEnd(*ended));
    ended->terminate();
    EXPECT_EQ(ended->getExitCode(), 0);
}

} // namespace
} // namespace lumo::posix
