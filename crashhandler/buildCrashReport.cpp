#include "crashhandler/buildCrashReport.h"

#include "crashhandler/CReportWriter.h"
#include "crashhandler/exceptionCodes.h"

#include <cstring>

namespace crashhandler {

namespace {

struct SCodeDescription {
    uint32_t code;
    const char* text;
};

constexpr SCodeDescription codeDescriptions[] = {
    {accessViolation, "The thread tried to read from or write to a virtual address for which it does not have the "
                      "appropriate access."},
    {datatypeMisalignment, "The thread tried to read or write data that is misaligned on hardware that does not "
                           "provide alignment. For example, 16-bit values must be aligned on 2-byte boundaries; "
                           "32-bit values on 4-byte boundaries, and so on."},
    {breakpoint, "A breakpoint was encountered."},
    {singleStep, "A trace trap or other single-instruction mechanism signaled that one instruction has been "
                 "executed."},
    {inPageError, "The thread tried to access a page that was not present, and the system was unable to load the "
                  "page. For example, this exception might occur if a network connection is lost while running a "
                  "program over the network."},
    {illegalInstruction, "The thread tried to execute an invalid instruction."},
    {noncontinuableException, "The thread tried to continue execution after a noncontinuable exception occurred."},
    {invalidDisposition, "An exception handler returned an invalid disposition to the exception dispatcher. "
                         "Programmers using a high-level language such as C should never encounter this "
                         "exception."},
    {arrayBoundsExceeded, "The thread tried to access an array element that is out of bounds and the underlying "
                          "hardware supports bounds checking."},
    {floatDenormalOperand, "One of the operands in a floating-point operation is denormal. A denormal value is one "
                           "that is too small to represent as a standard floating-point value."},
    {floatDivideByZero, "The thread tried to divide a floating-point value by a floating-point divisor of zero."},
    {floatInexactResult, "The result of a floating-point operation cannot be represented exactly as a decimal "
                         "fraction."},
    {floatInvalidOperation, "This exception represents any floating-point exception not included in this list."},
    {floatOverflow, "The exponent of a floating-point operation is greater than the magnitude allowed by the "
                    "corresponding type."},
    {floatStackCheck, "The stack overflowed or underflowed as the result of a floating-point operation."},
    {floatUnderflow, "The exponent of a floating-point operation is less than the magnitude allowed by the "
                     "corresponding type."},
    {integerDivideByZero, "The thread tried to divide an integer value by an integer divisor of zero."},
    {integerOverflow, "The result of an integer operation caused a carry out of the most significant bit of the "
                      "result."},
    {privilegedInstruction, "The thread tried to execute an instruction whose operation is not allowed in the "
                            "current machine mode."},
    {stackOverflow, "The thread used up its stack."},
};

constexpr int maxStackSteps = 32;
constexpr size_t bytesPerDumpLine = 16;
constexpr uint64_t unknownAddress = ~uint64_t(0);

const char* describeCode(uint32_t code)
{
    for (const SCodeDescription& description : codeDescriptions) {
        if (description.code == code)
            return description.text;
    }
    return "Unknown exception code.";
}

const SModule* findModule(const SCrashRecord& record, uint64_t address)
{
    for (size_t i = 0; i < record.moduleCount; ++i) {
        if (address - record.modules[i].base < record.modules[i].size)
            return &record.modules[i];
    }
    return nullptr;
}

// "The plugin called execve, which the sandbox forbids."; the call's
// number stands in for a name the platform did not know.
void writeForbiddenCall(CReportWriter& out, const SCrashRecord& record)
{
    out.text("The plugin called ");
    if (record.systemCallName)
        out.text(record.systemCallName);
    else
        out.text("system call ").decimal(record.parameterCount > 0 ? record.parameters[0] : 0);
    out.text(", which the sandbox forbids.");
}

void writeHeadline(CReportWriter& out, const SCrashRecord& record)
{
    const SModule* module = findModule(record, record.address);
    out.text("\n\nFatal Exception at 0x").hex(record.address);
    out.text(" (").text(module ? module->name : "").text(", base address: 0x").hex(module ? module->base : 0);
    out.text("):\n\n");
    if (record.code == forbiddenSystemCall)
        writeForbiddenCall(out, record);
    else
        out.text(describeCode(record.code));
    out.text("\n\n");
}

void writeAdditionalInformation(CReportWriter& out, const SCrashRecord& record)
{
    if (record.parameterCount == 0)
        return;
    out.text("Additional Information:\n");
    size_t next = 0;
    if (record.code == accessViolation && record.parameterCount >= 2) {
        const uint64_t address = record.parameters[1];
        if (address != 0 && address != unknownAddress)
            out.text(record.parameters[0] != 0 ? "Attempted to write at " : "Attempted to read at ")
                .text("0x")
                .hex(address)
                .text("\n");
        else
            out.text("Attempted to read/write at 0x00000000\n");
        next = 2;
    }
    for (; next < record.parameterCount; ++next)
        out.text("0x").hex(record.parameters[next]).text("\n");
    out.text("\n");
}

void writeFlags(CReportWriter& out, uint32_t flags)
{
    if (flags == 0)
        out.text("The exception is continuable.");
    else if (flags == noncontinuableFlag)
        out.text("The exception is noncontinuable.");
    else
        out.text("Unknown exception flags: 0x").hex(flags);
    out.text("\n\n");
}

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

void writeContext(CReportWriter& out, const SCrashRecord& record)
{
    out.text("Context:\n\n");
    const auto section = [&](ERegisterSection bit, auto&& write) {
        if (record.sections & bit) {
            write();
            out.text("\n");
        }
    };
    section(sectionDebug, [&] { writeDebugRegisters(out, record.debug); });
    section(sectionFloatingPoint, [&] { writeFloatingPointState(out, record.floatingPoint); });
    section(sectionSegments, [&] { writeSegmentRegisters(out, record.segments); });
    section(sectionInteger, [&] { writeIntegerRegisters(out, record.integer); });
    section(sectionControl, [&] { writeControlRegisters(out, record.control); });
    section(sectionExtended, [&] { writeExtendedRegisters(out, record.extended); });
}

void writeModules(CReportWriter& out, const SCrashRecord& record)
{
    if (record.moduleCount > 0)
        out.text("Module Addresses:\n");
    for (size_t i = 0; i < record.moduleCount; ++i) {
        const SModule& module = record.modules[i];
        out.rightAligned(module.name, 12).text(" : ").hex(module.base).text("-").hex(module.base + module.size);
        out.text("\n");
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
void writeStackDump(CReportWriter& out, const SCrashRecord& record)
{
    if (!(record.sections & sectionControl))
        return;
    out.text("Stack Dump:\n");
    const SMemoryCopy& stack = record.stack;
    uint64_t currentAddress = record.control.rip;
    uint64_t framePointer = record.control.rbp;
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

void buildCrashReport(const SCrashRecord& record, const char* applicationName, const char* versionText,
                      IReportSink& sink) noexcept
{
    CReportWriter out(sink);
    out.text(applicationName).text(" ").text(versionText).text("\n");
    writeHeadline(out, record);
    writeAdditionalInformation(out, record);
    writeFlags(out, record.flags);
    writeContext(out, record);
    writeModules(out, record);
    writeStackDump(out, record);
}

} // namespace crashhandler
