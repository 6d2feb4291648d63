#include "crashhandler/posix/CThreadRecorder.h"

#include <cstring>

#ifndef __x86_64__
#error "the crash handler reads the registers of x86-64"
#endif

namespace crashhandler {

namespace {

static_assert(sizeof(_libc_fpstate) == sizeof(SThreadContext::extended), "the extended area is the FXSAVE image");

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

void CThreadRecorder::recordRegisters(const ucontext_t& context) noexcept
{
    m_context = SThreadContext();
    m_stackBegin = m_stackEnd = 0;
    const greg_t* registers = context.uc_mcontext.gregs;
    // Code, then GS and FS, in 16 bits each.
    const uint64_t selectors = asWord(registers[REG_CSGSFS]);
    m_context.sections = sectionControl | sectionInteger | sectionSegments;
    m_context.control = {asWord(registers[REG_RBP]), asWord(registers[REG_RIP]), asWord(registers[REG_RSP]),
                         selectors & 0xFFFF,         readStackSegment(),         asWord(registers[REG_EFL])};
    m_context.segments = {selectors >> 16 & 0xFFFF, selectors >> 32 & 0xFFFF, readExtraSegment(), readDataSegment()};
    m_context.integer = {asWord(registers[REG_RAX]), asWord(registers[REG_RBX]), asWord(registers[REG_RCX]),
                         asWord(registers[REG_RDX]), asWord(registers[REG_RDI]), asWord(registers[REG_RSI]),
                         asWord(registers[REG_R8]),  asWord(registers[REG_R9]),  asWord(registers[REG_R10]),
                         asWord(registers[REG_R11]), asWord(registers[REG_R12]), asWord(registers[REG_R13]),
                         asWord(registers[REG_R14]), asWord(registers[REG_R15])};

    const _libc_fpstate* floatingPoint = context.uc_mcontext.fpregs;
    if (!floatingPoint)
        return;
    m_context.sections |= sectionFloatingPoint | sectionExtended;
    // 64-bit code saves no selectors with the x87 pointers, and has no Cr0NpxState.
    SFloatingPointState& state = m_context.floatingPoint;
    state.control = floatingPoint->cwd;
    state.status = floatingPoint->swd;
    state.tag = floatingPoint->ftw;
    state.errorOffset = floatingPoint->rip;
    state.dataOffset = floatingPoint->rdp;
    for (int i = 0; i < 8; ++i)
        std::memcpy(&state.registers[i], floatingPoint->_st[i].significand, sizeof(double));
    std::memcpy(m_context.extended, floatingPoint, sizeof m_context.extended);
}

void CThreadRecorder::visit(const SMapping& mapping) noexcept
{
    // The first readable memory at or above the stack pointer: the stack
    // itself, or after an overflow the part of it that is left.
    const uint64_t stackPointer = m_context.control.rsp;
    if (m_stackEnd == 0 && mapping.readable && mapping.end > stackPointer &&
        mapping.start < stackPointer + stackCopySize) {
        m_stackBegin = mapping.start > stackPointer ? mapping.start : stackPointer;
        m_stackEnd = mapping.end - m_stackBegin < stackCopySize ? mapping.end : m_stackBegin + stackCopySize;
    }
}

void CThreadRecorder::copyStack() noexcept
{
    copyStackBytes(m_stackBegin, m_stackCopy, m_stackEnd - m_stackBegin);
    m_context.stack = {m_stackBegin, m_stackCopy, m_stackEnd - m_stackBegin};
}

} // namespace crashhandler
