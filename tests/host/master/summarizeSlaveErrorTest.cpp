#include "host/master/summarizeSlaveError.h"

#include <gtest/gtest.h>

namespace {

using nebo::common::summarizeSlaveError;

// A report's first lines and its module section, as far as the summary reads them.
std::string reportHead(const std::string& kind)
{
    return " 0.0.0\n\n\n" + kind +
           "\n\nModule Addresses:\n"
           "  nebo_slave : 556b800dd000-556b800ec000\n"
           "nebo_demo.so : 7f63b4492000-7f63b44a4000\n"
           "  liblumo.so : 7f63b45cf000-7f63b46f7000\n"
           "   libc.so.6 : 7f63b4000000-7f63b4200000\n"
           "\n";
}

// A frame per address, each with a line of the stack that the summary must pass over.
std::string frames(std::initializer_list<const char*> addresses)
{
    std::string text;
    for (const char* address : addresses)
        text += std::string("Current Address: ") + address + "\n7fff9b76ba20: b0 ba 76 9b \n\n";
    return text;
}

// A thread's section with a frame per address.
std::string threadSection(const std::string& heading, std::initializer_list<const char*> addresses)
{
    return heading + ":\n\nContext:\n\nControl registers:\nRIP:    0x0\n\nStack Dump:\n" + frames(addresses);
}

// A crash report gives its exception, explanation and first frames with their modules; a hang report the serving
// thread's innermost frame of each module; other texts their first lines, cut.
TEST(summarizeSlaveErrorTest, SummarizesReportsAndOtherTexts)
{
    const std::string crashReport =
        reportHead("Fatal Exception at 0x7f63b449d8f3 (nebo_demo.so, base address: 0x7f63b4492000):\n\n"
                   "The thread tried to read from or write to a virtual address for which it does not "
                   "have the appropriate access.\n\n"
                   "Additional Information:\nAttempted to read/write at 0x00000000\n\n"
                   "Integer registers:\nRAX: 0x00000000") +
        frames({"7f63b449d8f3", "7f63b46885fa", "556b800e15ea", "12345678", "556b800e1772", "556b800e0f5f"});
    const std::string hangHead = reportHead("Hang Report\n\nThe slave did not answer its master in time.");
    const std::string serving = "Thread 4711 \"nebo_slave\", serving the master's calls";
    const std::string worker = threadSection("Thread 4712 \"worker\"", {"556b800e15ea", "556b800e1772"});
    const struct {
        std::string text, summary;
    } cases[] = {
        {crashReport,
         "Fatal Exception at 0x7f63b449d8f3 (nebo_demo.so, base address: 0x7f63b4492000)\n"
         "The thread tried to read from or write to a virtual address for which it does not have the "
         "appropriate access.\n"
         "Attempted to read/write at 0x00000000\n"
         "Frames: 0x7f63b449d8f3 (nebo_demo.so), 0x7f63b46885fa (liblumo.so), 0x556b800e15ea (nebo_slave), "
         "0x12345678"},
        // Waiting deep in the system's library, the plugin still shows.
        {hangHead +
             threadSection(serving, {"7f63b4001000", "7f63b4001100", "7f63b4001200", "7f63b449d8f3", "7f63b449e000",
                                     "12345678", "556b800e0f5f", "556b800e1000"}) +
             worker,
         "Hang Report\nFrames: 0x7f63b4001000 (libc.so.6), 0x7f63b449d8f3 (nebo_demo.so), 0x12345678, "
         "0x556b800e0f5f (nebo_slave)"},
        // Frames outside every module stand for themselves.
        {hangHead + threadSection(serving, {"7f63b4001000", "12345678", "12345679", "7f63b449d8f3", "556b800e0f5f"}),
         "Hang Report\nFrames: 0x7f63b4001000 (libc.so.6), 0x12345678, 0x12345679, 0x7f63b449d8f3 (nebo_demo.so), "
         "..."},
        // A serving thread without frames: the next thread's are another story.
        {hangHead + serving + ": did not answer.\n\n" + worker,
         "Hang Report\nThread 4711 \"nebo_slave\", serving the master's calls: did not answer."},
        // Cut short: no thread yet, or no serving thread at all.
        {hangHead, "Hang Report"},
        {hangHead + worker, "Hang Report"},
        {"lumo::CException\nType: Error\ntext: gone", "lumo::CException\nType: Error\ntext: gone"},
        {"a\n\nb\nc\nd\ne\nf", "a\nb\nc\nd\n..."},
        {std::string(1000, 'x'), std::string(160, 'x') + "..."},
        {"", ""},
        {std::string("text\n\0\0\0\n \t\nmore", 16), "text\nmore"},
        // Binary bytes are not shown as escapes, however many there are.
        {"why\n" + std::string(3000, '\x01') + "\nafter", "why\n(bytes that are not text follow)"},
        {std::string("\177ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0", 16), "(bytes that are not text follow)"},
        {"tabs\tare\ttext", "tabs\tare\ttext"},
        // A report cut before its sections still says what it can.
        {"Fatal Exception at 0x10 (?, base address: 0x0):", "Fatal Exception at 0x10 (?, base address: 0x0)"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(summarizeSlaveError(test.text), test.summary) << test.text.substr(0, 40);
}

} // namespace
