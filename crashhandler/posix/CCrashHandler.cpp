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

#ifndef __x86_64__
#error "the crash handler reads the registers of x86-64"
#endif

namespace crashhandler {

namespace {

static_assert(sizeof(_libc_fpstate) == sizeof(SCrashRecord::extended), "the extended area is the FXSAVE image");

void copyText(char (&target)[64], const char* source)
{
    const size_t length = std::strlen(source) < sizeof target ? std::strlen(source) : sizeof target - 1;
    std::memcpy(target, source, length);
    target[length] = '\0';
}

// The kernel keeps these selectors as they were across the signal.
uint64_t readDataSegment()
{
    uint16_t selector;
    asm("mov %%ds, %0" : "=r"(selector));
    return selector;
}
uint64_t readExtraSegment()
{
    uint16_t selector;
    asm("mov %%es, %0" : "=r"(selector));
    return selector;
}
uint64_t readStackSegment()
{
    uint16_t selector;
    asm("mov %%ss, %0" : "=r"(selector));
    return selector;
}

// Copies memory that the map says is readable. The address sanitizer must
// not look: other frames' poisoned padding is part of what is copied.
__attribute__((no_sanitize_address)) void copyStackBytes(uint64_t address, uint8_t* target, size_t size)
{
    const volatile uint8_t* source = reinterpret_cast<const volatile uint8_t*>(address);
    for (size_t i = 0; i < size; ++i)
        target[i] = source[i];
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
    copyStack();
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
    recordRegisters(*pointers.context);
    const greg_t* registers = pointers.context->uc_mcontext.gregs;
    const int systemCall = pointers.signal == SIGSYS ? pointers.info->si_syscall : 0;
    const SFaultDescription fault = describeFault({pointers.signal, pointers.info->si_code,
                                                   reinterpret_cast<uint64_t>(pointers.info->si_addr),
                                                   asWord(registers[REG_ERR]), asWord(registers[REG_RSP]),
                                                   systemCall});
    m_record.code = fault.code;
    m_record.flags = fault.flags;
    m_record.address = asWord(registers[REG_RIP]);
    m_record.parameterCount = fault.parameterCount;
    std::memcpy(m_record.parameters, fault.parameters, sizeof fault.parameters);
    if (fault.code == forbiddenSystemCall)
        m_record.systemCallName = systemCallName(systemCall);
}

void CCrashHandler::recordRegisters(const ucontext_t& context)
{
    const greg_t* registers = context.uc_mcontext.gregs;
    // Code, then GS and FS, in 16 bits each.
    const uint64_t selectors = asWord(registers[REG_CSGSFS]);
    m_record.sections = sectionControl | sectionInteger | sectionSegments;
    m_record.control = {asWord(registers[REG_RBP]), asWord(registers[REG_RIP]), asWord(registers[REG_RSP]),
                        selectors & 0xFFFF, readStackSegment(), asWord(registers[REG_EFL])};
    m_record.segments = {selectors >> 16 & 0xFFFF, selectors >> 32 & 0xFFFF, readExtraSegment(), readDataSegment()};
    m_record.integer = {asWord(registers[REG_RAX]), asWord(registers[REG_RBX]), asWord(registers[REG_RCX]),
                        asWord(registers[REG_RDX]), asWord(registers[REG_RDI]), asWord(registers[REG_RSI]),
                        asWord(registers[REG_R8]),  asWord(registers[REG_R9]),  asWord(registers[REG_R10]),
                        asWord(registers[REG_R11]), asWord(registers[REG_R12]), asWord(registers[REG_R13]),
                        asWord(registers[REG_R14]), asWord(registers[REG_R15])};

    const _libc_fpstate* floatingPoint = context.uc_mcontext.fpregs;
    if (!floatingPoint)
        return;
    m_record.sections |= sectionFloatingPoint | sectionExtended;
    // 64-bit code saves no selectors with the x87 pointers, and has no Cr0NpxState.
    SFloatingPointState& state = m_record.floatingPoint;
    state.control = floatingPoint->cwd;
    state.status = floatingPoint->swd;
    state.tag = floatingPoint->ftw;
    state.errorOffset = floatingPoint->rip;
    state.dataOffset = floatingPoint->rdp;
    for (int i = 0; i < 8; ++i)
        std::memcpy(&state.registers[i], floatingPoint->_st[i].significand, sizeof(double));
    std::memcpy(m_record.extended, floatingPoint, sizeof m_record.extended);
}

void CCrashHandler::recordMappings()
{
    const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps < 0)
        return;
    readMappings(maps, *this);
    close(maps);
    m_modules.finish();
}

void CCrashHandler::visit(const SMapping& mapping) noexcept
{
    m_modules.add(mapping);
    // The first readable memory at or above the stack pointer: the stack
    // itself, or after an overflow the part of it that is left.
    const uint64_t stackPointer = m_record.control.rsp;
    if (m_stackEnd == 0 && mapping.readable && mapping.end > stackPointer &&
        mapping.start < stackPointer + stackCopySize) {
        m_stackBegin = mapping.start > stackPointer ? mapping.start : stackPointer;
        m_stackEnd = mapping.end - m_stackBegin < stackCopySize ? mapping.end : m_stackBegin + stackCopySize;
    }
}

void CCrashHandler::copyStack()
{
    copyStackBytes(m_stackBegin, m_stackCopy, m_stackEnd - m_stackBegin);
    m_record.stack = {m_stackBegin, m_stackCopy, m_stackEnd - m_stackBegin};
}

ICrashHandler* createCrashHandler(const char* applicationName, const char* versionText) noexcept
{
    // No heap: the handler may be asked for after the heap was wrecked.
    alignas(CCrashHandler) static unsigned char storage[sizeof(CCrashHandler)];
    return new (storage) CCrashHandler(applicationName, versionText);
}

} // namespace crashhandler
