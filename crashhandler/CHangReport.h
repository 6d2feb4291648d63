#pragma once

#include "crashhandler/CReportWriter.h"
#include "crashhandler/IReportSink.h"
#include "crashhandler/SCrashRecord.h"

namespace crashhandler {

// What became of one thread of a hanging process.
enum class EThreadOutcome {
    // Its context was recorded.
    recorded,
    // It was asked and did not answer in time (it may block the signal).
    silent,
    // It ended before it could be asked.
    ended,
    // It was not asked: the report's time ran out.
    notAsked,
};

struct SHangThread {
    // The system's identity of the thread.
    int64_t id = 0;
    // Its name, printable; may be empty.
    const char* name = "";
    // The thread that serves the master's calls, which the slave did not answer.
    bool bServing = false;
    EThreadOutcome outcome = EThreadOutcome::notAsked;
    // Its registers and stack; only when recorded.
    const SThreadContext* context = nullptr;
};

// Writes the report of a process that hangs, part by part, because a
// signal handler has room for one thread's stack at a time: the
// application line, the heading "Hang Report", the module list, then a
// section per thread in the order added (the serving thread first,
// marked), with its registers and frame-pointer stack walk, and at the end
// how many threads were left out. Each part reaches the sink whole before
// the call that added it returns, so that a process ended midway leaves
// the parts written so far. No heap, no lock, no exception:
// async-signal-safe.
class CHangReport {
public:
    // Writes the head.
    CHangReport(IReportSink& sink, const char* applicationName, const char* versionText,
                const SModuleList& modules) noexcept;
    CHangReport(const CHangReport&) = delete;
    CHangReport& operator=(const CHangReport&) = delete;

    void addThread(const SHangThread& thread) noexcept;
    // The closing line, when `leftOut` threads found no room.
    void finish(size_t leftOut) noexcept;

private:
    CReportWriter m_out;
};

} // namespace crashhandler
