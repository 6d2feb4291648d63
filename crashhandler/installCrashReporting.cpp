#include "crashhandler/installCrashReporting.h"

#include "crashhandler/ICrashHandler.h"
#include "crashhandler/installFaultHandlers.h"

#include <cstring>

namespace crashhandler {

namespace {

// Set before the filter that reads them is installed; fixed arrays, because
// the filter may run after the heap was wrecked.
char g_reportPath[4096];
bool g_bDebugCopy = false;
const char* g_applicationName = "";
const char* g_versionText = "";

void writeCrashReport(const SExceptionPointers& pointers) noexcept
{
    ICrashHandler* handler = createCrashHandler(g_applicationName, g_versionText);
    handler->handleCrash(g_reportPath, pointers, g_bDebugCopy);
    handler->destroy();
}

} // namespace

bool installCrashReporting(const char* reportPath, bool bDebugCopy, uint64_t servingThread, const char* applicationName,
                           const char* versionText)
{
    const size_t length = std::strlen(reportPath);
    if (length >= sizeof g_reportPath)
        return false;
    std::memcpy(g_reportPath, reportPath, length + 1);
    g_bDebugCopy = bDebugCopy;
    g_applicationName = applicationName;
    g_versionText = versionText;
    installFaultHandlers(&writeCrashReport, servingThread, g_reportPath, applicationName, versionText);
    return true;
}

void removeCrashReporting() { removeFaultHandlers(); }

} // namespace crashhandler
