#include "crashhandler/posix/hangReportHandler.h"

#include "crashhandler/CHangReport.h"
#include "crashhandler/posix/CDescriptorSink.h"
#include "crashhandler/posix/CModuleListBuilder.h"
#include "crashhandler/posix/CThreadRecorder.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace crashhandler {

namespace {

constexpr size_t maxThreads = 64;
constexpr int64_t threadAnswerMs = 100;
constexpr int64_t reportBudgetMs = 600;
// A thread's name, as the kernel keeps it, is at most 15 bytes.
constexpr size_t threadNameSize = 16;

struct SSettings {
    int signal = 0;
    pid_t servingThread = 0;
    const char* reportPath = "";
    const char* applicationName = "";
    const char* versionText = "";
};

// Everything lives in static storage: the report may be asked for after
// the heap was wrecked.
SSettings g_settings;
bool g_installed = false;
struct sigaction g_previousAction;
std::atomic_flag g_reporting = ATOMIC_FLAG_INIT;

// The thread asked to record itself, 0 while none is. The asked thread
// claims the record by setting it to 0, and so does the reporter when it
// gives up waiting: only one of them can, so that a late answer never
// writes into a record that is being reported.
std::atomic<pid_t> g_askedThread{0};
// 1 once the asked thread has recorded itself; a futex word, touched with
// the atomic builtins only.
uint32_t g_recorded = 0;
// The one thread record, filled by the thread it describes.
SThreadContext g_context;
CThreadRecorder g_recorder{g_context};

SModuleList g_modules;
pid_t g_threads[maxThreads];
size_t g_threadCount = 0;
size_t g_threadsLeftOut = 0;
alignas(dirent64) char g_folderEntries[4096];
char g_threadName[threadNameSize];

class CModuleCollector final : public IMappingVisitor {
public:
    explicit CModuleCollector(SModuleList& modules) noexcept : m_builder(modules) {}
    void visit(const SMapping& mapping) noexcept override { m_builder.add(mapping); }
    void finish() noexcept { m_builder.finish(); }

private:
    CModuleListBuilder m_builder;
};

int64_t nowMs()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

long futex(int operation, uint32_t value, const timespec* timeout)
{
    return syscall(SYS_futex, &g_recorded, operation, value, timeout, nullptr, 0);
}

// True once the asked thread has recorded itself, false at `deadline`.
bool waitForRecord(int64_t deadline)
{
    while (__atomic_load_n(&g_recorded, __ATOMIC_ACQUIRE) == 0) {
        const int64_t left = deadline - nowMs();
        if (left <= 0)
            return false;
        const timespec timeout = {time_t(left / 1000), long(left % 1000) * 1000000};
        futex(FUTEX_WAIT_PRIVATE, 0, &timeout);
    }
    return true;
}

void recordThread(const ucontext_t& context)
{
    g_recorder.recordRegisters(context);
    readOwnMappings(g_recorder);
    g_recorder.copyStack();
}

// In the thread asked: records it, unless the request is no longer for it.
void answer(const ucontext_t& context)
{
    pid_t self = gettid();
    if (!g_askedThread.compare_exchange_strong(self, 0))
        return;
    recordThread(context);
    __atomic_store_n(&g_recorded, 1, __ATOMIC_RELEASE);
    futex(FUTEX_WAKE_PRIVATE, 1, nullptr);
}

// Asks `thread` to record itself and waits for it. Sets `bRecordFree` to
// false when the thread took the record but did not finish in time: it
// may still write into it, so that no other thread can be asked.
EThreadOutcome ask(pid_t thread, bool& bRecordFree)
{
    __atomic_store_n(&g_recorded, 0, __ATOMIC_RELAXED);
    g_askedThread.store(thread);
    if (tgkill(getpid(), thread, g_settings.signal) != 0) {
        g_askedThread.store(0);
        // Anything but its end (a sandbox's refusal) leaves it unheard.
        return errno == ESRCH ? EThreadOutcome::ended : EThreadOutcome::silent;
    }
    if (waitForRecord(nowMs() + threadAnswerMs))
        return EThreadOutcome::recorded;
    pid_t asked = thread;
    if (g_askedThread.compare_exchange_strong(asked, 0))
        return EThreadOutcome::silent;
    // It claimed the record just now and is filling it.
    if (waitForRecord(nowMs() + threadAnswerMs))
        return EThreadOutcome::recorded;
    bRecordFree = false;
    return EThreadOutcome::silent;
}

// The thread id that `text` spells out in decimal; -1 when it is none.
pid_t parseThreadID(const char* text)
{
    pid_t value = 0;
    size_t digits = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (++digits > 9)
            return -1;
        value = value * 10 + (*text - '0');
    }
    return digits > 0 && *text == '\0' ? value : -1;
}

// Fills g_threads: the serving thread first, then the others as the
// system lists them, as far as there is room; counts the rest.
void listThreads()
{
    g_threads[0] = g_settings.servingThread;
    g_threadCount = 1;
    g_threadsLeftOut = 0;
    const int folder = open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    for (;;) {
        const ssize_t length = getdents64(folder, g_folderEntries, sizeof g_folderEntries);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            break;
        for (ssize_t offset = 0; offset < length;) {
            const auto* entry = reinterpret_cast<const dirent64*>(g_folderEntries + offset);
            offset += entry->d_reclen;
            const pid_t thread = parseThreadID(entry->d_name);
            if (thread <= 0 || thread == g_settings.servingThread)
                continue;
            if (g_threadCount < maxThreads)
                g_threads[g_threadCount++] = thread;
            else
                ++g_threadsLeftOut;
        }
    }
    close(folder);
}

// "/proc/self/task/<thread>/comm".
void formatNamePath(pid_t thread, char (&path)[64])
{
    const char prefix[] = "/proc/self/task/";
    const char suffix[] = "/comm";
    char digits[12];
    size_t digitCount = 0;
    do {
        digits[digitCount++] = char('0' + thread % 10);
        thread /= 10;
    } while (thread > 0 && digitCount < sizeof digits);
    size_t length = 0;
    for (const char c : prefix)
        if (c)
            path[length++] = c;
    while (digitCount > 0)
        path[length++] = digits[--digitCount];
    for (const char c : suffix)
        path[length++] = c;
}

// The thread's name with anything unprintable replaced; empty when it
// cannot be read.
const char* readThreadName(pid_t thread)
{
    char path[64];
    formatNamePath(thread, path);
    ssize_t length = -1;
    const int file = open(path, O_RDONLY | O_CLOEXEC);
    if (file >= 0) {
        length = read(file, g_threadName, sizeof g_threadName - 1);
        close(file);
    }
    if (length < 0)
        length = 0;
    if (length > 0 && g_threadName[length - 1] == '\n')
        --length;
    for (ssize_t i = 0; i < length; ++i)
        if (g_threadName[i] < ' ' || g_threadName[i] > '~' || g_threadName[i] == '"')
            g_threadName[i] = '?';
    g_threadName[length] = '\0';
    return g_threadName;
}

void recordModules()
{
    g_modules.moduleCount = 0;
    CModuleCollector collector(g_modules);
    if (readOwnMappings(collector))
        collector.finish();
}

[[noreturn]] void report(const ucontext_t& context)
{
    const int64_t deadline = nowMs() + reportBudgetMs;
    const int file = open(g_settings.reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0)
        _exit(hangReportExitCode);
    listThreads();
    recordModules();
    CDescriptorSink sink(file);
    CHangReport report(sink, g_settings.applicationName, g_settings.versionText, g_modules);
    bool bRecordFree = true;
    for (size_t i = 0; i < g_threadCount; ++i) {
        SHangThread thread;
        thread.id = g_threads[i];
        thread.name = readThreadName(g_threads[i]);
        thread.bServing = i == 0;
        if (g_threads[i] == gettid()) {
            recordThread(context);
            thread.outcome = EThreadOutcome::recorded;
        } else if (bRecordFree && nowMs() < deadline) {
            thread.outcome = ask(g_threads[i], bRecordFree);
        }
        if (thread.outcome == EThreadOutcome::recorded)
            thread.context = &g_context;
        report.addThread(thread);
    }
    report.finish(g_threadsLeftOut);
    close(file);
    _exit(hangReportExitCode);
}

// A request from outside the process starts the report, once; the same
// signal from the reporting thread asks another thread for its record.
void onSignal(int, siginfo_t* info, void* context)
{
    const int savedErrno = errno;
    const ucontext_t& threadContext = *static_cast<const ucontext_t*>(context);
    if (info->si_code == SI_TKILL && info->si_pid == getpid())
        answer(threadContext);
    else if (!g_reporting.test_and_set())
        report(threadContext);
    errno = savedErrno;
}

} // namespace

void installHangReportHandler(int signal, pid_t servingThread, const char* reportPath, const char* applicationName,
                              const char* versionText)
{
    removeHangReportHandler();
    g_settings = {signal, servingThread, reportPath, applicationName, versionText};
    struct sigaction action = {};
    action.sa_sigaction = &onSignal;
    // A thread interrupted while it waits in a system call goes on waiting.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
    sigemptyset(&action.sa_mask);
    g_installed = sigaction(signal, &action, &g_previousAction) == 0;
}

void removeHangReportHandler()
{
    if (!g_installed)
        return;
    sigaction(g_settings.signal, &g_previousAction, nullptr);
    g_installed = false;
}

} // namespace crashhandler
