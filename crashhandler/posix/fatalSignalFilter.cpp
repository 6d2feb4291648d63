#include "crashhandler/posix/fatalSignalFilter.h"

#include <atomic>
#include <cstddef>
#include <unistd.h>

namespace crashhandler {

namespace {

// SIGSYS is how the sandbox's filter stops a forbidden system call, SIGXFSZ
// how its file-size limit stops a runaway writer.
constexpr int fatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS, SIGXFSZ};
constexpr size_t fatalSignalCount = sizeof fatalSignals / sizeof fatalSignals[0];

// Roomy, because the filter formats its report on it; sanitized builds
// need several times what a plain build does.
alignas(16) char g_alternateStack[256 * 1024];

std::atomic<TCrashFilter> g_filter{nullptr};
std::atomic_flag g_faulted = ATOMIC_FLAG_INIT;
struct sigaction g_previousActions[fatalSignalCount];
stack_t g_previousStack;
bool g_installed = false;

void restoreDefaultAction(int signal)
{
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
}

// A fault the processor raised comes back when the faulting instruction runs
// again, and the kernel then forces it through, also to the first process
// of a process-number namespace, which ignores a signal it raises itself.
bool isProcessorFault(int signal, const siginfo_t* info)
{
    return info && info->si_code > 0 && (signal == SIGSEGV || signal == SIGBUS || signal == SIGILL || signal == SIGFPE);
}

[[noreturn]] void dieOf(int signal)
{
    restoreDefaultAction(signal);
    raise(signal);
    sigset_t pending;
    sigemptyset(&pending);
    sigaddset(&pending, signal);
    pthread_sigmask(SIG_UNBLOCK, &pending, nullptr);
    // Only when the default action did not end the process after all.
    _exit(128 + signal);
}

void onFatalSignal(int signal, siginfo_t* info, void* context)
{
    // The filter's own faults cannot come back here: every fatal signal is
    // blocked while it runs, and the kernel ends a process whose blocked
    // fault repeats.
    if (g_faulted.test_and_set()) {
        for (;;)
            pause();
    }
    if (const TCrashFilter filter = g_filter.load())
        filter(SExceptionPointers{signal, info, static_cast<const ucontext_t*>(context)});
    if (!isProcessorFault(signal, info))
        dieOf(signal);
    // Returning runs the faulting instruction again, which now ends the
    // process by the very signal.
    restoreDefaultAction(signal);
}

} // namespace

void installFatalSignalFilter(TCrashFilter filter)
{
    g_filter.store(filter);
    if (g_installed)
        return;
    stack_t alternate = {};
    alternate.ss_sp = g_alternateStack;
    alternate.ss_size = sizeof g_alternateStack;
    sigaltstack(&alternate, &g_previousStack);

    struct sigaction action = {};
    action.sa_sigaction = &onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : fatalSignals)
        sigaddset(&action.sa_mask, signal);
    for (size_t i = 0; i < fatalSignalCount; ++i)
        sigaction(fatalSignals[i], &action, &g_previousActions[i]);
    g_installed = true;
}

void removeFatalSignalFilter()
{
    if (!g_installed)
        return;
    for (size_t i = 0; i < fatalSignalCount; ++i)
        sigaction(fatalSignals[i], &g_previousActions[i], nullptr);
    sigaltstack(&g_previousStack, nullptr);
    g_filter.store(nullptr);
    g_installed = false;
}

} // namespace crashhandler
