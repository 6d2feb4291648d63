#include "crashhandler/windows/fatalExceptionFilter.h"

#include "crashhandler/exceptionCodes.h"

#include <atomic>
#include <csignal>
#include <initializer_list>

namespace crashhandler {

namespace {

// Roomy, because the filter formats its report on it.
constexpr SIZE_T reporterStackSize = 256 * 1024;
// How long a faulting thread waits for the reporter before it ends the
// process itself: a report that takes longer is stuck.
constexpr DWORD reportTimeoutMs = 30000;

using TSignalHandler = void (*)(int);

std::atomic<TCrashFilter> g_filter{nullptr};
std::atomic_flag g_faulted = ATOMIC_FLAG_INIT;
// The fault handed to the reporter thread, set before `g_faultEvent`.
const SExceptionPointers* g_fault = nullptr;
HANDLE g_faultEvent = nullptr;
HANDLE g_stopEvent = nullptr;
HANDLE g_reporter = nullptr;
DWORD g_reporterID = 0;
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;
PVOID g_vectoredHandler = nullptr;
TSignalHandler g_previousAbortHandler = SIG_DFL;
bool g_installed = false;

[[noreturn]] void filterAndEnd(const SExceptionPointers& pointers)
{
    if (const TCrashFilter filter = g_filter.load())
        filter(pointers);
    TerminateProcess(GetCurrentProcess(), pointers.record->ExceptionCode);
    for (;;)
        Sleep(INFINITE);
}

DWORD WINAPI serveFault(void*)
{
    const HANDLE events[] = {g_faultEvent, g_stopEvent};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0)
        filterAndEnd(*g_fault);
    return 0;
}

[[noreturn]] void reportAndEnd(const EXCEPTION_POINTERS& exception)
{
    if (g_faulted.test_and_set()) {
        for (;;)
            Sleep(INFINITE);
    }
    const SExceptionPointers pointers{exception.ExceptionRecord, exception.ContextRecord};
    // The reporter itself faulting reports inline: nobody else would.
    if (!g_reporter || GetCurrentThreadId() == g_reporterID)
        filterAndEnd(pointers);
    g_fault = &pointers;
    SetEvent(g_faultEvent);
    WaitForSingleObject(g_reporter, reportTimeoutMs);
    TerminateProcess(GetCurrentProcess(), pointers.record->ExceptionCode);
    for (;;)
        Sleep(INFINITE);
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* exception) { reportAndEnd(*exception); }

// First in line for every exception, handled or not: only an overflow is
// taken, while the stack still has room to hand it over.
LONG CALLBACK onFirstChance(EXCEPTION_POINTERS* exception)
{
    if (exception->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW)
        reportAndEnd(*exception);
    return EXCEPTION_CONTINUE_SEARCH;
}

void onAbort(int signal)
{
    CONTEXT context = {};
    RtlCaptureContext(&context);
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = customerCodeBase + static_cast<uint32_t>(signal);
    record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
    record.ExceptionAddress = __builtin_return_address(0);
    EXCEPTION_POINTERS exception = {&record, &context};
    reportAndEnd(exception);
}

void startReporter()
{
    g_faultEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    g_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (g_faultEvent && g_stopEvent)
        g_reporter = CreateThread(nullptr, reporterStackSize, &serveFault, nullptr, 0, &g_reporterID);
}

void stopReporter()
{
    if (g_reporter) {
        SetEvent(g_stopEvent);
        WaitForSingleObject(g_reporter, INFINITE);
        CloseHandle(g_reporter);
    }
    for (HANDLE event : {g_faultEvent, g_stopEvent}) {
        if (event)
            CloseHandle(event);
    }
    g_reporter = g_faultEvent = g_stopEvent = nullptr;
    g_reporterID = 0;
}

} // namespace

void installFatalExceptionFilter(TCrashFilter filter)
{
    g_filter.store(filter);
    if (g_installed)
        return;
    startReporter();
    g_previousFilter = SetUnhandledExceptionFilter(&onUnhandledException);
    g_vectoredHandler = AddVectoredExceptionHandler(0, &onFirstChance);
    const TSignalHandler previousAbortHandler = std::signal(SIGABRT, &onAbort);
    g_previousAbortHandler = previousAbortHandler == SIG_ERR ? SIG_DFL : previousAbortHandler;
    g_installed = true;
}

void removeFatalExceptionFilter()
{
    if (!g_installed)
        return;
    std::signal(SIGABRT, g_previousAbortHandler);
    if (g_vectoredHandler)
        RemoveVectoredExceptionHandler(g_vectoredHandler);
    SetUnhandledExceptionFilter(g_previousFilter);
    stopReporter();
    g_filter.store(nullptr);
    g_vectoredHandler = nullptr;
    g_installed = false;
}

} // namespace crashhandler
