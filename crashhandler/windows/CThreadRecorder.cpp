#include "crashhandler/windows/CThreadRecorder.h"

#include <cstring>

#if !defined(__x86_64__) && !defined(__i386__)
#error "the crash handler reads the registers of x86-64 and x86"
#endif

namespace crashhandler {

namespace {

bool holds(DWORD flags, DWORD section) { return (flags & section) == section; }

// Memory whose pages can be read as they are, without faulting.
bool isReadable(const MEMORY_BASIC_INFORMATION& region)
{
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return region.State == MEM_COMMIT && (region.Protect & readable) && !(region.Protect & PAGE_GUARD);
}

} // namespace

void CThreadRecorder::record(const CONTEXT& context) noexcept
{
    m_context = SThreadContext();
    recordRegisters(context);
    if (m_context.sections & sectionControl) {
        copyStack(m_context.control.rsp);
        walkFrames(context);
    }
}

#if defined(__x86_64__)

static_assert(sizeof(XMM_SAVE_AREA32) == sizeof(SThreadContext::extended), "the extended area is the FXSAVE image");

void CThreadRecorder::recordRegisters(const CONTEXT& context)
{
    const DWORD flags = context.ContextFlags;
    if (holds(flags, CONTEXT_DEBUG_REGISTERS)) {
        m_context.sections |= sectionDebug;
        m_context.debug = {context.Dr0, context.Dr1, context.Dr2, context.Dr3, context.Dr6, context.Dr7};
    }
    if (holds(flags, CONTEXT_FLOATING_POINT)) {
        // 64-bit code keeps no Cr0NpxState; the save area is the extended one.
        m_context.sections |= sectionFloatingPoint | sectionExtended;
        const XMM_SAVE_AREA32& area = context.FltSave;
        SFloatingPointState& state = m_context.floatingPoint;
        state = {area.ControlWord, area.StatusWord,   area.TagWord, area.ErrorOffset,
                 area.DataOffset,  area.DataSelector, {},           0};
        for (int i = 0; i < 8; ++i)
            std::memcpy(&state.registers[i], &area.FloatRegisters[i], sizeof(double));
        std::memcpy(m_context.extended, &area, sizeof m_context.extended);
    }
    if (holds(flags, CONTEXT_SEGMENTS)) {
        m_context.sections |= sectionSegments;
        m_context.segments = {context.SegGs, context.SegFs, context.SegEs, context.SegDs};
    }
    if (holds(flags, CONTEXT_INTEGER)) {
        m_context.sections |= sectionInteger;
        m_context.integer = {context.Rax, context.Rbx, context.Rcx, context.Rdx, context.Rdi, context.Rsi, context.R8,
                             context.R9,  context.R10, context.R11, context.R12, context.R13, context.R14, context.R15};
    }
    if (holds(flags, CONTEXT_CONTROL)) {
        m_context.sections |= sectionControl;
        m_context.control = {context.Rbp, context.Rip, context.Rsp, context.SegCs, context.SegSs, context.EFlags};
    }
}

// Code compiled without frame pointers is walked by the unwind data that
// every x86-64 function but a leaf carries. Each step is bounded by the
// copy: the unwinder reads the live stack, and only where the copy says
// it can be read.
void CThreadRecorder::walkFrames(const CONTEXT& context)
{
    CONTEXT walk = context;
    for (size_t step = 0; step < SThreadContext::maxFrames && m_context.stack.contains(walk.Rsp, 8); ++step) {
        const uint64_t begin = walk.Rsp;
        const uint64_t address = walk.Rip;
        DWORD64 imageBase = 0;
        if (PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(walk.Rip, &imageBase, nullptr)) {
            void* handlerData = nullptr;
            DWORD64 establisherFrame = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, walk.Rip, function, &walk, &handlerData, &establisherFrame,
                             nullptr);
        } else {
            // A leaf: its return address lies at the stack pointer.
            uint64_t returnAddress = 0;
            readWord(walk.Rsp, returnAddress);
            walk.Rip = returnAddress;
            walk.Rsp += sizeof(uint64_t);
        }
        m_context.frames[m_context.frameCount++] = {address, begin, walk.Rsp};
        if (walk.Rip == 0 || walk.Rsp <= begin)
            break;
    }
}

#else

static_assert(sizeof(CONTEXT::ExtendedRegisters) == sizeof(SThreadContext::extended), "the extended area");

void CThreadRecorder::recordRegisters(const CONTEXT& context)
{
    const DWORD flags = context.ContextFlags;
    if (holds(flags, CONTEXT_DEBUG_REGISTERS)) {
        m_context.sections |= sectionDebug;
        m_context.debug = {context.Dr0, context.Dr1, context.Dr2, context.Dr3, context.Dr6, context.Dr7};
    }
    if (holds(flags, CONTEXT_FLOATING_POINT)) {
        m_context.sections |= sectionFloatingPoint;
        const FLOATING_SAVE_AREA& area = context.FloatSave;
        SFloatingPointState& state = m_context.floatingPoint;
        state = {area.ControlWord, area.StatusWord,   area.TagWord, area.ErrorOffset,
                 area.DataOffset,  area.DataSelector, {},           area.Cr0NpxState};
        // The x87 registers are ten bytes each; the first eight are read as a double.
        for (int i = 0; i < 8; ++i)
            std::memcpy(&state.registers[i], &area.RegisterArea[10 * i], sizeof(double));
    }
    if (holds(flags, CONTEXT_SEGMENTS)) {
        m_context.sections |= sectionSegments;
        m_context.segments = {context.SegGs, context.SegFs, context.SegEs, context.SegDs};
    }
    if (holds(flags, CONTEXT_INTEGER)) {
        m_context.sections |= sectionInteger;
        m_context.integer = {context.Eax, context.Ebx, context.Ecx, context.Edx, context.Edi, context.Esi, 0,
                             0,           0,           0,           0,           0,           0,           0};
    }
    if (holds(flags, CONTEXT_CONTROL)) {
        m_context.sections |= sectionControl;
        m_context.control = {context.Ebp, context.Eip, context.Esp, context.SegCs, context.SegSs, context.EFlags};
    }
    if (holds(flags, CONTEXT_EXTENDED_REGISTERS)) {
        m_context.sections |= sectionExtended;
        std::memcpy(m_context.extended, context.ExtendedRegisters, sizeof m_context.extended);
    }
}

// Each frame holds the caller's 32-bit frame pointer and, above it, the
// return address into the caller; the range from one frame to the next is
// the step's.
void CThreadRecorder::walkFrames(const CONTEXT& context)
{
    uint64_t address = context.Eip;
    uint64_t framePointer = context.Ebp;
    for (size_t step = 0; step < SThreadContext::maxFrames; ++step) {
        uint64_t callerFrame = 0;
        uint64_t returnAddress = 0;
        if (!readWord(framePointer, callerFrame) || !readWord(framePointer + 4, returnAddress))
            break;
        m_context.frames[m_context.frameCount++] = {address, framePointer, callerFrame};
        if (callerFrame <= framePointer)
            break;
        address = returnAddress;
        framePointer = callerFrame;
    }
}

#endif

void CThreadRecorder::copyStack(uint64_t stackPointer)
{
    // The committed stack above the pointer is one region of one
    // protection; after an overflow, the page the guard was on has joined it.
    MEMORY_BASIC_INFORMATION region;
    const void* start = reinterpret_cast<const void*>(static_cast<uintptr_t>(stackPointer));
    if (VirtualQuery(start, &region, sizeof region) != sizeof region || !isReadable(region))
        return;
    const uint64_t regionEnd = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    const size_t size = regionEnd - stackPointer < stackCopySize ? size_t(regionEnd - stackPointer) : stackCopySize;
    // A read through the system rather than a plain copy: a page that went
    // away meanwhile fails the call instead of faulting the reporter.
    SIZE_T copied = 0;
    if (!ReadProcessMemory(GetCurrentProcess(), start, m_stackCopy, size, &copied))
        copied = 0;
    m_context.stack = {stackPointer, m_stackCopy, copied};
}

// A word of the stack as the platform's frames hold it: 64 or 32 bits.
bool CThreadRecorder::readWord(uint64_t address, uint64_t& word) const
{
    const SMemoryCopy& stack = m_context.stack;
    if (!stack.contains(address, sizeof(uintptr_t)))
        return false;
    uintptr_t value;
    std::memcpy(&value, stack.bytes + (address - stack.address), sizeof value);
    word = value;
    return true;
}

} // namespace crashhandler
