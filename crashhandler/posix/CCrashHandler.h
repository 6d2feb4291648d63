#pragma once

#include "crashhandler/ICrashHandler.h"
#include "crashhandler/IReportSink.h"
#include "crashhandler/SCrashRecord.h"
#include "crashhandler/posix/CModuleListBuilder.h"
#include "crashhandler/posix/CThreadRecorder.h"
#include "crashhandler/posix/readMappings.h"

#include <ucontext.h>

namespace crashhandler {

// The crash handler of Linux on x86-64. Its record comes from the signal's
// information, the interrupted thread's registers and the process's memory
// map, which names the loaded objects and tells which stack memory can be
// read; everything is kept in the object itself (see createCrashHandler).
class CCrashHandler final : public ICrashHandler, private IMappingVisitor {
public:
    CCrashHandler(const char* applicationName, const char* versionText) noexcept;

    void destroy() noexcept override;
    void handleCrash(const char* reportPath, const SExceptionPointers& pointers, bool bDebugCopy) noexcept override;

private:
    ~CCrashHandler() override = default;

    void visit(const SMapping& mapping) noexcept override;
    void recordFault(const SExceptionPointers& pointers);
    void recordMappings();
    void writeReport(IReportSink& sink) noexcept;

    char m_applicationName[64];
    char m_versionText[64];
    SCrashRecord m_record;
    CModuleListBuilder m_modules{m_record};
    CThreadRecorder m_thread{m_record};
};

} // namespace crashhandler
