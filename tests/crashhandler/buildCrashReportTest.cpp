#include "crashhandler/buildCrashReport.h"

#include "crashhandler/CReportSinkString.h"
#include "crashhandler/exceptionCodes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace crashhandler {
namespace {

const char* const accessViolationText =
    "The thread tried to read from or write to a virtual address for which it does not have the appropriate access.";

// The report of `record`, from `heading` on.
std::string reportOf(const SCrashRecord& record, const char* heading = "")
{
    test::CReportSinkString sink;
    buildCrashReport(record, "", "0.0.0", sink);
    return sink.m_text.substr(sink.m_text.find(heading));
}

SCrashRecord faultAt(uint32_t code, std::vector<uint64_t> parameters = {}, const char* systemCallName = nullptr)
{
    SCrashRecord record;
    record.code = code;
    record.systemCallName = systemCallName;
    record.address = 0x401000;
    record.parameterCount = parameters.size();
    for (size_t i = 0; i < parameters.size(); ++i)
        record.parameters[i] = parameters[i];
    return record;
}

void addModule(SCrashRecord& record, const char* name, uint64_t base, uint64_t size)
{
    SModule& module = record.modules[record.moduleCount++];
    std::strcpy(module.name, name);
    module.base = base;
    module.size = size;
}

TEST(buildCrashReportTest, ParametersAndFlagsFollowTheDescription)
{
    const struct {
        SCrashRecord record;
        const char* description;
        std::string details;
    } cases[] = {
        {faultAt(accessViolation, {0, 0}), accessViolationText,
         "Additional Information:\nAttempted to read/write at 0x00000000\n\n"},
        {faultAt(accessViolation, {0, 0x1234}), accessViolationText,
         "Additional Information:\nAttempted to read at 0x00001234\n\n"},
        {faultAt(accessViolation, {8, 0x7fff12345678, 0xc0000022}), accessViolationText,
         "Additional Information:\nAttempted to write at 0x7fff12345678\n0xc0000022\n\n"},
        {faultAt(accessViolation, {1, ~uint64_t(0)}), accessViolationText,
         "Additional Information:\nAttempted to read/write at 0x00000000\n\n"},
        {faultAt(accessViolation, {5}), accessViolationText, "Additional Information:\n0x00000005\n\n"},
        {faultAt(stackOverflow, {1, 0x7ffc0000}), "The thread used up its stack.",
         "Additional Information:\n0x00000001\n0x7ffc0000\n\n"},
        {faultAt(0xE0000006), "Unknown exception code.", ""},
        // A forbidden call is named, or numbered where the platform knew no name.
        {faultAt(forbiddenSystemCall, {59}, "execve"), "The plugin called execve, which the sandbox forbids.",
         "Additional Information:\n0x0000003b\n\n"},
        {faultAt(forbiddenSystemCall, {1000}), "The plugin called system call 1000, which the sandbox forbids.",
         "Additional Information:\n0x000003e8\n\n"},
    };
    for (const auto& expected : cases) {
        const std::string report = reportOf(expected.record);
        const std::string middle =
            std::string(expected.description) + "\n\n" + expected.details + "The exception is continuable.\n\n";
        EXPECT_NE(report.find("):\n\n" + middle + "Context:\n\n"), std::string::npos) << report;
    }

    SCrashRecord record = faultAt(breakpoint);
    for (const auto& [flags, text] : {std::pair<uint32_t, const char*>{1, "The exception is noncontinuable.\n\n"},
                                      {0x20, "Unknown exception flags: 0x00000020\n\n"}}) {
        record.flags = flags;
        EXPECT_NE(reportOf(record).find("encountered.\n\n" + std::string(text) + "Context:"), std::string::npos);
    }
}

// Without registers the context is empty and no stack is dumped.
TEST(buildCrashReportTest, ReportWithoutContextNamesTheModuleHoldingTheAddress)
{
    SCrashRecord record = faultAt(breakpoint);
    record.address = 0x7f0000001234;
    addModule(record, "nebo_slave", 0x400000, 0x10000);
    addModule(record, "a_rather_long_library_name.so", 0x7f0000000000, 0x1235);
    addModule(record, "libc.so.6", 0x7f0000002000, 0x1000);
    EXPECT_EQ(reportOf(record), " 0.0.0\n"
                                "\n\nFatal Exception at 0x7f0000001234 (a_rather_long_library_name.so, base address: "
                                "0x7f0000000000):\n\n"
                                "A breakpoint was encountered.\n\n"
                                "The exception is continuable.\n\n"
                                "Context:\n\n"
                                "Module Addresses:\n"
                                "  nebo_slave : 00400000-00410000\n"
                                "a_rather_long_library_name.so : 7f0000000000-7f0000001235\n"
                                "   libc.so.6 : 7f0000002000-7f0000003000\n"
                                "\n");

    record.address = 0x7f0000001235;
    EXPECT_NE(reportOf(record).find("at 0x7f0000001235 (, base address: 0x00000000)"), std::string::npos);
}

TEST(buildCrashReportTest, RegisterSectionsInTheirOrderAndFormats)
{
    SCrashRecord record = faultAt(breakpoint);
    record.sections = sectionFloatingPoint | sectionInteger | sectionControl;
    record.floatingPoint = {
        0x37f, 0x20, 0xff, 0x401000, 0x7ffe0010, 0, {1.5, 0, -2.25e-300, 1e300, 123456789, -0.0, 6.02e23, 1}, 0};
    record.integer = {0xa, 0xb, 0xc, 0xd, 0xd1, 0x51, 8, 9, 10, 11, 12, 13, 14, 0xffffffffffffffff};
    record.control = {0x7ffe1000, 0x401000, 0x7ffe0ff0, 0x33, 0x2b, 0x10246};
    EXPECT_EQ(reportOf(record, "Context:\n\n"),
              "Context:\n\n"
              "Floating Point State:\n"
              "Control:      0x0000037f\n"
              "Status:       0x00000020\n"
              "Tag:          0x000000ff\n"
              "ErrorOffset:  0x00401000\n"
              "DataOffset:   0x7ffe0010\n"
              "DataSelector: 0x00000000\n"
              "Registers:\n"
              "  0: 1.500000e+00\n  1: 0.000000e+00\n  2: -2.250000e-300\n  3: 1.000000e+300\n"
              "  4: 1.234568e+08\n  5: -0.000000e+00\n  6: 6.020000e+23\n  7: 1.000000e+00\n"
              "Cr0NpxState: 0x00000000\n\n"
              "Integer registers:\nRAX: 0x0000000a\nRBX: 0x0000000b\nRCX: 0x0000000c\nRDX: 0x0000000d\n"
              "RDI: 0x000000d1\nRSI: 0x00000051\nR8:  0x00000008\nR9:  0x00000009\nR10: 0x0000000a\n"
              "R11: 0x0000000b\nR12: 0x0000000c\nR13: 0x0000000d\nR14: 0x0000000e\n"
              "R15: 0xffffffffffffffff\n\n"
              "Control registers:\nRBP:    0x7ffe1000\nRIP:    0x00401000\nRSP:    0x7ffe0ff0\n"
              "SegCS:  0x00000033\nSegSS:  0x0000002b\nEFlags: 0x00010246\n\n"
              "\n"
              // No stack copy: the walk cannot take a step.
              "Stack Dump:\n");
}

// Frames of 16 bytes or more, each holding the caller's frame and a return address.
class CFakeStack {
public:
    explicit CFakeStack(size_t size) : m_bytes(size) {}
    void setFrame(uint64_t frame, uint64_t callerFrame, uint64_t returnAddress)
    {
        std::memcpy(&m_bytes[frame - base], &callerFrame, 8);
        std::memcpy(&m_bytes[frame - base + 8], &returnAddress, 8);
    }
    void attach(SCrashRecord& record, uint64_t framePointer) const
    {
        record.sections |= sectionControl;
        record.control.rip = 0x5000;
        record.control.rbp = framePointer;
        record.stack = {base, m_bytes.data(), m_bytes.size()};
    }

private:
    static constexpr uint64_t base = 0x1000;
    std::vector<uint8_t> m_bytes;
};

TEST(buildCrashReportTest, StackWalkFollowsFramesUntilTheCopyEnds)
{
    CFakeStack stack(0x40);
    stack.setFrame(0x1000, 0x1010, 0xaaaa);
    stack.setFrame(0x1010, 0x1030, 0xbbbb);
    stack.setFrame(0x1030, 0x9000, 0xcccc);
    SCrashRecord record = faultAt(breakpoint);
    stack.attach(record, 0x1000);
    EXPECT_EQ(reportOf(record, "Stack Dump:"), "Stack Dump:\n"
                                               "Current Address: 00005000\n"
                                               "00001000: 10 10 00 00 00 00 00 00 aa aa 00 00 00 00 00 00 \n"
                                               "\n"
                                               "Current Address: 0000aaaa\n"
                                               "00001010: 30 10 00 00 00 00 00 00 bb bb 00 00 00 00 00 00 \n"
                                               "00001020: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 \n"
                                               "\n"
                                               "Current Address: 0000bbbb\n"
                                               "00001030: 00 90 00 00 00 00 00 00 cc cc 00 00 00 00 00 00 \n"
                                               "00001040: \n"
                                               "\n");

    // A frame pointer whose frame is not wholly in the copy takes no step.
    stack.attach(record, 0x1038);
    EXPECT_EQ(reportOf(record, "Stack Dump:"), "Stack Dump:\n");
}

TEST(buildCrashReportTest, PlatformWalkIsFollowedInsteadOfTheFramePointers)
{
    CFakeStack stack(0x40);
    // Frame pointers that would lead elsewhere: the platform's frames win.
    stack.setFrame(0x1000, 0x1030, 0xaaaa);
    SCrashRecord record = faultAt(breakpoint);
    stack.attach(record, 0x1000);
    record.frames[0] = {0x5000, 0x1000, 0x1008};
    record.frames[1] = {0x6000, 0x1008, 0x1018};
    record.frames[2] = {0x7000, 0x1038, 0x1050};
    record.frames[3] = {0x8000, 0x1000, 0x1008};
    record.frameCount = 4;
    EXPECT_EQ(reportOf(record, "Stack Dump:"), "Stack Dump:\n"
                                               "Current Address: 00005000\n"
                                               "00001000: 30 10 00 00 00 00 00 00 \n"
                                               "\n"
                                               "Current Address: 00006000\n"
                                               "00001008: aa aa 00 00 00 00 00 00 00 00 00 00 00 00 00 00 \n"
                                               "\n"
                                               "Current Address: 00007000\n"
                                               "00001038: 00 00 00 00 00 00 00 00 \n"
                                               "\n");
}

} // namespace
} // namespace crashhandler
