#include "platform/posix/CProcess.h"

#include "CProcessChild.h"
#include "CTempFolder.h"
#include "expectError.h"
#include "crashhandler/posix/hangReportSignal.h"
#include "foundation/CError.h"

#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumo::posix {
namespace {

// True once nobody can wait for the child any more: its status was taken.
bool isReaped(pid_t pid)
{
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0 && errno == ECHILD;
}

CProcessOptions makeOptions(bool bOwnProcessGroup, bool bDiscardOutput)
{
    CProcessOptions options;
    options.bOwnProcessGroup = bOwnProcessGroup;
    options.bDiscardOutput = bDiscardOutput;
    return options;
}

// The reason comes at once, whatever the options, not as an early end.
TEST(CProcessTest, ProgramThatCannotStartThrowsTheSystemsReason)
{
    CProcessChild child;
    const struct {
        std::string program;
        std::string folder;
        std::string reason;
    } cases[] = {
        {"/no such folder/program", "", "No such file or directory"},
        {child.getProgramPath().string(), "/no such folder", "No such file or directory"},
        {child.makeFolder("a folder").string(), "", "Permission denied"},
    };
    for (const auto& test : cases) {
        for (const CProcessOptions& options :
             {CProcessOptions(), makeOptions(true, false), makeOptions(false, true), makeOptions(true, true)}) {
            expectError<CError>("Error executing file '" + test.program + "': '" + test.reason + "'.",
                                [&] { make<CProcess>(test.program, String(), test.folder, 0, &options); });
        }
    }
}

TEST(CProcessTest, PriorityMapsOntoNiceValues)
{
    if (getpriority(PRIO_PROCESS, 0) != 0)
        GTEST_SKIP() << "the tests run with a nice value of their own";
    const struct {
        int32_t priority;
        int nice;
    } cases[] = {
        {IProcess::priorityIdle, 19}, {IProcess::priorityBelowNormal, 5}, {IProcess::priorityNormal, 0},
    };
    for (const auto& test : cases) {
        P<CProcess> process = make<CProcess>("/bin/sleep", String("30"), "", test.priority);
        EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(process->getProcessID())), test.nice) << test.priority;
        process->terminate();
        EXPECT_TRUE(waitForEnd(*process)) << test.priority;
    }
}

TEST(CProcessTest, ReleasedProgramLeavesNoZombie)
{
    // One released while it may still run, one surely running.
    P<CProcess> quick = make<CProcess>("/bin/true", String(), "", 0);
    P<CProcess> running = make<CProcess>("/bin/sleep", String("30"), "", 0);
    const pid_t pids[] = {quick->getProcessID(), running->getProcessID()};
    quick = nullptr;
    // Released while it runs, so the reaper has to wait for its end.
    running = nullptr;
    kill(pids[1], SIGKILL);
    for (pid_t pid : pids)
        EXPECT_TRUE(waitUntil([&] { return isReaped(pid); })) << pid;
}

// What a program cost is read as its end is seen, whether it is reaped at once or kept for its group's
// sake; the waited-for children count. A program ended by a signal exits with its number above 128.
TEST(CProcessTest, EndRecordsCauseAndPeakMemory)
{
    // sort, a child the script waits for, must hold its one 64 MB line whole.
    const std::string memoryHungry = "head -c 64000000 /dev/zero | sort >/dev/null";
    const struct {
        std::string script;
        bool bOwnProcessGroup;
        const char* cause;
        int32_t exitCode;
        int64_t minPeakBytes;
    } cases[] = {
        {memoryHungry, false, "exited with code 0", 0, 64000000},
        {memoryHungry, true, "exited with code 0", 0, 64000000},
        {"kill -15 $$", false, "killed by signal 15 (SIGTERM)", 128 + SIGTERM, 0},
    };
    for (const auto& c : cases) {
        CTempFolder folder;
        folder.put("run.sh", "#!/bin/sh\n" + c.script + "\n");
        const CProcessOptions options = makeOptions(c.bOwnProcessGroup, true);
        chmod(folder.pathOf("run.sh").c_str(), 0755);
        P<CProcess> process = make<CProcess>(folder.pathOf("run.sh"), String(), "", 0, &options);
        ASSERT_TRUE(waitForEnd(*process)) << c.script;
        SProcessEnd end;
        ASSERT_TRUE(process->getEnd(end));
        EXPECT_EQ(end.cause.toUTF8(), c.cause) << c.script;
        EXPECT_EQ(end.exitCode, c.exitCode) << c.script;
        EXPECT_EQ(process->getExitCode(), c.exitCode) << c.script;
        EXPECT_GE(end.peakResidentBytes, c.minPeakBytes) << c.script;
    }
}

// Whether `pid` names a process that has not ended: a zombie has.
bool isRunning(pid_t pid)
{
    if (kill(pid, 0) != 0)
        return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text{std::istreambuf_iterator<char>(stat), std::istreambuf_iterator<char>()};
    const size_t nameEnd = text.rfind(')');
    return nameEnd != std::string::npos && nameEnd + 2 < text.size() && text[nameEnd + 2] != 'Z';
}

// A program that leaves a sleeping child behind, writes its number to a file and, asked to stay, waits for it.
class CGrandchildSpawner {
public:
    CGrandchildSpawner()
    {
        m_folder.put("spawner.sh", "#!/bin/sh\n"
                                   "sleep 30 &\n"
                                   "echo $! > \"$1.part\" && mv \"$1.part\" \"$1\"\n"
                                   "[ \"$2\" = stay ] && wait\n"
                                   "exit 0\n");
        chmod(m_folder.pathOf("spawner.sh").c_str(), 0755);
    }

    P<CProcess> start(bool bStay, const CProcessOptions& options) const
    {
        const String arguments = String::fromUTF8(m_folder.pathOf("child") + (bStay ? " stay" : ""));
        return make<CProcess>(m_folder.pathOf("spawner.sh"), arguments, "", 0, &options);
    }

    // The sleeping child's number; 0 when the program did not tell it in time.
    pid_t waitForGrandchild() const
    {
        if (!waitUntil([this] { return !m_folder.get("child").empty(); }))
            return 0;
        return static_cast<pid_t>(std::stol(m_folder.get("child")));
    }

private:
    CTempFolder m_folder;
};

// terminate() ends the own group also after the program ended; a hang report request, which the shell has
// no handler for and ends of, reaches the program alone.
TEST(CProcessTest, TerminateEndsTheOwnGroupAndAHangReportRequestReachesTheProgramAlone)
{
    const struct {
        const char* name;
        bool bOwnProcessGroup;
        bool bLeaderStays;
        bool bHangReport;
        int32_t exitCode;
        bool bGrandchildSurvives;
    } cases[] = {
        {"group, program running", true, true, false, 128 + SIGKILL, false},
        {"group, program ended", true, false, false, 0, false},
        {"no group", false, true, false, 128 + SIGKILL, true},
        {"hang report", true, true, true, 128 + crashhandler::hangReportSignal, true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        CGrandchildSpawner spawner;
        P<CProcess> process = spawner.start(test.bLeaderStays, makeOptions(test.bOwnProcessGroup, false));
        const pid_t grandchild = spawner.waitForGrandchild();
        ASSERT_NE(0, grandchild);
        if (!test.bLeaderStays) {
            ASSERT_TRUE(waitForEnd(*process));
        }
        test.bHangReport ? process->requestHangReport() : process->terminate();
        ASSERT_TRUE(waitForEnd(*process));
        EXPECT_EQ(test.exitCode, process->getExitCode());
        // A group leader's zombie keeps the group's number from being reused.
        const pid_t leader = process->getProcessID();
        EXPECT_EQ(!test.bOwnProcessGroup, isReaped(leader));
        if (test.bGrandchildSurvives) {
            EXPECT_TRUE(isRunning(grandchild));
            kill(grandchild, SIGKILL);
        } else {
            EXPECT_TRUE(waitUntil([&] { return !isRunning(grandchild); }));
        }
        process = nullptr;
        EXPECT_TRUE(waitUntil([&] { return isReaped(leader); }));
    }
}

} // namespace
} // namespace lumo::posix
