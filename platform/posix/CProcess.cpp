#include "platform/posix/CProcess.h"

#include "foundation/CError.h"
#include "foundation/IStringLocalizer.h"
#include "platform/CScopedLock.h"
#include "platform/IMutexFactory.h"
#include "platform/posix/CChildReaper.h"
#include "platform/throwSystemError.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace lumo::posix {

namespace {

struct SPriorityStep {
    int32_t priority;
    int nice;
};

constexpr SPriorityStep priorityScale[] = {
    {IProcess::priorityIdle, 19},       {IProcess::priorityBelowNormal, 5}, {IProcess::priorityNormal, 0},
    {IProcess::priorityAboveNormal, -5}, {IProcess::priorityHigh, -10},     {IProcess::priorityRealtime, -20},
};

int niceOf(int32_t priority)
{
    for (const SPriorityStep& step : priorityScale)
        if (step.priority == priority)
            return step.nice;
    return 0;
}

int32_t priorityOf(int nice)
{
    for (const SPriorityStep& step : priorityScale)
        if (step.nice == nice)
            return step.priority;
    return IProcess::priorityNormal;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::vector<std::string> splitAtBlanks(const std::string& text)
{
    std::vector<std::string> words;
    for (size_t i = 0; i < text.size();) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const size_t start = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

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

// The file actions of one start, released on every exit.
class CSpawnActions {
public:
    CSpawnActions() { m_error = posix_spawn_file_actions_init(&m_actions); }
    ~CSpawnActions()
    {
        if (m_error == 0)
            posix_spawn_file_actions_destroy(&m_actions);
    }
    CSpawnActions(const CSpawnActions&) = delete;
    CSpawnActions& operator=(const CSpawnActions&) = delete;

    // 0, or the error code of the first action that could not be recorded.
    int changeFolder(const std::string& folder)
    {
        return m_error ? m_error : posix_spawn_file_actions_addchdir_np(&m_actions, folder.c_str());
    }
    int spawn(pid_t& pid, const std::string& path, char* const argv[])
    {
        return m_error ? m_error : posix_spawn(&pid, path.c_str(), &m_actions, nullptr, argv, environ);
    }

private:
    posix_spawn_file_actions_t m_actions{};
    int m_error = 0;
};

pid_t spawn(const std::string& programPath, const String& arguments, const std::string& workingDirectory)
{
    const std::string path = absolutePathOf(programPath);
    std::vector<std::string> words = splitAtBlanks(arguments.toUTF8());
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    CSpawnActions actions;
    int error = workingDirectory.empty() ? 0 : actions.changeFolder(workingDirectory);
    pid_t pid = 0;
    if (error == 0)
        error = actions.spawn(pid, path, argv.data());
    if (error)
        throwStartFailed(programPath, error);
    return pid;
}

} // namespace

CProcess::CProcess(const std::string& programPath, const String& arguments, const std::string& workingDirectory,
                   int32_t priority)
    : m_mutex(getMutexFactory()->createMutex()), m_pid(spawn(programPath, arguments, workingDirectory))
{
    setPriority(priority);
}

CProcess::~CProcess()
{
    if (m_bTerminated)
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
    int status = 0;
    pid_t result;
    do
        result = waitpid(m_pid, &status, WNOHANG);
    while (result < 0 && errno == EINTR);
    if (result == 0)
        return false;
    m_bTerminated = true;
    if (result == m_pid)
        m_exitCode = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    return true;
}

bool CProcess::hasTerminated()
{
    CScopedLock lock(m_mutex);
    return collectStatus();
}

int32_t CProcess::getExitCode()
{
    CScopedLock lock(m_mutex);
    return collectStatus() ? m_exitCode : -1;
}

bool CProcess::setPriority(int32_t priority)
{
    // Under the lock, so that the identity cannot be reaped and reused meanwhile.
    CScopedLock lock(m_mutex);
    return !collectStatus() && setpriority(PRIO_PROCESS, static_cast<id_t>(m_pid), niceOf(priority)) == 0;
}

int32_t CProcess::getPriority()
{
    CScopedLock lock(m_mutex);
    if (!collectStatus()) {
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(m_pid));
        if (nice != -1 || errno == 0)
            return priorityOf(nice);
    }
    throw CError("getProcessPriority failed. Maybe the process isn't running anymore?", "CProcess");
}

void CProcess::terminate()
{
    // Under the lock, so that the identity cannot be reaped and reused meanwhile.
    CScopedLock lock(m_mutex);
    if (!collectStatus())
        kill(m_pid, SIGKILL);
}

pid_t CProcess::getProcessID()
{
    return m_pid;
}

} // namespace lumo::posix

namespace lumo {

uint32_t getCurrentProcessID()
{
    return static_cast<uint32_t>(getpid());
}

} // namespace lumo
