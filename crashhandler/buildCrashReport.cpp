#include "crashhandler/buildCrashReport.h"

#include "crashhandler/CReportWriter.h"
#include "crashhandler/exceptionCodes.h"
#include "crashhandler/reportSections.h"

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

constexpr uint64_t unknownAddress = ~uint64_t(0);

const char* describeCode(uint32_t code)
{
    for (const SCodeDescription& description : codeDescriptions) {
        if (description.code == code)
            return description.text;
    }
    return "Unknown exception code.";
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
