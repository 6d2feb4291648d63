#include "platform/posix/CProcess.h"

#include "CProcessChild.h"
#include "CTempFolder.h"
#include "bindLoopback.h"
#include "crashhandler/posix/hangReportSignal.h"
#include "expectError.h"
#include "foundation/CError.h"
#include "support/CScopedEnvironment.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sched.h>
#include <stdlib.h>
#include <sys/ioctl.h>
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

CProcessOptions makeOptions(bool bOwnProcessGroup, bool bDiscardOutput, bool bNoTerminal = false,
                            bool bOwnNamespaces = false)
{
    CProcessOptions options;
    options.bOwnProcessGroup = bOwnProcessGroup;
    options.bDiscardOutput = bDiscardOutput;
    options.bNoTerminal = bNoTerminal;
    options.bOwnNamespaces = bOwnNamespaces;
    return options;
}

// True, with a note, when a case asks for namespaces of its own and this system refuses the tests those.
bool skipsNamespaces(bool bOwnNamespaces)
{
    static const bool bCanMake = [] {
        const pid_t child = fork();
        if (child == 0)
            _exit(unshare(CLONE_NEWUSER | CLONE_NEWNET | CLONE_NEWIPC | CLONE_NEWPID) == 0 ? 0 : 1);
        int status = 0;
        return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }();
    if (bOwnNamespaces && !bCanMake)
        std::printf("NOTE: the system refuses new namespaces here; the case is skipped\n");
    return bOwnNamespaces && !bCanMake;
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
             {CProcessOptions(), makeOptions(true, false), makeOptions(false, true), makeOptions(true, true),
              makeOptions(false, false, true), makeOptions(true, true, true, true)}) {
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
        {IProcess::priorityIdle, 19},
        {IProcess::priorityBelowNormal, 5},
        {IProcess::priorityNormal, 0},
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

// Reaped at once or kept for its group's sake, the cost counts waited-for children; a signal exits above 128.
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

// Starts a program that leaves a sleeping child behind, in its group or a session of the child's own, and, asked to
// stay, waits for it. The child goes by the name of `folder`'s "grandchild", as in namespaces of its own its number is
// not the caller's.
P<CProcess> startSpawner(const CTempFolder& folder, bool bStay, bool bOwnSession, const CProcessOptions& options)
{
    folder.put("spawner.sh", "#!/bin/bash\n"
                             "[ \"$3\" = session ] && start=setsid || start=\n"
                             "$start bash -c 'exec -a \"$0\" sleep 30' \"$1\" &\n"
                             "[ \"$2\" = stay ] && wait\n"
                             "exit 0\n");
    chmod(folder.pathOf("spawner.sh").c_str(), 0755);
    const std::string arguments =
        folder.pathOf("grandchild") + (bStay ? " stay" : " go") + (bOwnSession ? " session" : " group");
    return make<CProcess>(folder.pathOf("spawner.sh"), String::fromUTF8(arguments), "", 0, &options);
}

// The number, as this process sees it, of the process whose first word is `name`; 0 when none appeared in time.
pid_t waitForProcessNamed(const std::string& name)
{
    pid_t found = 0;
    waitUntil([&] {
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            std::ifstream command(entry.path() / "cmdline");
            std::string first;
            if (std::getline(command, first, '\0') && first == name)
                found = static_cast<pid_t>(std::stol(entry.path().filename().string()));
        }
        return found != 0;
    });
    return found;
}

// terminate() ends the own group also after the program ended, and in namespaces of its own even what left the group; a
// hang report request, which the shell has no handler for and ends of, reaches the program alone.
TEST(CProcessTest, TerminateEndsTheOwnGroupAndAHangReportRequestReachesTheProgramAlone)
{
    const struct {
        const char* name;
        CProcessOptions options;
        bool bLeaderStays;
        bool bGrandchildOwnSession;
        bool bHangReport;
        int32_t exitCode;
        bool bGrandchildSurvives;
    } cases[] = {
        {"group, program running", makeOptions(true, false), true, false, false, 128 + SIGKILL, false},
        {"group, program ended", makeOptions(true, false), false, false, false, 0, false},
        {"no group", makeOptions(false, false), true, false, false, 128 + SIGKILL, true},
        {"hang report", makeOptions(true, false), true, false, true, 128 + crashhandler::hangReportSignal, true},
        {"own session", makeOptions(false, false, true), true, false, false, 128 + SIGKILL, false},
        {"own namespaces, grandchild in a session of its own", makeOptions(false, false, true, true), true, true, false,
         128 + SIGKILL, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        if (skipsNamespaces(test.options.bOwnNamespaces))
            continue;
        CTempFolder folder;
        P<CProcess> process = startSpawner(folder, test.bLeaderStays, test.bGrandchildOwnSession, test.options);
        const pid_t grandchild = waitForProcessNamed(folder.pathOf("grandchild"));
        ASSERT_NE(0, grandchild);
        if (!test.bLeaderStays) {
            ASSERT_TRUE(waitForEnd(*process));
        }
        test.bHangReport ? process->requestHangReport() : process->terminate();
        ASSERT_TRUE(waitForEnd(*process));
        EXPECT_EQ(test.exitCode, process->getExitCode());
        // A group leader's zombie keeps the group's number from being reused.
        const pid_t leader = process->getProcessID();
        EXPECT_EQ(!test.options.bOwnProcessGroup && !test.options.bNoTerminal, isReaped(leader));
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

// Runs `start` in a forked helper that holds a terminal of its own as its controlling terminal and standard input, as a
// user's shell does. True when the helper got the terminal and `start` returned true.
bool runWithTerminal(const std::function<bool()>& start)
{
    const pid_t helper = fork();
    if (helper == 0) {
        const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
        if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0 || setsid() < 0)
            _exit(2);
        const int user = open(ptsname(terminal), O_RDWR);
        if (user < 0 || ioctl(user, TIOCSCTTY, 0) != 0 || dup2(user, STDIN_FILENO) != STDIN_FILENO ||
            open("/dev/tty", O_RDWR) < 0)
            _exit(3);
        try {
            _exit(start() ? 0 : 4);
        } catch (...) {
            _exit(5);
        }
    }
    int status = 0;
    return helper > 0 && waitpid(helper, &status, 0) == helper && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// What a program started with a terminal at hand finds about itself; fields as "name=value" lines.
TEST(CProcessTest, ProgramWithoutTerminalOrInOwnNamespacesFindsItself)
{
    const std::string allFacts = "input=/dev/null\nsessionLeader=yes\nterminal=none\n";
    const std::string unconfined = "network=reached\n";
    const std::string confined =
        "pid=1\nprocSelf=1\nuser=65534\ngroup=65534\ncapabilities=0000000000000000\nnetwork=none\n";
    const struct {
        const char* name;
        CProcessOptions options;
        std::string facts;
    } cases[] = {
        {"no terminal", makeOptions(false, false, true), allFacts + unconfined},
        {"no terminal, own group asked too", makeOptions(true, false, true), allFacts + unconfined},
        {"own namespaces", makeOptions(false, false, true, true), allFacts + confined},
    };
    int port = 0;
    const CFileDescriptor listener = bindLoopback(SOCK_STREAM, port);
    ASSERT_TRUE(port != 0 && listen(listener.get(), 4) == 0);
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        if (skipsNamespaces(test.options.bOwnNamespaces))
            continue;
        CTempFolder folder;
        folder.put("facts.sh",
                   "#!/bin/bash\n"
                   "read -r pid comm state ppid group session rest < /proc/self/stat\n"
                   "{\n"
                   "echo \"input=$(readlink /proc/self/fd/0)\"\n"
                   "[ \"$pid\" = \"$session\" ] && echo sessionLeader=yes || echo sessionLeader=no\n"
                   "(exec 3</dev/tty) 2>/dev/null && echo terminal=open || echo terminal=none\n"
                   "if [ \"$3\" = confined ]; then\n"
                   "  echo \"pid=$$\"; echo \"procSelf=$pid\"\n"
                   "  echo \"user=$(id -u)\"; echo \"group=$(id -g)\"\n"
                   "  while read -r key value rest; do [ \"$key\" = CapEff: ] && echo \"capabilities=$value\"; "
                   "done < /proc/self/status\n"
                   "fi\n"
                   "(exec 3<>/dev/tcp/127.0.0.1/$2) 2>/dev/null && echo network=reached || echo network=none\n"
                   "} > \"$1.part\" && mv \"$1.part\" \"$1\"\n");
        chmod(folder.pathOf("facts.sh").c_str(), 0755);
        const String arguments = String::fromUTF8(folder.pathOf("facts") + " " + std::to_string(port) +
                                                  (test.options.bOwnNamespaces ? " confined" : " plain"));
        EXPECT_TRUE(runWithTerminal([&] {
            P<CProcess> process = make<CProcess>(folder.pathOf("facts.sh"), arguments, "", 0, &test.options);
            return waitForEnd(*process) && process->getExitCode() == 0;
        }));
        EXPECT_EQ(test.facts, folder.get("facts"));
    }
}

// Resolving at start rides on the environment: it must add to what the program is given, never replace it.
TEST(CProcessTest, ProgramResolvingAllAtStartKeepsItsEnvironment)
{
    const CScopedEnvironment callers("NEBO_TEST_CALLERS", "2");
    const struct {
        const char* name;
        bool bOwnEnvironment;
        std::string expected;
    } cases[] = {
        {"caller's environment", false, "A= callers=2 bindNow=1\n"},
        {"given environment", true, "A=1 callers= bindNow=1\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        CTempFolder folder;
        folder.put("env.sh", "#!/bin/sh\necho \"A=$A callers=$NEBO_TEST_CALLERS bindNow=$LD_BIND_NOW\" > \"$1\"\n");
        chmod(folder.pathOf("env.sh").c_str(), 0755);
        CProcessOptions options;
        options.bOwnEnvironment = test.bOwnEnvironment;
        options.environment = {"A=1"};
        options.bResolveAllAtStart = true;
        P<CProcess> process =
            make<CProcess>(folder.pathOf("env.sh"), String::fromUTF8(folder.pathOf("env")), "", 0, &options);
        ASSERT_TRUE(waitForEnd(*process));
        EXPECT_EQ(test.expected, folder.get("env"));
    }
}

} // namespace
} // namespace lumo::posix
