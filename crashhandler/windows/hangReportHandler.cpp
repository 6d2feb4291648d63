#include "crashhandler/windows/hangReportHandler.h"

#include "crashhandler/CHangReport.h"
#include "crashhandler/windows/CHandleSink.h"
#include "crashhandler/windows/CThreadRecorder.h"
#include "crashhandler/windows/hangReportEvent.h"
#include "crashhandler/windows/listModules.h"
#include "crashhandler/windows/openReportFile.h"

#include <initializer_list>
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

namespace crashhandler {

namespace {

constexpr size_t maxThreads = 64;
// Roomy, because the report is formatted on it.
constexpr SIZE_T reporterStackSize = 256 * 1024;

struct SSettings {
    DWORD servingThread = 0;
    const char* reportPath = "";
    const char* applicationName = "";
    const char* versionText = "";
};

// Everything lives in static storage: the report may be asked for after
// the heap was wrecked.
SSettings g_settings;
HANDLE g_requestEvent = nullptr;
HANDLE g_stopEvent = nullptr;
HANDLE g_reporter = nullptr;

SModuleList g_modules;
DWORD g_threads[maxThreads];
size_t g_threadCount = 0;
size_t g_threadsLeftOut = 0;
// What the suspended threads' registers are read into; the system wants
// it aligned as its own declaration says, hence no local.
CONTEXT g_registers;
SThreadContext g_context;
CThreadRecorder g_recorder{g_context};

// Fills g_threads: the serving thread first, then the others of the
// process as the system lists them, but for the calling one, as far as
// there is room; counts the rest.
void listThreads()
{
    g_threads[0] = g_settings.servingThread;
    g_threadCount = 1;
    g_threadsLeftOut = 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL found = Thread32First(snapshot, &entry); found; found = Thread32Next(snapshot, &entry)) {
        const DWORD thread = entry.th32ThreadID;
        if (entry.th32OwnerProcessID != GetCurrentProcessId() || thread == GetCurrentThreadId() ||
            thread == g_settings.servingThread)
            continue;
        if (g_threadCount < maxThreads)
            g_threads[g_threadCount++] = thread;
        else
            ++g_threadsLeftOut;
    }
    CloseHandle(snapshot);
}

// The thread, opened and suspended; null when it has ended.
HANDLE suspend(DWORD thread)
{
    const HANDLE handle =
        OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, thread);
    if (handle && SuspendThread(handle) == static_cast<DWORD>(-1)) {
        CloseHandle(handle);
        return nullptr;
    }
    return handle;
}

EThreadOutcome record(HANDLE thread)
{
    if (!thread)
        return EThreadOutcome::ended;
    g_registers = CONTEXT();
    g_registers.ContextFlags = CONTEXT_FULL | CONTEXT_DEBUG_REGISTERS;
    if (!GetThreadContext(thread, &g_registers))
        return EThreadOutcome::ended;
    g_recorder.record(g_registers);
    return EThreadOutcome::recorded;
}

[[noreturn]] void report()
{
    const HANDLE file = openReportFile(g_settings.reportPath);
    if (file == INVALID_HANDLE_VALUE)
        TerminateProcess(GetCurrentProcess(), hangReportExitCode);
    // Everything that may allocate comes before the first suspension: a
    // suspended thread may hold the heap's lock.
    listThreads();
    listModules(g_modules);
    HANDLE handles[maxThreads];
    for (size_t i = 0; i < g_threadCount; ++i)
        handles[i] = suspend(g_threads[i]);
    CHandleSink sink(file);
    CHangReport report(sink, g_settings.applicationName, g_settings.versionText, g_modules);
    for (size_t i = 0; i < g_threadCount; ++i) {
        SHangThread thread;
        thread.id = g_threads[i];
        thread.bServing = i == 0;
        thread.outcome = record(handles[i]);
        if (thread.outcome == EThreadOutcome::recorded)
            thread.context = &g_context;
        report.addThread(thread);
    }
    report.finish(g_threadsLeftOut);
    CloseHandle(file);
    TerminateProcess(GetCurrentProcess(), hangReportExitCode);
    for (;;)
        Sleep(INFINITE);
}

DWORD WINAPI serveRequest(void*)
{
    const HANDLE events[] = {g_requestEvent, g_stopEvent};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0)
        report();
    return 0;
}

} // namespace

void installHangReportHandler(uint32_t servingThread, const char* reportPath, const char* applicationName,
                              const char* versionText)
{
    removeHangReportHandler();
    g_settings = {servingThread, reportPath, applicationName, versionText};
    wchar_t name[hangReportEventNameSize];
    formatHangReportEventName(name, GetCurrentProcessId());
    g_requestEvent = CreateEventW(nullptr, FALSE, FALSE, name);
    g_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (g_requestEvent && g_stopEvent)
        g_reporter = CreateThread(nullptr, reporterStackSize, &serveRequest, nullptr, 0, nullptr);
    if (!g_reporter)
        removeHangReportHandler();
}

void removeHangReportHandler()
{
    if (g_reporter) {
        SetEvent(g_stopEvent);
        WaitForSingleObject(g_reporter, INFINITE);
        CloseHandle(g_reporter);
    }
    for (HANDLE event : {g_requestEvent, g_stopEvent}) {
        if (event)
            CloseHandle(event);
    }
    g_reporter = g_requestEvent = g_stopEvent = nullptr;
}

} // namespace crashhandler
