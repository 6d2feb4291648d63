#include "plugins/avlib/CLibraryLogForwarder.h"

#include "host/common/CLogManager.h"
#include "support/CStandardErrorCapture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {

using lumo::make;
using lumo::P;
using nebo::avlib::CLibraryLogForwarder;
using nebo::common::CLogManager;

P<CLogManager> makeLog(int32_t level)
{
    P<CLogManager> log = make<CLogManager>(lumo::String("slavelog"), [] { return std::string(); });
    log->setLogLevel(level);
    return log;
}

std::string textOf(CLogManager& log) { return log.getLogText().toUTF8(); }

// The level of the entry whose text is exactly `text`; empty when there is none.
std::string levelOfEntry(CLogManager& log, const std::string& text)
{
    const std::string all = textOf(log);
    const size_t at = all.find("<textlog>" + text + "</textlog>");
    if (at == std::string::npos)
        return "";
    const size_t level = all.rfind("level=\"", at) + 7;
    return all.substr(level, all.find('"', level) - level);
}

TEST(CLibraryLogForwarderTest, EachSeverityLandsAtItsLevel)
{
    const std::pair<int, const char*> cases[] = {{AV_LOG_PANIC, "error"},     {AV_LOG_ERROR, "error"},
                                                 {AV_LOG_WARNING, "warning"}, {AV_LOG_INFO, "info"},
                                                 {AV_LOG_VERBOSE, "debug"},   {AV_LOG_DEBUG, "trace"}};
    const P<CLogManager> log = makeLog(4);
    const CLibraryLogForwarder forwarder(log);
    EXPECT_EQ(av_log_get_level(), AV_LOG_TRACE);
    for (const auto& [libraryLevel, logLevel] : cases) {
        const std::string text = "message at " + std::to_string(libraryLevel);
        av_log(nullptr, libraryLevel, "%s\n", text.c_str());
        EXPECT_EQ(levelOfEntry(*log, text), logLevel) << textOf(*log);
    }
}

TEST(CLibraryLogForwarderTest, MessagesTheLogDoesNotKeepAreFilteredInTheLibraryToo)
{
    const P<CLogManager> log = makeLog(1);
    const CLibraryLogForwarder forwarder(log);
    EXPECT_EQ(av_log_get_level(), AV_LOG_WARNING);
    av_log(nullptr, AV_LOG_INFO, "kept back\n");
    av_log(nullptr, AV_LOG_WARNING, "kept\n");
    EXPECT_EQ(levelOfEntry(*log, "kept"), "warning");
    EXPECT_EQ(textOf(*log).find("kept back"), std::string::npos);
    // The log's own level counts when it is lowered later.
    log->setLogLevel(0);
    av_log(nullptr, AV_LOG_WARNING, "late warning\n");
    EXPECT_EQ(textOf(*log).find("late warning"), std::string::npos);
}

TEST(CLibraryLogForwarderTest, ControlCharactersAndTrailingLineFeedsDoNotReachTheLog)
{
    const P<CLogManager> log = makeLog(4);
    const CLibraryLogForwarder forwarder(log);
    av_log(nullptr, AV_LOG_ERROR,
           "a\x01"
           "b\tc\x1b[0m\x7f\n\n");
    EXPECT_EQ(levelOfEntry(*log, "a?b\tc?[0m?"), "error") << textOf(*log);
    // A line feed alone is no entry.
    log->clearLog();
    av_log(nullptr, AV_LOG_ERROR, "\n");
    EXPECT_EQ(textOf(*log), "");
}

TEST(CLibraryLogForwarderTest, NewestForwarderOwnsTheMessagesAndNothingReachesTheConsoleAfterIt)
{
    const P<CLogManager> older = makeLog(4), newer = makeLog(4);
    nebo::test::CStandardErrorCapture standardError;
    auto olderForwarder = std::make_unique<CLibraryLogForwarder>(older);
    {
        const CLibraryLogForwarder newerForwarder(newer);
        // The older one's end takes nothing from the newer one.
        olderForwarder.reset();
        av_log(nullptr, AV_LOG_ERROR, "to the newer\n");
    }
    av_log(nullptr, AV_LOG_ERROR, "after both\n");
    av_log(nullptr, AV_LOG_PANIC, "panic after both\n");
    EXPECT_EQ(standardError.text(), "");
    EXPECT_EQ(levelOfEntry(*newer, "to the newer"), "error");
    EXPECT_EQ(textOf(*newer).find("after both"), std::string::npos) << textOf(*newer);
    EXPECT_EQ(textOf(*older), "");
}

TEST(CLibraryLogForwarderTest, MessagesFromManyThreadsAllArrive)
{
    const P<CLogManager> log = makeLog(4);
    const CLibraryLogForwarder forwarder(log);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 100; ++i)
                av_log(nullptr, AV_LOG_WARNING, "thread %d message %d\n", t, i);
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(levelOfEntry(*log, "thread " + std::to_string(t) + " message " + std::to_string(i)), "warning");
}

} // namespace
