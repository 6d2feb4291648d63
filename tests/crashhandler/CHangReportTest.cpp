#include "crashhandler/CHangReport.h"

#include "crashhandler/CReportSinkString.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace crashhandler {
namespace {

// Each part reaches the sink whole before the call that adds it returns: the head at once, the serving thread first,
// then the others as they fared, then how many were left out.
TEST(CHangReportTest, EachPartReachesTheSinkAsItIsAdded)
{
    SModuleList modules;
    modules.modules[modules.moduleCount++] = {"nebo_slave", 0x555500000000, 0x10000};
    modules.modules[modules.moduleCount++] = {"nebo_demo.so", 0x7f0000000000, 0x2000};
    // Registers but no stack copy: the walk is buildCrashReportTest's and, on real threads,
    // hangReportHandlerTest's, which also sees that each thread's own context is written.
    SThreadContext stopped;
    stopped.sections = sectionControl;
    stopped.control = {0x1000, 0x7f0000000100, 0xff8, 0x33, 0x2b, 0x246};
    const std::string recorded = "Context:\n\n"
                                 "Control registers:\nRBP:    0x00001000\nRIP:    0x7f0000000100\nRSP:    0x00000ff8\n"
                                 "SegCS:  0x00000033\nSegSS:  0x0000002b\nEFlags: 0x00000246\n\n"
                                 "Stack Dump:\n";
    const std::pair<SHangThread, std::string> threads[] = {
        {{4711, "nebo_slave", true, EThreadOutcome::recorded, &stopped},
         "Thread 4711 \"nebo_slave\", serving the master's calls:\n\n" + recorded},
        {{4712, "decoder", false, EThreadOutcome::recorded, &stopped}, "Thread 4712 \"decoder\":\n\n" + recorded},
        {{4713, "", false, EThreadOutcome::silent, nullptr}, "Thread 4713 \"\": did not answer.\n\n"},
        {{4714, "gone", false, EThreadOutcome::ended, nullptr}, "Thread 4714 \"gone\": ended before it was asked.\n\n"},
        {{4715, "late", false, EThreadOutcome::notAsked, nullptr},
         "Thread 4715 \"late\": not asked, the report's time ran out.\n\n"},
    };
    test::CReportSinkString sink;
    CHangReport report(sink, "", "0.0.0", modules);
    const std::string head = " 0.0.0\n"
                             "\n\nHang Report\n\n"
                             "The slave did not answer its master in time. The stacks of its threads follow, the one "
                             "serving the master's calls first.\n\n"
                             "Module Addresses:\n"
                             "  nebo_slave : 555500000000-555500010000\n"
                             "nebo_demo.so : 7f0000000000-7f0000002000\n"
                             "\n";
    EXPECT_EQ(sink.m_text, head);
    std::string expected = head;
    for (const auto& [thread, part] : threads) {
        report.addThread(thread);
        EXPECT_EQ(sink.m_text, expected += part);
    }
    report.finish(3);
    EXPECT_EQ(sink.m_text, expected + "3 more threads left out.\n");

    // With none left out, nothing closes the report.
    test::CReportSinkString none;
    CHangReport(none, "", "0.0.0", modules).finish(0);
    EXPECT_EQ(none.m_text, head);
}

} // namespace
} // namespace crashhandler
