#include "crashhandler/posix/CCrashHandler.h"

#include "crashhandler/buildCrashReport.h"
#include "crashhandler/exceptionCodes.h"
#include "crashhandler/posix/CDebugOutputSink.h"
#include "crashhandler/posix/CDescriptorSink.h"
#include "crashhandler/posix/SExceptionPointers.h"
#include "crashhandler/posix/describeFault.h"
#include "crashhandler/posix/systemCallName.h"

#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace crashhandler {

namespace {

void copyText(char (&target)[64], const char* source)
{
    const size_t length = std::strlen(source) < sizeof target ? std::strlen(source) : sizeof target - 1;
    std::memcpy(target, source, length);
    target[length] = '\0';
}

uint64_t asWord(greg_t value) { return static_cast<uint64_t>(value); }

} // namespace

CCrashHandler::CCrashHandler(const char* applicationName, const char* versionText) noexcept
{
    copyText(m_applicationName, applicationName);
    copyText(m_versionText, versionText);
}

void CCrashHandler::destroy() noexcept { this->~CCrashHandler(); }

void CCrashHandler::handleCrash(const char* reportPath, const SExceptionPointers& pointers, bool bDebugCopy) noexcept
{
    recordFault(pointers);
    recordMappings();
    m_thread.copyStack();
    // The file comes first and whole: it is what the master reads.
    const int file = open(reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file >= 0) {
        CDescriptorSink fileSink(file);
        writeReport(fileSink);
        close(file);
    }
    if (bDebugCopy) {
        CDebugOutputSink debugSink(STDERR_FILENO);
        writeReport(debugSink);
    }
}

void CCrashHandler::writeReport(IReportSink& sink) noexcept
{
    buildCrashReport(m_record, m_applicationName, m_versionText, sink);
}

void CCrashHandler::recordFault(const SExceptionPointers& pointers)
{
    m_thread.recordRegisters(*pointers.context);
    const greg_t* registers = pointers.context->uc_mcontext.gregs;
    const int systemCall = pointers.signal == SIGSYS ? pointers.info->si_syscall : 0;
    const SFaultDescription fault =
        describeFault({pointers.signal, pointers.info->si_code, reinterpret_cast<uint64_t>(pointers.info->si_addr),
                       asWord(registers[REG_ERR]), asWord(registers[REG_RSP]), systemCall});
    m_record.code = fault.code;
    m_record.flags = fault.flags;
    m_record.address = asWord(registers[REG_RIP]);
    m_record.parameterCount = fault.parameterCount;
    std::memcpy(m_record.parameters, fault.parameters, sizeof fault.parameters);
    if (fault.code == forbiddenSystemCall)
        m_record.systemCallName = systemCallName(systemCall);
}

void CCrashHandler::recordMappings()
{
    if (readOwnMappings(*this))
        m_modules.finish();
}

void CCrashHandler::visit(const SMapping& mapping) noexcept
{
    m_modules.add(mapping);
    m_thread.visit(mapping);
}

ICrashHandler* createCrashHandler(const char* applicationName, const char* versionText) noexcept
{
    // No heap: the handler may be asked for after the heap was wrecked.
    alignas(CCrashHandler) static unsigned char storage[sizeof(CCrashHandler)];
    return new (storage) CCrashHandler(applicationName, versionText);
}

} // namespace crashhandler
