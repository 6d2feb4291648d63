#include "crashhandler/CHangReport.h"

#include "crashhandler/CReportSinkString.h"

#include <gtest/gtest.h>

#include <string>

namespace crashhandler {
namespace {

SModuleList twoModules()
{
    SModuleList modules;
    const SModule listed[] = {{"nebo_slave", 0x555500000000, 0x10000}, {"nebo_demo.so", 0x7f0000000000, 0x2000}};
    for (const SModule& module : listed)
        modules.modules[modules.moduleCount++] = module;
    return modules;
}

TEST(CHangReportTest, ServingThreadFirstThenTheOthersAsTheyFared)
{
    const SModuleList modules = twoModules();
    // Registers but no stack copy: the walk is buildCrashReportTest's and, on real threads,
    // hangReportHandlerTest's, which also sees that each thread's own context is written.
    SThreadContext stopped;
    stopped.sections = sectionControl;
    stopped.control = {0x1000, 0x7f0000000100, 0xff8, 0x33, 0x2b, 0x246};
    test::CReportSinkString sink;
    {
        CHangReport report(sink, "", "0.0.0", modules);
        report.addThread({4711, "nebo_slave", true, EThreadOutcome::recorded, &stopped});
        report.addThread({4712, "decoder", false, EThreadOutcome::recorded, &stopped});
        report.addThread({4713, "", false, EThreadOutcome::silent, nullptr});
        report.addThread({4714, "gone", false, EThreadOutcome::ended, nullptr});
        report.addThread({4715, "late", false, EThreadOutcome::notAsked, nullptr});
        report.finish(3);
    }
    const std::string recorded = "Context:\n\n"
                                 "Control registers:\nRBP:    0x00001000\nRIP:    0x7f0000000100\nRSP:    0x00000ff8\n"
                                 "SegCS:  0x00000033\nSegSS:  0x0000002b\nEFlags: 0x00000246\n\n"
                                 "Stack Dump:\n";
    EXPECT_EQ(sink.m_text, " 0.0.0\n"
                           "\n\nHang Report\n\n"
                           "The slave did not answer its master in time. The stacks of its threads follow, the one "
                           "serving the master's calls first.\n\n"
                           "Module Addresses:\n"
                           "  nebo_slave : 555500000000-555500010000\n"
                           "nebo_demo.so : 7f0000000000-7f0000002000\n"
                           "\n"
                           "Thread 4711 \"nebo_slave\", serving the master's calls:\n\n" +
                               recorded + "Thread 4712 \"decoder\":\n\n" + recorded +
                               "Thread 4713 \"\": did not answer.\n\n"
                               "Thread 4714 \"gone\": ended before it was asked.\n\n"
                               "Thread 4715 \"late\": not asked, the report's time ran out.\n\n"
                               "3 more threads left out.\n");
}

TEST(CHangReportTest, EachPartReachesTheSinkAsItIsAdded)
{
    const SModuleList modules = twoModules();
    test::CReportSinkString sink;
    CHangReport report(sink, "", "0.0.0", modules);
    const std::string head = sink.m_text;
    EXPECT_NE(head.find("nebo_demo.so : 7f0000000000-7f0000002000\n\n"), std::string::npos) << head;

    report.addThread({1, "main", true, EThreadOutcome::silent, nullptr});
    EXPECT_EQ(sink.m_text, head + "Thread 1 \"main\", serving the master's calls: did not answer.\n\n");
    report.finish(0);
    EXPECT_EQ(sink.m_text, head + "Thread 1 \"main\", serving the master's calls: did not answer.\n\n");
}

} // namespace
} // namespace crashhandler
