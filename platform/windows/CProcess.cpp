#include "platform/windows/CProcess.h"

#include "crashhandler/windows/hangReportEvent.h"
#include "foundation/CError.h"
#include "foundation/IStringLocalizer.h"
#include "foundation/sync/throwSystemError.h"
#include "foundation/windows/toWide.h"
#include "platform/CPriorityScale.h"
#include "platform/splitAtBlanks.h"

#include <algorithm>
#include <cstdio>
#include <psapi.h>
#include <vector>

namespace lumo::win32 {

namespace {

const CPriorityScale<DWORD> classScale({{
    {IProcess::priorityIdle, IDLE_PRIORITY_CLASS},
    {IProcess::priorityBelowNormal, BELOW_NORMAL_PRIORITY_CLASS},
    {IProcess::priorityNormal, NORMAL_PRIORITY_CLASS},
    {IProcess::priorityAboveNormal, ABOVE_NORMAL_PRIORITY_CLASS},
    {IProcess::priorityHigh, HIGH_PRIORITY_CLASS},
    {IProcess::priorityRealtime, REALTIME_PRIORITY_CLASS},
}});

// A word without blanks as the C runtime's parser reads it back: a double
// quote is escaped by a backslash, and the backslashes right before it are
// doubled, since only there do they count as escapes.
std::wstring escapedWord(const std::wstring& word)
{
    std::wstring escaped;
    size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'"')
            escaped.append(backslashes + 1, L'\\');
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        escaped += c;
    }
    return escaped;
}

std::wstring commandLineOf(const std::wstring& programPath, const String& arguments)
{
    std::wstring commandLine = L"\"" + programPath + L"\"";
    for (const std::wstring& word : splitAtBlanks(toWide(arguments)))
        commandLine += L" " + escapedWord(word);
    return commandLine;
}

std::wstring absolutePathOf(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring absolute(size, L'\0');
    const DWORD length = size ? GetFullPathNameW(path.c_str(), size, absolute.data(), nullptr) : 0;
    if (length == 0 || length >= size)
        return path;
    absolute.resize(length);
    return absolute;
}

[[noreturn]] void throwStartFailed(const std::wstring& programPath, DWORD errorCode)
{
    throw CError(localize("lumo.win32.CProcess.CreateProcessFailed", "Error executing file '%FILE%': '%ERRORDESC%'.")
                     .replace("%FILE%", fromWide(programPath))
                     .replace("%ERRORDESC%", getSystemErrorText(static_cast<int>(errorCode))));
}

// The variable's name: up to its first '=', past the first character, which
// the system's hidden per-drive variables ("=C:=C:\\work") start with.
std::wstring nameOf(const std::wstring& variable) { return variable.substr(0, variable.find(L'=', 1)); }

// The block the system expects: the variables sorted by name regardless of
// case, each closed by a zero, and one more zero at the end.
std::wstring environmentBlockOf(const std::vector<std::string>& variables)
{
    std::vector<std::wstring> wide;
    for (const std::string& variable : variables)
        wide.push_back(toWide(String::fromUTF8(variable)));
    std::stable_sort(wide.begin(), wide.end(), [](const std::wstring& a, const std::wstring& b) {
        const std::wstring nameA = nameOf(a);
        const std::wstring nameB = nameOf(b);
        return CompareStringOrdinal(nameA.c_str(), static_cast<int>(nameA.size()), nameB.c_str(),
                                    static_cast<int>(nameB.size()), TRUE) == CSTR_LESS_THAN;
    });
    std::wstring block;
    for (const std::wstring& variable : wide)
        block += variable + L'\0';
    // An empty block still ends with two zeros.
    if (block.empty())
        block += L'\0';
    block += L'\0';
    return block;
}

bool isInheritable(HANDLE handle)
{
    DWORD flags = 0;
    return handle && handle != INVALID_HANDLE_VALUE && GetHandleInformation(handle, &flags) &&
           (flags & HANDLE_FLAG_INHERIT);
}

// The start-up information of one start and the handles and attributes it
// refers to, released on every exit. The first step the system refuses is
// remembered; start() then fails with its code.
class CStartup {
public:
    static constexpr int maxStartAttempts = 2;

    CStartup() = default;
    ~CStartup()
    {
        if (m_bHasAttributes)
            DeleteProcThreadAttributeList(m_info.lpAttributeList);
        if (m_null)
            CloseHandle(m_null);
    }
    CStartup(const CStartup&) = delete;
    CStartup& operator=(const CStartup&) = delete;

    // Standard output and error go to the null device; input stays the caller's.
    void discardOutput()
    {
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        m_null = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                             nullptr);
        if (m_null == INVALID_HANDLE_VALUE) {
            m_null = nullptr;
            remember(GetLastError());
            return;
        }
        m_info.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
        m_info.StartupInfo.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        m_info.StartupInfo.hStdOutput = m_null;
        m_info.StartupInfo.hStdError = m_null;
    }

    // Of the caller's inheritable handles, only the standard ones (as the
    // start gives them) reach the program. After discardOutput().
    void inheritOnlyStandardHandles()
    {
        const bool bGiven = m_info.StartupInfo.dwFlags & STARTF_USESTDHANDLES;
        for (const HANDLE handle : {bGiven ? m_info.StartupInfo.hStdInput : GetStdHandle(STD_INPUT_HANDLE),
                                    bGiven ? m_info.StartupInfo.hStdOutput : GetStdHandle(STD_OUTPUT_HANDLE),
                                    bGiven ? m_info.StartupInfo.hStdError : GetStdHandle(STD_ERROR_HANDLE)}) {
            // The list must hold inheritable handles, each once.
            if (isInheritable(handle) && std::find(m_inherited.begin(), m_inherited.end(), handle) == m_inherited.end())
                m_inherited.push_back(handle);
        }
        m_bInheritHandles = !m_inherited.empty();
        if (m_inherited.empty() || m_error)
            return;
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        m_attributes.resize(size);
        m_info.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_attributes.data());
        if (!InitializeProcThreadAttributeList(m_info.lpAttributeList, 1, 0, &size)) {
            m_info.lpAttributeList = nullptr;
            remember(GetLastError());
            return;
        }
        m_bHasAttributes = true;
        if (!UpdateProcThreadAttribute(m_info.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, m_inherited.data(),
                                       m_inherited.size() * sizeof(HANDLE), nullptr, nullptr))
            remember(GetLastError());
    }

    // The program, suspended; or the error code of the first step that failed.
    DWORD start(std::wstring commandLine, const std::wstring& workingDirectory, const std::wstring* environment,
                PROCESS_INFORMATION& started)
    {
        if (m_error)
            return m_error;
        DWORD creationFlags = CREATE_SUSPENDED;
        m_info.StartupInfo.cb = m_bHasAttributes ? sizeof(STARTUPINFOEXW) : sizeof(STARTUPINFOW);
        if (m_bHasAttributes)
            creationFlags |= EXTENDED_STARTUPINFO_PRESENT;
        if (environment)
            creationFlags |= CREATE_UNICODE_ENVIRONMENT;
        // Wine now and then refuses a start it would make a moment later
        // with ERROR_INTERNAL_ERROR; a second try tells that from a real
        // refusal, which fails the same way again.
        for (int attempt = 1;; ++attempt) {
            if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, m_bInheritHandles, creationFlags,
                               environment ? const_cast<wchar_t*>(environment->c_str()) : nullptr,
                               workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &m_info.StartupInfo,
                               &started))
                return 0;
            const DWORD error = GetLastError();
            if (error != ERROR_INTERNAL_ERROR || attempt == maxStartAttempts)
                return error;
        }
    }

private:
    void remember(DWORD error)
    {
        if (!m_error)
            m_error = error;
    }

    STARTUPINFOEXW m_info{};
    HANDLE m_null = nullptr;
    std::vector<HANDLE> m_inherited;
    std::vector<unsigned char> m_attributes;
    bool m_bHasAttributes = false;
    BOOL m_bInheritHandles = TRUE;
    DWORD m_error = 0;
};

// Lets the suspended program run inside `job`; 0, or the error code.
DWORD runInJob(HANDLE job, const PROCESS_INFORMATION& started)
{
    if (!AssignProcessToJobObject(job, started.hProcess) || ResumeThread(started.hThread) == static_cast<DWORD>(-1))
        return GetLastError();
    return 0;
}

bool isExceptionCode(uint32_t code)
{
    const uint32_t severity = code & 0xC0000000u;
    const bool bCustomer = code & 0x20000000u;
    return (severity == 0xC0000000u || severity == 0x80000000u) && !bCustomer;
}

String describeEnd(uint32_t code)
{
    char text[48];
    if (isExceptionCode(code))
        std::snprintf(text, sizeof text, "ended by exception 0x%08lX", static_cast<unsigned long>(code));
    else
        std::snprintf(text, sizeof text, "exited with code %ld", static_cast<long>(static_cast<int32_t>(code)));
    return String::fromUTF8(text);
}

int64_t toMilliseconds(const FILETIME& time)
{
    // In units of 100 nanoseconds.
    return static_cast<int64_t>((uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime) / 10000);
}

} // namespace

CProcess::CProcess(const std::wstring& programPath, const String& arguments, const std::wstring& workingDirectory,
                   int32_t priority, const CProcessOptions* options)
    : m_bOwnGroup(options && options->bOwnProcessGroup)
{
    const std::wstring commandLine = commandLineOf(absolutePathOf(programPath), arguments);
    const bool bOwnEnvironment = options && options->bOwnEnvironment;
    const std::wstring environment = bOwnEnvironment ? environmentBlockOf(options->environment) : std::wstring();
    CStartup startup;
    if (options && options->bDiscardOutput)
        startup.discardOutput();
    if (options && options->bInheritOnlyStandardDescriptors)
        startup.inheritOnlyStandardHandles();
    // bNoTerminal and bOwnNamespaces have no form here: the programs started
    // this way have no console, and the system has no such namespaces.
    // Made last, so that nothing throws before it has a program or is closed.
    m_job = CreateJobObjectW(nullptr, nullptr);
    if (!m_job)
        throwStartFailed(programPath, GetLastError());
    PROCESS_INFORMATION started{};
    if (const DWORD error =
            startup.start(commandLine, workingDirectory, bOwnEnvironment ? &environment : nullptr, started)) {
        CloseHandle(m_job);
        throwStartFailed(programPath, error);
    }
    m_process = started.hProcess;
    m_id = started.dwProcessId;
    // Before its first instruction, as a creation flag would, and with the
    // same check as any later change.
    setPriority(priority);
    const DWORD error = runInJob(m_job, started);
    CloseHandle(started.hThread);
    if (error) {
        TerminateProcess(m_process, terminatedExitCode);
        CloseHandle(m_process);
        CloseHandle(m_job);
        throwStartFailed(programPath, error);
    }
}

CProcess::~CProcess()
{
    CloseHandle(m_process);
    CloseHandle(m_job);
}

bool CProcess::hasTerminated() { return waitForEnd(0); }

bool CProcess::waitForEnd(uint32_t ms)
{
    // The largest count is INFINITE: whoever asks for that long waits for good.
    return WaitForSingleObject(m_process, ms) == WAIT_OBJECT_0;
}

int32_t CProcess::getExitCode()
{
    // Only a process seen ended has a code: STILL_ACTIVE (259) is also a
    // code a program may end with.
    DWORD code = 0;
    if (!hasTerminated() || !GetExitCodeProcess(m_process, &code))
        return -1;
    return static_cast<int32_t>(code);
}

bool CProcess::getEnd(SProcessEnd& end)
{
    if (!hasTerminated())
        return false;
    end = SProcessEnd();
    end.exitCode = getExitCode();
    end.cause = describeEnd(static_cast<uint32_t>(end.exitCode));
    PROCESS_MEMORY_COUNTERS memory{};
    if (GetProcessMemoryInfo(m_process, &memory, sizeof memory))
        end.peakResidentBytes = static_cast<int64_t>(memory.PeakWorkingSetSize);
    FILETIME creation{}, exit{}, kernel{}, user{};
    if (GetProcessTimes(m_process, &creation, &exit, &kernel, &user))
        end.cpuTimeMs = toMilliseconds(kernel) + toMilliseconds(user);
    return true;
}

bool CProcess::setPriority(int32_t priority)
{
    // An ended process keeps its handle, and the system would still change its class.
    const DWORD previous = GetPriorityClass(m_process);
    if (hasTerminated() || !previous || !SetPriorityClass(m_process, classScale.nativeOf(priority)))
        return false;
    if (GetPriorityClass(m_process) == classScale.nativeOf(priority))
        return true;
    SetPriorityClass(m_process, previous);
    return false;
}

int32_t CProcess::getPriority()
{
    const DWORD priorityClass = hasTerminated() ? 0 : GetPriorityClass(m_process);
    if (!priorityClass)
        throw CError("getProcessPriority failed. Maybe the process isn't running anymore?", "CProcess");
    return classScale.priorityOf(priorityClass);
}

void CProcess::terminate()
{
    if (m_bOwnGroup)
        TerminateJobObject(m_job, terminatedExitCode);
    else if (!hasTerminated())
        TerminateProcess(m_process, terminatedExitCode);
}

void CProcess::requestHangReport()
{
    if (hasTerminated())
        return;
    wchar_t name[crashhandler::hangReportEventNameSize];
    crashhandler::formatHangReportEventName(name, m_id);
    if (const HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name)) {
        SetEvent(event);
        CloseHandle(event);
    }
}

uint32_t CProcess::getID() { return m_id; }

HANDLE CProcess::getProcessHandle() { return m_process; }

} // namespace lumo::win32

namespace lumo {

uint32_t getCurrentProcessID() { return GetCurrentProcessId(); }

} // namespace lumo
