#include "crashhandler/reportSections.h"

#include <cstring>

namespace crashhandler {

namespace {

constexpr int maxStackSteps = 32;
constexpr size_t bytesPerDumpLine = 16;

void writeRegister(CReportWriter& out, const char* label, uint64_t value)
{
    out.text(label).text("0x").hex(value).text("\n");
}

void writeDebugRegisters(CReportWriter& out, const SDebugRegisters& debug)
{
    out.text("Debug Registers:\n");
    writeRegister(out, "Dr0: ", debug.dr0);
    writeRegister(out, "Dr1: ", debug.dr1);
    writeRegister(out, "Dr2: ", debug.dr2);
    writeRegister(out, "Dr3: ", debug.dr3);
    writeRegister(out, "Dr6: ", debug.dr6);
    writeRegister(out, "Dr7: ", debug.dr7);
}

void writeFloatingPointState(CReportWriter& out, const SFloatingPointState& state)
{
    out.text("Floating Point State:\n");
    writeRegister(out, "Control:      ", state.control);
    writeRegister(out, "Status:       ", state.status);
    writeRegister(out, "Tag:          ", state.tag);
    writeRegister(out, "ErrorOffset:  ", state.errorOffset);
    writeRegister(out, "DataOffset:   ", state.dataOffset);
    writeRegister(out, "DataSelector: ", state.dataSelector);
    out.text("Registers:\n");
    for (int i = 0; i < 8; ++i)
        out.text("  ").decimal(static_cast<uint64_t>(i)).text(": ").scientific(state.registers[i]).text("\n");
    writeRegister(out, "Cr0NpxState: ", state.cr0NpxState);
}

void writeSegmentRegisters(CReportWriter& out, const SSegmentRegisters& segments)
{
    out.text("Segment registers:\n");
    writeRegister(out, "GS: ", segments.gs);
    writeRegister(out, "FS: ", segments.fs);
    writeRegister(out, "ES: ", segments.es);
    writeRegister(out, "DS: ", segments.ds);
}

void writeIntegerRegisters(CReportWriter& out, const SIntegerRegisters& integer)
{
    out.text("Integer registers:\n");
    writeRegister(out, "RAX: ", integer.rax);
    writeRegister(out, "RBX: ", integer.rbx);
    writeRegister(out, "RCX: ", integer.rcx);
    writeRegister(out, "RDX: ", integer.rdx);
    writeRegister(out, "RDI: ", integer.rdi);
    writeRegister(out, "RSI: ", integer.rsi);
    writeRegister(out, "R8:  ", integer.r8);
    writeRegister(out, "R9:  ", integer.r9);
    writeRegister(out, "R10: ", integer.r10);
    writeRegister(out, "R11: ", integer.r11);
    writeRegister(out, "R12: ", integer.r12);
    writeRegister(out, "R13: ", integer.r13);
    writeRegister(out, "R14: ", integer.r14);
    writeRegister(out, "R15: ", integer.r15);
}

void writeControlRegisters(CReportWriter& out, const SControlRegisters& control)
{
    out.text("Control registers:\n");
    writeRegister(out, "RBP:    ", control.rbp);
    writeRegister(out, "RIP:    ", control.rip);
    writeRegister(out, "RSP:    ", control.rsp);
    writeRegister(out, "SegCS:  ", control.cs);
    writeRegister(out, "SegSS:  ", control.ss);
    writeRegister(out, "EFlags: ", control.flags);
}

void writeExtendedRegisters(CReportWriter& out, const uint8_t (&extended)[512])
{
    out.text("Extended registers:");
    for (size_t i = 0; i < sizeof extended; ++i) {
        if (i % 16 == 0)
            out.text("\n");
        else if (i % 4 == 0)
            out.text(" ");
        out.hex(extended[i], 2);
    }
    out.text("\n");
}

uint64_t readWord(const SMemoryCopy& memory, uint64_t address)
{
    uint64_t word;
    std::memcpy(&word, memory.bytes + (address - memory.address), sizeof word);
    return word;
}

// Dumps [begin, end) in lines of 16 bytes; returns false when it met a byte
// outside the copy, which ends the line and the walk.
bool dumpRange(CReportWriter& out, const SMemoryCopy& stack, uint64_t begin, uint64_t end)
{
    for (uint64_t line = begin; line < end; line += bytesPerDumpLine) {
        out.hex(line).text(": ");
        for (uint64_t address = line; address < end && address - line < bytesPerDumpLine; ++address) {
            if (!stack.contains(address, 1)) {
                out.text("\n");
                return false;
            }
            out.hex(stack.bytes[address - stack.address], 2).text(" ");
        }
        out.text("\n");
    }
    return true;
}

// Each frame holds the caller's frame pointer and, above it, the return
// address into the caller; the range from one frame to the next is dumped.
void writeFramePointerWalk(CReportWriter& out, const SThreadContext& context)
{
    const SMemoryCopy& stack = context.stack;
    uint64_t currentAddress = context.control.rip;
    uint64_t framePointer = context.control.rbp;
    for (int step = 0; step < maxStackSteps && stack.contains(framePointer, 2 * sizeof(uint64_t)); ++step) {
        const uint64_t callerFrame = readWord(stack, framePointer);
        out.text("Current Address: ").hex(currentAddress).text("\n");
        const bool readable = dumpRange(out, stack, framePointer, callerFrame);
        out.text("\n");
        if (!readable)
            break;
        currentAddress = readWord(stack, framePointer + sizeof(uint64_t));
        framePointer = callerFrame;
    }
}

} // namespace

const SModule* findModule(const SModuleList& modules, uint64_t address) noexcept
{
    for (size_t i = 0; i < modules.moduleCount; ++i) {
        if (address - modules.modules[i].base < modules.modules[i].size)
            return &modules.modules[i];
    }
    return nullptr;
}

void writeContext(CReportWriter& out, const SThreadContext& context) noexcept
{
    out.text("Context:\n\n");
    const auto section = [&](ERegisterSection bit, auto&& write) {
        if (context.sections & bit) {
            write();
            out.text("\n");
        }
    };
    section(sectionDebug, [&] { writeDebugRegisters(out, context.debug); });
    section(sectionFloatingPoint, [&] { writeFloatingPointState(out, context.floatingPoint); });
    section(sectionSegments, [&] { writeSegmentRegisters(out, context.segments); });
    section(sectionInteger, [&] { writeIntegerRegisters(out, context.integer); });
    section(sectionControl, [&] { writeControlRegisters(out, context.control); });
    section(sectionExtended, [&] { writeExtendedRegisters(out, context.extended); });
}

void writeModules(CReportWriter& out, const SModuleList& modules) noexcept
{
    if (modules.moduleCount > 0)
        out.text("Module Addresses:\n");
    for (size_t i = 0; i < modules.moduleCount; ++i) {
        const SModule& module = modules.modules[i];
        out.rightAligned(module.name, 12).text(" : ").hex(module.base).text("-").hex(module.base + module.size);
        out.text("\n");
    }
    out.text("\n");
}

void writeStackDump(CReportWriter& out, const SThreadContext& context) noexcept
{
    if (!(context.sections & sectionControl))
        return;
    out.text("Stack Dump:\n");
    if (context.frameCount == 0) {
        writeFramePointerWalk(out, context);
        return;
    }
    for (size_t step = 0; step < context.frameCount && step < SThreadContext::maxFrames; ++step) {
        const SStackFrame& frame = context.frames[step];
        out.text("Current Address: ").hex(frame.address).text("\n");
        const bool readable = dumpRange(out, context.stack, frame.begin, frame.end);
        out.text("\n");
        if (!readable)
            break;
    }
}

} // namespace crashhandler
