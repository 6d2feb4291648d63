#pragma once

#include "crashhandler/ICrashHandler.h"
#include "crashhandler/IReportSink.h"
#include "crashhandler/SCrashRecord.h"
#include "crashhandler/posix/CModuleListBuilder.h"
#include "crashhandler/posix/readMappings.h"

#include <ucontext.h>

namespace crashhandler {

// The crash handler of Linux on x86-64. Its record comes from the signal's
// information, the interrupted thread's registers and the process's memory
// map, which names the loaded objects and tells which stack memory can be
// read; everything is kept in the object itself (see createCrashHandler).
class CCrashHandler final : public ICrashHandler, private IMappingVisitor {
public:
    // How much of the stack, upwards from its pointer, the walk can see.
    static constexpr size_t stackCopySize = 64 * 1024;

    CCrashHandler(const char* applicationName, const char* versionText) noexcept;

    void destroy() noexcept override;
    void handleCrash(const char* reportPath, const SExceptionPointers& pointers, bool bDebugCopy) noexcept override;

private:
    ~CCrashHandler() override = default;

    void visit(const SMapping& mapping) noexcept override;
    void recordFault(const SExceptionPointers& pointers);
    void recordRegisters(const ucontext_t& context);
    void recordMappings();
    void copyStack();
    void writeReport(IReportSink& sink) noexcept;

    char m_applicationName[64];
    char m_versionText[64];
    SCrashRecord m_record;
    CModuleListBuilder m_modules{m_record};
    uint64_t m_stackBegin = 0;
    uint64_t m_stackEnd = 0;
    uint8_t m_stackCopy[stackCopySize];
};

} // namespace crashhandler
