// Real hang reports of a child process of the test, whose threads the handler asks for their stacks.
#include "crashhandler/posix/hangReportHandler.h"

#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace crashhandler {
namespace {

constexpr int requestSignal = SIGUSR1;
// Generous: an alarm ends the child after this long, so that no wait of the test hangs.
constexpr unsigned childLifeSeconds = 20;

char g_reportPath[256];

struct SThreadIDs {
    pid_t main, worker, deaf;
};

std::atomic<pid_t> g_workerID{0}, g_deafID{0};
int g_readyPipe = -1;

volatile bool g_bWaiting = true;
volatile int g_depthSeen = 0;

// Waits for ever a few frames deep, so that a stack walk has steps to take; `atBottom` runs in the deepest frame first,
// so that whatever it announces holds from then on.
__attribute__((noinline)) void waitDeep(int depth, void (*atBottom)())
{
    if (depth > 0) {
        waitDeep(depth - 1, atBottom);
    } else {
        atBottom();
        while (g_bWaiting)
            pause();
    }
    // After the call, so that it stays a call with a frame of its own.
    g_depthSeen = depth;
}

void* runWorker(void*)
{
    pthread_setname_np(pthread_self(), "worker");
    waitDeep(3, [] { g_workerID = gettid(); });
    return nullptr;
}

// A thread that never hears the request.
void* runDeaf(void*)
{
    pthread_setname_np(pthread_self(), "deaf");
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, requestSignal);
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    waitDeep(0, [] { g_deafID = gettid(); });
    return nullptr;
}

// Once the others wait: the handler, with the worker serving so that the installer is not asked first; the ids.
void announceReady()
{
    while (g_workerID == 0 || g_deafID == 0)
        usleep(1000);
    const SThreadIDs ids{gettid(), g_workerID, g_deafID};
    installHangReportHandler(requestSignal, ids.worker, g_reportPath, "tests", "1.0");
    if (write(g_readyPipe, &ids, sizeof ids) != sizeof ids)
        _exit(1);
}

[[noreturn]] void runChild(int ready)
{
    alarm(childLifeSeconds);
    g_readyPipe = ready;
    pthread_setname_np(pthread_self(), "main");
    pthread_t thread;
    pthread_create(&thread, nullptr, &runWorker, nullptr);
    pthread_create(&thread, nullptr, &runDeaf, nullptr);
    waitDeep(3, &announceReady);
    _exit(1);
}

struct SOutcome {
    SThreadIDs ids{};
    int status = -1;
    std::string report;
};

SOutcome requestReport()
{
    std::snprintf(g_reportPath, sizeof g_reportPath, "/tmp/hang-report-%d.txt", static_cast<int>(getpid()));
    std::remove(g_reportPath);
    int ready[2];
    if (pipe(ready) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        runChild(ready[1]);
    }
    close(ready[1]);
    SOutcome outcome;
    if (read(ready[0], &outcome.ids, sizeof outcome.ids) == sizeof outcome.ids)
        kill(child, requestSignal);
    close(ready[0]);
    waitpid(child, &outcome.status, 0);
    outcome.report = nebo::test::readWholeFile(g_reportPath);
    std::remove(g_reportPath);
    return outcome;
}

std::string threadLine(pid_t id, const char* name, const char* rest)
{
    return "Thread " + std::to_string(id) + " \"" + name + "\"" + rest;
}

// The main thread serving is the slave's own case, which its confinement test sees.
TEST(hangReportHandlerTest, ServingThreadComesFirstAndEveryOtherIsAskedInTurn)
{
    const SOutcome outcome = requestReport();
    ASSERT_TRUE(WIFEXITED(outcome.status)) << outcome.status;
    EXPECT_EQ(WEXITSTATUS(outcome.status), hangReportExitCode);
    const std::string& report = outcome.report;
    EXPECT_EQ(report.rfind("tests 1.0\n\n\nHang Report\n\n", 0), 0u) << report;

    const std::string first = threadLine(outcome.ids.worker, "worker", ", serving the master's calls:\n\nContext:\n\n");
    const std::string other = threadLine(outcome.ids.main, "main", ":\n\nContext:\n\n");
    EXPECT_EQ(report.find("Thread "), report.find(first)) << report;
    EXPECT_NE(report.find(other), std::string::npos) << report;
    EXPECT_NE(report.find(threadLine(outcome.ids.deaf, "deaf", ": did not answer.\n\n")), std::string::npos) << report;
    // Each recorded thread has its own stack pointer, and its walk goes through the frames it waits in.
    std::string stackPointers[2];
    for (int i = 0; i < 2; ++i) {
        const size_t start = report.find(i == 0 ? first : other);
        const size_t end = report.find("\nThread ", start);
        const size_t stackPointer = report.find("RSP:    ", start);
        stackPointers[i] = report.substr(stackPointer, report.find('\n', stackPointer) - stackPointer);
        size_t steps = 0;
        for (size_t at = report.find("Current Address: ", start); at < end;
             at = report.find("Current Address: ", at + 1))
            ++steps;
        EXPECT_GE(steps, 4u) << report;
    }
    EXPECT_NE(stackPointers[0], stackPointers[1]);
}

} // namespace
} // namespace crashhandler
