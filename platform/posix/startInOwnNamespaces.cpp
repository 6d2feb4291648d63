#include "platform/posix/startInOwnNamespaces.h"

#include "platform/posix/CFileDescriptor.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumo::posix {

namespace {

// A mount namespace too, for a /proc of the new process-number namespace.
constexpr int namespaceFlags = CLONE_NEWUSER | CLONE_NEWNET | CLONE_NEWIPC | CLONE_NEWPID | CLONE_NEWNS;
constexpr unsigned unprivilegedID = 65534;

// The refusals that mean "no namespaces here" (not permitted, not built in,
// a limit on their number reached) rather than a failed start.
bool isRefusal(int error)
{
    return error == EPERM || error == EINVAL || error == ENOSPC || error == EUSERS || error == ENOSYS;
}

// The single line of an id map that lets the namespace's unprivileged id
// stand for `outside`.
std::string idMapFor(unsigned outside)
{
    return std::to_string(unprivilegedID) + " " + std::to_string(outside) + " 1\n";
}

// The texts the child writes, made before it exists: it must not allocate.
struct SIdMaps {
    std::string users = idMapFor(geteuid());
    std::string groups = idMapFor(getegid());
};

// The steps below run in the child, between clone and exec: async-signal-safe
// calls only, each returning false with errno set when it fails.

bool writeWhole(const char* path, const std::string& text)
{
    const int file = open(path, O_WRONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    const bool bWritten = write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const int writeError = errno;
    close(file);
    errno = writeError;
    return bWritten;
}

// Groups may be dropped only once the map can no longer add any back.
bool mapIDs(const SIdMaps& maps)
{
    return writeWhole("/proc/self/uid_map", maps.users) && writeWhole("/proc/self/setgroups", "deny") &&
           writeWhole("/proc/self/gid_map", maps.groups);
}

bool openNullDeviceAs(int target, int flags)
{
    const int device = open("/dev/null", flags);
    if (device < 0 || device == target)
        return device == target;
    const bool bMoved = dup2(device, target) == target;
    close(device);
    return bMoved;
}

bool applyGrouping(SStartPlan::EGrouping grouping)
{
    switch (grouping) {
    case SStartPlan::EGrouping::ownSession:
        return setsid() >= 0;
    case SStartPlan::EGrouping::ownGroup:
        return setpgid(0, 0) == 0;
    case SStartPlan::EGrouping::callersGroup:
        break;
    }
    return true;
}

// Marked close-on-exec rather than closed, so that the error pipe still
// works until the exec.
bool closeAllButStandardDescriptorsAtExec()
{
    return syscall(SYS_close_range, STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC) == 0;
}

// /proc as the new process-number namespace sees it, so that /proc/1 is the
// program itself rather than the system's first process, and other
// processes are out of sight. Where the system refuses (a /proc partly
// hidden, as in some containers), the caller's stays: the program works
// with either.
void mountOwnProcessFolder() { mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr); }

bool carryOut(const SStartPlan& plan)
{
    return (plan.workingFolder.empty() || chdir(plan.workingFolder.c_str()) == 0) &&
           (!plan.bNullInput || openNullDeviceAs(STDIN_FILENO, O_RDONLY)) &&
           (!plan.bDiscardOutput ||
            (openNullDeviceAs(STDOUT_FILENO, O_WRONLY) && dup2(STDOUT_FILENO, STDERR_FILENO) == STDERR_FILENO)) &&
           applyGrouping(plan.grouping) &&
           (!plan.bCloseAllButStandardDescriptors || closeAllButStandardDescriptorsAtExec());
}

// The caller's handlers are no business of the program, and must not run in
// the child once its signals are unblocked.
void unblockSignalsWithDefaultHandlers(const sigset_t& callersMask)
{
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction current = {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN && current.sa_handler != SIG_DFL)
            sigaction(signal, &byDefault, nullptr);
    }
    sigprocmask(SIG_SETMASK, &callersMask, nullptr);
}

[[noreturn]] void runChild(const SStartPlan& plan, const SIdMaps& maps, char* const argv[], char* const envp[],
                           const sigset_t& callersMask, int errorPipe)
{
    if (mapIDs(maps)) {
        mountOwnProcessFolder();
        if (carryOut(plan)) {
            unblockSignalsWithDefaultHandlers(callersMask);
            execve(plan.programPath.c_str(), argv, envp);
        }
    }
    const int error = errno;
    // Nothing is left to do when even this fails: the parent then sees a start.
    [[maybe_unused]] const ssize_t written = write(errorPipe, &error, sizeof error);
    _exit(127);
}

// The child's report: 0 once the exec closed the pipe, else the failed step's code.
int readChildError(int errorPipe)
{
    int error = 0;
    ssize_t got;
    do
        got = read(errorPipe, &error, sizeof error);
    while (got < 0 && errno == EINTR);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

void reap(pid_t pid)
{
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

bool startInOwnNamespaces(const SStartPlan& plan, char* const argv[], char* const envp[], pid_t& pid, int& error)
{
    const SIdMaps maps;
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = errno;
        return true;
    }
    CFileDescriptor reading(pipeEnds[0]);
    CFileDescriptor writing(pipeEnds[1]);
    sigset_t all;
    sigset_t callersMask;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &callersMask);
    // Fork-like: the child gets a copy of the caller's memory and its own stack.
    const long result = syscall(SYS_clone, namespaceFlags | SIGCHLD, nullptr, nullptr, nullptr, nullptr);
    if (result == 0)
        runChild(plan, maps, argv, envp, callersMask, writing.get());
    const int cloneError = errno;
    pthread_sigmask(SIG_SETMASK, &callersMask, nullptr);
    if (result < 0) {
        error = cloneError;
        return !isRefusal(cloneError);
    }
    writing.reset();
    pid = static_cast<pid_t>(result);
    error = readChildError(reading.get());
    if (error != 0)
        reap(pid);
    return true;
}

} // namespace lumo::posix
