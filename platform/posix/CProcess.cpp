#include "platform/posix/CProcess.h"

#include "crashhandler/posix/hangReportSignal.h"
#include "foundation/CError.h"
#include "foundation/IStringLocalizer.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/getTickCount.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/posix/CChildReaper.h"
#include "platform/posix/CFileDescriptor.h"
#include "platform/posix/CPipeAddress.h"
#include "platform/posix/niceScale.h"
#include "platform/posix/openProcessDescriptor.h"
#include "platform/posix/pollRetrying.h"
#include "platform/posix/startInOwnNamespaces.h"
#include "platform/splitAtBlanks.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace lumo::posix {

namespace {

std::string absolutePathOf(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

[[noreturn]] void throwStartFailed(const std::string& programPath, int errorCode)
{
    throw CError(localize("lumo.win32.CProcess.CreateProcessFailed", "Error executing file '%FILE%': '%ERRORDESC%'.")
                     .replace("%FILE%", String::fromUTF8(programPath))
                     .replace("%ERRORDESC%", getSystemErrorText(errorCode)));
}

// The file actions and attributes of one start, released on every exit.
// The first step the system refuses is remembered; spawn() then fails
// with its code.
class CSpawnSetup {
public:
    CSpawnSetup()
    {
        m_error = posix_spawn_file_actions_init(&m_actions);
        m_bHasActions = m_error == 0;
        step([&] { return posix_spawnattr_init(&m_attributes); });
        m_bHasAttributes = m_error == 0;
    }
    ~CSpawnSetup()
    {
        if (m_bHasActions)
            posix_spawn_file_actions_destroy(&m_actions);
        if (m_bHasAttributes)
            posix_spawnattr_destroy(&m_attributes);
    }
    CSpawnSetup(const CSpawnSetup&) = delete;
    CSpawnSetup& operator=(const CSpawnSetup&) = delete;

    void changeFolder(const std::string& folder)
    {
        step([&] { return posix_spawn_file_actions_addchdir_np(&m_actions, folder.c_str()); });
    }
    void discardOutput()
    {
        step([&] { return posix_spawn_file_actions_addopen(&m_actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0); });
        step([&] { return posix_spawn_file_actions_adddup2(&m_actions, STDOUT_FILENO, STDERR_FILENO); });
    }
    void takeNullInput()
    {
        step([&] { return posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0); });
    }
    // A new session's leader leads a new group as well; the system refuses
    // to be asked for both.
    void applyGrouping(SStartPlan::EGrouping grouping)
    {
        if (grouping == SStartPlan::EGrouping::ownSession)
            step([&] { return posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSID); });
        if (grouping == SStartPlan::EGrouping::ownGroup) {
            step([&] { return posix_spawnattr_setpgroup(&m_attributes, 0); });
            step([&] { return posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETPGROUP); });
        }
    }
    void closeAllButStandardDescriptors()
    {
        step([&] { return posix_spawn_file_actions_addclosefrom_np(&m_actions, STDERR_FILENO + 1); });
    }
    // 0, or the error code of the first step that failed.
    int spawn(pid_t& pid, const std::string& path, char* const argv[], char* const envp[])
    {
        step([&] { return posix_spawn(&pid, path.c_str(), &m_actions, &m_attributes, argv, envp); });
        return m_error;
    }

private:
    template <class F> void step(F&& action)
    {
        if (m_error == 0)
            m_error = action();
    }

    posix_spawn_file_actions_t m_actions{};
    posix_spawnattr_t m_attributes{};
    bool m_bHasActions = false;
    bool m_bHasAttributes = false;
    int m_error = 0;
};

// The null-terminated array of pointers into `texts` that exec expects.
std::vector<char*> pointersTo(const std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (const std::string& text : texts)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// `environment` with the caller's pipe folder in NEBO_PIPE_DIR. A child in
// namespaces of its own goes by another user id, from which it would look
// for its caller's pipes elsewhere.
std::vector<std::string> withCallersPipeFolder(std::vector<std::string> environment)
{
    const std::string name = "NEBO_PIPE_DIR=";
    environment.erase(std::remove_if(environment.begin(), environment.end(),
                                     [&](const std::string& entry) { return entry.rfind(name, 0) == 0; }),
                      environment.end());
    environment.push_back(name + CPipeAddress::folderOfThisProcess());
    return environment;
}

std::vector<std::string> callersEnvironment()
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry)
        entries.emplace_back(*entry);
    return entries;
}

SStartPlan planStart(const std::string& programPath, const String& arguments, const std::string& workingDirectory,
                     const CProcessOptions& options)
{
    SStartPlan plan;
    plan.programPath = absolutePathOf(programPath);
    plan.arguments = splitAtBlanks(arguments.toUTF8());
    plan.arguments.insert(plan.arguments.begin(), plan.programPath);
    plan.bOwnEnvironment = options.bOwnEnvironment || options.bOwnNamespaces || options.bResolveAllAtStart;
    if (plan.bOwnEnvironment) {
        plan.environment = options.bOwnEnvironment ? options.environment : callersEnvironment();
        if (options.bOwnNamespaces)
            plan.environment = withCallersPipeFolder(std::move(plan.environment));
        if (options.bResolveAllAtStart)
            plan.environment.push_back("LD_BIND_NOW=1");
    }
    plan.workingFolder = workingDirectory;
    plan.bNullInput = options.bNoTerminal;
    plan.bDiscardOutput = options.bDiscardOutput;
    if (options.bNoTerminal)
        plan.grouping = SStartPlan::EGrouping::ownSession;
    else if (options.bOwnProcessGroup)
        plan.grouping = SStartPlan::EGrouping::ownGroup;
    plan.bCloseAllButStandardDescriptors = options.bInheritOnlyStandardDescriptors;
    return plan;
}

// 0, or the error code of the first step that failed.
int spawnByPlan(const SStartPlan& plan, char* const argv[], char* const envp[], pid_t& pid)
{
    CSpawnSetup setup;
    if (!plan.workingFolder.empty())
        setup.changeFolder(plan.workingFolder);
    if (plan.bNullInput)
        setup.takeNullInput();
    if (plan.bDiscardOutput)
        setup.discardOutput();
    setup.applyGrouping(plan.grouping);
    if (plan.bCloseAllButStandardDescriptors)
        setup.closeAllButStandardDescriptors();
    return setup.spawn(pid, plan.programPath, argv, envp);
}

pid_t start(const std::string& programPath, const String& arguments, const std::string& workingDirectory,
            const CProcessOptions& options)
{
    const SStartPlan plan = planStart(programPath, arguments, workingDirectory, options);
    const std::vector<char*> argv = pointersTo(plan.arguments);
    const std::vector<char*> ownEnvironment =
        plan.bOwnEnvironment ? pointersTo(plan.environment) : std::vector<char*>();
    char* const* envp = plan.bOwnEnvironment ? ownEnvironment.data() : environ;
    pid_t pid = 0;
    int error = 0;
    if (!options.bOwnNamespaces || !startInOwnNamespaces(plan, argv.data(), envp, pid, error))
        error = spawnByPlan(plan, argv.data(), envp, pid);
    if (error != 0)
        throwStartFailed(programPath, error);
    return pid;
}

// waitid as the system offers it, which also reports what the process
// cost; the C library's wrapper leaves that out. Retries EINTR.
int waitForStatus(pid_t pid, siginfo_t& info, int options, rusage& usage)
{
    int result;
    do
        result = static_cast<int>(syscall(SYS_waitid, P_PID, static_cast<id_t>(pid), &info, options, &usage));
    while (result < 0 && errno == EINTR);
    return result;
}

int64_t toMilliseconds(const timeval& time) { return int64_t{time.tv_sec} * 1000 + time.tv_usec / 1000; }

String describeEnd(const siginfo_t& info)
{
    if (info.si_code == CLD_EXITED)
        return String::fromUTF8("exited with code " + std::to_string(info.si_status));
    const char* name = sigabbrev_np(info.si_status);
    return String::fromUTF8("killed by signal " + std::to_string(info.si_status) +
                            (name ? std::string(" (SIG") + name + ")" : std::string()));
}

} // namespace

CProcess::CProcess(const std::string& programPath, const String& arguments, const std::string& workingDirectory,
                   int32_t priority, const CProcessOptions* options)
    : m_mutex(getMutexFactory()->createMutex()),
      m_pid(start(programPath, arguments, workingDirectory, options ? *options : CProcessOptions()))
{
    if (options && (options->bOwnProcessGroup || options->bNoTerminal))
        m_processGroup = m_pid;
    setPriority(priority);
}

CProcess::~CProcess()
{
    if (m_bReaped)
        return;
    // A group leader seen ended is a zombie held for its group's sake: it
    // goes now, leaving nothing for the reaper.
    if (m_bTerminated && waitpid(m_pid, nullptr, WNOHANG) == m_pid)
        return;
    try {
        getChildReaper()->adopt(m_pid);
    } catch (...) {
        // Nothing is left to try: the child stays a zombie until this process ends.
    }
}

bool CProcess::collectStatus()
{
    if (m_bTerminated)
        return true;
    siginfo_t info{};
    rusage usage{};
    const int options = WEXITED | WNOHANG | (m_processGroup ? WNOWAIT : 0);
    const int result = waitForStatus(m_pid, info, options, usage);
    if (result == 0 && info.si_pid == 0)
        return false;
    m_bTerminated = true;
    // A status collected elsewhere frees the identity as well.
    m_bReaped = result != 0 || !m_processGroup;
    if (result != 0) {
        m_end.cause = String("ended unobserved");
        return true;
    }
    m_exitCode = info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status;
    m_end.exitCode = m_exitCode;
    m_end.cause = describeEnd(info);
    m_end.peakResidentBytes = int64_t{usage.ru_maxrss} * 1024;
    m_end.cpuTimeMs = toMilliseconds(usage.ru_utime) + toMilliseconds(usage.ru_stime);
    return true;
}

bool CProcess::hasTerminated()
{
    CScopedLock lock(m_mutex);
    return collectStatus();
}

bool CProcess::waitForEnd(uint32_t ms)
{
    const int64_t deadline = getTickCount() + ms;
    for (;;) {
        CFileDescriptor ending;
        {
            CScopedLock lock(m_mutex);
            if (collectStatus())
                return true;
            // Opened under the lock, where the child cannot be reaped meanwhile.
            ending = CFileDescriptor(openProcessDescriptor(m_pid));
        }
        const int64_t left = deadline - getTickCount();
        if (left <= 0)
            return false;
        // Without a descriptor (the system refused one) poll() only rests,
        // so the status is looked at again every millisecond.
        pollfd watched{ending.get(), POLLIN, 0};
        pollRetrying(&watched, 1, ending.isValid() ? static_cast<int>(std::min<int64_t>(left, INT_MAX)) : 1);
    }
}

int32_t CProcess::getExitCode()
{
    CScopedLock lock(m_mutex);
    return collectStatus() ? m_exitCode : -1;
}

bool CProcess::getEnd(SProcessEnd& end)
{
    CScopedLock lock(m_mutex);
    if (!collectStatus())
        return false;
    end = m_end;
    return true;
}

bool CProcess::setPriority(int32_t priority)
{
    // Under the lock, so that the identity cannot be reaped and reused meanwhile.
    CScopedLock lock(m_mutex);
    return !collectStatus() && setpriority(PRIO_PROCESS, static_cast<id_t>(m_pid), niceScale.nativeOf(priority)) == 0;
}

int32_t CProcess::getPriority()
{
    CScopedLock lock(m_mutex);
    if (!collectStatus()) {
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(m_pid));
        if (nice != -1 || errno == 0)
            return niceScale.priorityOf(nice);
    }
    throw CError("getProcessPriority failed. Maybe the process isn't running anymore?", "CProcess");
}

void CProcess::terminate()
{
    // Under the lock, so that the identity cannot be reaped and reused meanwhile.
    CScopedLock lock(m_mutex);
    collectStatus();
    if (!m_bReaped)
        kill(m_processGroup ? -m_processGroup : m_pid, SIGKILL);
}

void CProcess::requestHangReport()
{
    // Under the lock, so that the identity cannot be reaped and reused meanwhile.
    CScopedLock lock(m_mutex);
    if (!collectStatus())
        kill(m_pid, crashhandler::hangReportSignal);
}

uint32_t CProcess::getID() { return static_cast<uint32_t>(m_pid); }

pid_t CProcess::getProcessID() { return m_pid; }

} // namespace lumo::posix

namespace lumo {

uint32_t getCurrentProcessID() { return static_cast<uint32_t>(getpid()); }

} // namespace lumo
