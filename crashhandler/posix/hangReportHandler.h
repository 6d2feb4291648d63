#pragma once

#include <sys/types.h>

namespace crashhandler {

// The status a process ends with once it wrote its hang report.
constexpr int hangReportExitCode = 254;

// Makes `signal`, sent to the process, write a hang report (see
// CHangReport) into the file at `reportPath`, created or emptied first,
// and then end the process with hangReportExitCode; a file that cannot be
// opened ends it at once.
//
// The thread `servingThread` (the system's thread id) comes first; then
// every other thread listed in /proc/self/task, up to 64, is asked in turn,
// by the same signal sent to it alone, to record its own registers and
// stack. A thread that does not answer within 100 ms (it may block the
// signal) is noted and passed over, and threads not yet asked 600 ms after
// the request are noted as not asked: the process ends well within a
// second. Handlers run on the thread's alternate stack where it has one.
// Async-signal-safe: no heap, no lock, nothing but open, read, write,
// getdents64, futex and signals to the process's own threads, so it works
// in a confined process that may read /proc/self and write the file.
//
// The texts stay the caller's: they must remain valid and unchanged while
// the handler is installed. Install from one thread, before the signal may
// come; installing again replaces the settings.
void installHangReportHandler(int signal, pid_t servingThread, const char* reportPath, const char* applicationName,
                              const char* versionText);

// Puts back the handler found at installation.
void removeHangReportHandler();

} // namespace crashhandler
