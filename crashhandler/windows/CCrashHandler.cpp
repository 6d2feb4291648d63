#include "crashhandler/windows/CCrashHandler.h"

#include "crashhandler/buildCrashReport.h"
#include "crashhandler/windows/CDebugOutputSink.h"
#include "crashhandler/windows/CHandleSink.h"
#include "crashhandler/windows/SExceptionPointers.h"
#include "crashhandler/windows/listModules.h"
#include "crashhandler/windows/openReportFile.h"

#include <cstring>
#include <new>

namespace crashhandler {

namespace {

void copyText(char (&target)[64], const char* source)
{
    const size_t length = std::strlen(source) < sizeof target ? std::strlen(source) : sizeof target - 1;
    std::memcpy(target, source, length);
    target[length] = '\0';
}

// All ones means "unknown" whatever the word size; the report compares
// with 64 bits.
uint64_t asParameter(ULONG_PTR value) { return value == ~ULONG_PTR(0) ? ~uint64_t(0) : value; }

} // namespace

CCrashHandler::CCrashHandler(const char* applicationName, const char* versionText) noexcept
{
    copyText(m_applicationName, applicationName);
    copyText(m_versionText, versionText);
}

void CCrashHandler::destroy() noexcept { this->~CCrashHandler(); }

void CCrashHandler::handleCrash(const char* reportPath, const SExceptionPointers& pointers, bool bDebugCopy) noexcept
{
    recordException(*pointers.record);
    m_thread.record(*pointers.context);
    listModules(m_record);
    // The file comes first and whole: it is what the master reads.
    const HANDLE file = openReportFile(reportPath);
    if (file != INVALID_HANDLE_VALUE) {
        CHandleSink fileSink(file);
        writeReport(fileSink);
        CloseHandle(file);
    }
    if (bDebugCopy) {
        CDebugOutputSink debugSink;
        writeReport(debugSink);
    }
}

void CCrashHandler::recordException(const EXCEPTION_RECORD& exception)
{
    m_record.code = exception.ExceptionCode;
    m_record.flags = exception.ExceptionFlags;
    m_record.address = reinterpret_cast<uintptr_t>(exception.ExceptionAddress);
    const DWORD count = exception.NumberParameters;
    m_record.parameterCount = count < SCrashRecord::maxParameters ? count : SCrashRecord::maxParameters;
    for (size_t i = 0; i < m_record.parameterCount; ++i)
        m_record.parameters[i] = asParameter(exception.ExceptionInformation[i]);
}

void CCrashHandler::writeReport(IReportSink& sink) noexcept
{
    buildCrashReport(m_record, m_applicationName, m_versionText, sink);
}

ICrashHandler* createCrashHandler(const char* applicationName, const char* versionText) noexcept
{
    // No heap: the handler may be asked for after the heap was wrecked.
    alignas(CCrashHandler) static unsigned char storage[sizeof(CCrashHandler)];
    return new (storage) CCrashHandler(applicationName, versionText);
}

} // namespace crashhandler
