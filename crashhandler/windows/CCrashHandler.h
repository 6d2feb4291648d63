#pragma once

#include "crashhandler/ICrashHandler.h"
#include "crashhandler/IReportSink.h"
#include "crashhandler/SCrashRecord.h"
#include "crashhandler/windows/CThreadRecorder.h"

#include <windows.h>

namespace crashhandler {

// The crash handler of Windows on x86-64 and x86. Its record comes from the
// structured exception's record and context and the system's module
// snapshot; everything is kept in the object itself (see
// createCrashHandler).
class CCrashHandler final : public ICrashHandler {
public:
    CCrashHandler(const char* applicationName, const char* versionText) noexcept;

    void destroy() noexcept override;
    void handleCrash(const char* reportPath, const SExceptionPointers& pointers, bool bDebugCopy) noexcept override;

private:
    ~CCrashHandler() override = default;

    void recordException(const EXCEPTION_RECORD& exception);
    void writeReport(IReportSink& sink) noexcept;

    char m_applicationName[64];
    char m_versionText[64];
    SCrashRecord m_record;
    CThreadRecorder m_thread{m_record};
};

} // namespace crashhandler
