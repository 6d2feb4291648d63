#include "crashhandler/installFaultHandlers.h"

#include "crashhandler/windows/fatalExceptionFilter.h"
#include "crashhandler/windows/hangReportHandler.h"

namespace crashhandler {

void installFaultHandlers(TCrashFilter filter, uint64_t servingThread, const char* reportPath,
                          const char* applicationName, const char* versionText)
{
    installFatalExceptionFilter(filter);
    // Thread ids of this system are 32 bits wide.
    installHangReportHandler(static_cast<uint32_t>(servingThread), reportPath, applicationName, versionText);
}

void removeFaultHandlers()
{
    removeHangReportHandler();
    removeFatalExceptionFilter();
}

} // namespace crashhandler
