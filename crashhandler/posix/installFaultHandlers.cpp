#include "crashhandler/installFaultHandlers.h"

#include "crashhandler/posix/fatalSignalFilter.h"
#include "crashhandler/posix/hangReportHandler.h"
// A constant only: the signal the master's process object sends.
#include "crashhandler/posix/hangReportSignal.h"

#include <sys/types.h>

namespace crashhandler {

void installFaultHandlers(TCrashFilter filter, uint64_t servingThread, const char* reportPath,
                          const char* applicationName, const char* versionText)
{
    installFatalSignalFilter(filter);
    installHangReportHandler(hangReportSignal, static_cast<pid_t>(servingThread), reportPath, applicationName,
                             versionText);
}

void removeFaultHandlers()
{
    removeHangReportHandler();
    removeFatalSignalFilter();
}

} // namespace crashhandler
