// Real faults in a child process of the test, reported by the real handler.
#include "crashhandler/posix/fatalSignalFilter.h"

#include "crashhandler/ICrashHandler.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace crashhandler {
namespace {

char g_reportPath[256];

void writeReport(const SExceptionPointers& pointers) noexcept
{
    ICrashHandler* handler = createCrashHandler("tests", "1.0");
    // Its debug copy goes to the null device the child writes to.
    handler->handleCrash(g_reportPath, pointers, true);
    handler->destroy();
}

struct SOutcome {
    int status;
    std::string report;
};

// Runs `fault` in a child with the filter installed (process 1 of new user and PID namespaces if `bFirstOfNamespace`);
// the status is -1 when the child could not be made. The report of a crash goes to a file of the test's own.
SOutcome runChild(void (*fault)(), bool bRemoveFirst, bool bFirstOfNamespace)
{
    std::snprintf(g_reportPath, sizeof g_reportPath, "/tmp/crash-report-%d.txt", static_cast<int>(getpid()));
    std::remove(g_reportPath);
    const pid_t child = bFirstOfNamespace
                            ? static_cast<pid_t>(syscall(SYS_clone, CLONE_NEWUSER | CLONE_NEWPID | SIGCHLD, nullptr,
                                                         nullptr, nullptr, nullptr))
                            : fork();
    if (child < 0)
        return SOutcome{-1, ""};
    if (child == 0) {
        const rlimit noCores{0, 0};
        setrlimit(RLIMIT_CORE, &noCores);
        const int silence = open("/dev/null", O_WRONLY);
        dup2(silence, STDERR_FILENO);
        installFatalSignalFilter(&writeReport);
        if (bRemoveFirst)
            removeFatalSignalFilter();
        fault();
        _exit(0);
    }
    SOutcome outcome{-1, ""};
    waitpid(child, &outcome.status, 0);
    outcome.report = nebo::test::readWholeFile(g_reportPath);
    std::remove(g_reportPath);
    return outcome;
}

// A file grown past the limit of the slave's sandbox; the report stays below it.
void growPastTheFileLimit()
{
    const rlimit limit{1 << 20, 1 << 20};
    setrlimit(RLIMIT_FSIZE, &limit);
    const std::string chunk(2 << 20, 'x');
    std::FILE* file = std::tmpfile();
    std::fwrite(chunk.data(), 1, chunk.size(), file);
    std::fflush(file);
}

void writeToAnUnmappedAddress()
{
    // Not null, so that only the processor can object to it.
    volatile uintptr_t unmapped = 16;
    *reinterpret_cast<volatile int*>(unmapped) = 1;
}

// The first process of a namespace ignores a fatal signal it raises itself, yet dies of a fault raised again. The
// slave's crash report tests make the other faults through the same filter.
TEST(fatalSignalFilterTest, FaultIsReportedAndEndsTheProcessByItsSignalUnlessTheFilterWasRemoved)
{
    // clang-format off
    const struct { void (*fault)(); int signal; bool bRemoveFirst, bFirstOfNamespace; } cases[] = {
        {&growPastTheFileLimit, SIGXFSZ, false, false}, {&writeToAnUnmappedAddress, SIGSEGV, false, false},
        {&writeToAnUnmappedAddress, SIGSEGV, false, true}, {&abort, SIGABRT, true, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "signal " << c.signal
                                        << (c.bFirstOfNamespace ? ", first of a namespace" : ""));
        const SOutcome outcome = runChild(c.fault, c.bRemoveFirst, c.bFirstOfNamespace);
        if (outcome.status == -1 && c.bFirstOfNamespace) {
            std::printf("NOTE: new namespaces are refused here (%s); that case is skipped\n", std::strerror(errno));
            continue;
        }
        ASSERT_TRUE(WIFSIGNALED(outcome.status)) << outcome.status;
        EXPECT_EQ(WTERMSIG(outcome.status), c.signal);
        if (c.bRemoveFirst)
            EXPECT_EQ(outcome.report, "");
        else
            EXPECT_EQ(outcome.report.rfind("tests 1.0\n\n\nFatal Exception at 0x", 0), 0u) << outcome.report;
    }
}

} // namespace
} // namespace crashhandler
