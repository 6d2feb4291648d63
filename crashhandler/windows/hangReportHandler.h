#pragma once

#include <cstdint>

namespace crashhandler {

// The status a process ends with once it wrote its hang report.
constexpr uint32_t hangReportExitCode = 254;

// Creates the event a master sets to ask for a hang report (see
// hangReportEvent.h) and a thread that waits on it. When it is set, the
// thread suspends every other thread of the process, writes a hang report
// (see CHangReport) into the file at `reportPath` (UTF-8), created or
// emptied first, and ends the process with hangReportExitCode; a file that
// cannot be opened ends it at once. The thread `servingThread` (the
// system's thread id) comes first, then the others as the system lists
// them, up to 64 in all. Suspended threads can answer nothing: thread
// names are not known, and from the first suspension on the report neither
// allocates nor waits for anything but the file.
//
// The texts stay the caller's: they must remain valid and unchanged while
// the handler is installed. Install from one thread; installing again
// replaces the settings. When the event or the thread cannot be made,
// nothing is installed.
void installHangReportHandler(uint32_t servingThread, const char* reportPath, const char* applicationName,
                              const char* versionText);

// Ends the thread and closes the event.
void removeHangReportHandler();

} // namespace crashhandler
