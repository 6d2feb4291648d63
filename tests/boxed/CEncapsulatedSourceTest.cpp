// A master reads demo clips through sources that run in real slaves.
#include "host/master/CEncapsulatedSource.h"

#include "boxed/CBoxedFixture.h"
#include "expectError.h"
#include "foundation/castObject.h"
#include "host/CPluginHandler.h"
#include "host/master/CSlaveError.h"
#include "media/CNEBError.h"
#include "media/CPictureBase.h"
#include "platform/fileNameSuffixes.h"
#include "plugins/demo/CDemoClip.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using nebo::common::CEncapsulatedSource;
using nebo::common::CNEBError;
using nebo::common::INEBPicture;
using nebo::test::countSharedPictureBuffers;
using nebo::test::descriptionOf;
using nebo::test::writeFaultEnd;

const char* const slaveErrorPrefix = "CNEBPluginBoxed::checkForSlaveError: Error in nebo_slave:\n\n";

// The description of the CNEBError that `call` throws; "(none)" when it throws none.
std::string nebErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const CNEBError& error) {
        return descriptionOf(error);
    }
    return "(none)";
}

class CEncapsulatedSourceTest : public nebo::test::CBoxedFixture {
protected:
    P<CEncapsulatedSource> makeSource(const std::string& query)
    {
        m_clip = nebo::demo::CDemoClip::fromQuery(String::fromUTF8(query));
        return make<CEncapsulatedSource>(m_context, String("nebo_demo"), *demoURI(query), 3, nullptr);
    }

    // Expects picture `index` of the clip, its stored bytes too, byte for byte as the layout holds them.
    void expectPicture(const P<INEBPicture>& picture, int64_t index)
    {
        ASSERT_TRUE(picture) << index;
        EXPECT_DOUBLE_EQ(picture->getTimestamp(), m_clip.getPictureTime(index));
        const P<nebo::common::CPictureBase> got = lumo::castObject<nebo::common::CPictureBase>(picture);
        const P<nebo::common::CPictureBase> wanted =
            lumo::castObject<nebo::common::CPictureBase>(m_clip.makePicture(index, m_context->getMemoryManager()));
        EXPECT_TRUE(got->getType() == wanted->getType() && got->getWidth() == wanted->getWidth() &&
                    got->getHeight() == wanted->getHeight() && got->getPixelBytes() == wanted->getPixelBytes() &&
                    std::memcmp(got->getPixelData(), wanted->getPixelData(), size_t(wanted->getPixelBytes())) == 0)
            << index;
    }

    // Expects the next chunk to be chunk `index` of the clip, byte for byte.
    void expectChunk(CEncapsulatedSource& source, int64_t index)
    {
        const P<nebo::audio::IAudioChunk> chunk = source.getNextAudioChunk();
        ASSERT_TRUE(chunk) << index;
        const P<nebo::audio::IAudioChunk> expected = m_clip.makeChunk(index, m_context->getMemoryManager());
        EXPECT_DOUBLE_EQ(chunk->getTimestamp(), expected->getTimestamp()) << index;
        ASSERT_EQ(chunk->getDataSize(), expected->getDataSize()) << index;
        EXPECT_EQ(std::memcmp(chunk->getData(), expected->getData(), size_t(expected->getDataSize())), 0) << index;
    }

    // Short, for the hanging slaves; still far above any real answer.
    void resumeAfterFailures(int32_t maxRestarts)
    {
        m_context->setResumeAfterSlaveFailure(true);
        setLimits(1500, maxRestarts);
    }

    static void openAndRead(CEncapsulatedSource& source)
    {
        source.open();
        source.getNextPicture();
    }

    nebo::demo::CDemoClip m_clip;
};

// Held pictures keep their buffers; once all are held the slave uses the pipe. Released, the buffers serve again. A
// second open keeps the source (the slave serves only its first one); reopened after a close, it starts afresh.
TEST_F(CEncapsulatedSourceTest, DeliversTheClipInOrderEvenToAMasterThatHoldsEveryPicture)
{
    for (const bool bPrefetch : {true, false}) {
        SCOPED_TRACE(bPrefetch ? "prefetching" : "straight");
        m_context->setPrefetch(bPrefetch);
        m_log->clearLog();
        P<CEncapsulatedSource> source = makeSource("w=64&h=32&fmt=yv12&frames=20&fps=25");
        source->setMaxSize(640, 480);
        EXPECT_EQ(logText().find("maximum picture size"), std::string::npos);
        source->open();
        // The slave's log reaches the master's log.
        EXPECT_NE(logText().find("nebo_demo: maximum picture size 640x480"), std::string::npos) << logText();
        EXPECT_TRUE(source->isOpened());
        EXPECT_EQ(source->getWidth(), 64);
        EXPECT_EQ(source->getHeight(), 32);
        EXPECT_EQ(source->getFrameRateNum(), 25);
        EXPECT_EQ(source->getSampleRate(), 48000);
        std::vector<P<INEBPicture>> held;
        for (int64_t index = 0; index < 19; ++index) {
            held.push_back(source->getNextPicture());
            expectPicture(held.back(), index);
        }
        EXPECT_DOUBLE_EQ(source->peekNextPictureTimestamp(), m_clip.getPictureTime(19));
        // Prefetching has read the last picture from the slave by now; reading straight has not.
        EXPECT_EQ(source->isEOF(), bPrefetch);
        expectPicture(source->getNextPicture(), 19);
        EXPECT_FALSE(source->getNextPicture());
        held.clear();
        source->skipToTime(0.0);
        for (int64_t index = 0; index < 20; ++index) {
            if (index == 10)
                source->open();
            expectPicture(source->getNextPicture(), index);
        }

        source->close();
        EXPECT_FALSE(source->isOpened());
        EXPECT_EQ(nebErrorOf([&] { source->getDuration(); }),
                  "source is not opened \"file:///clips/test.demo?w=64&h=32&fmt=yv12&frames=20&fps=25\"");
        source->open();
        expectPicture(source->getNextPicture(), 0);
        source->close();
    }
    // Clean closes leave no error file.
    EXPECT_EQ(errorFiles(), std::vector<std::string>());
}

// The pipe first, so that a ring left behind by the shared runs would show.
TEST_F(CEncapsulatedSourceTest, SharedBuffersAndThePipeDeliverTheSameBytesInEveryLayoutAndOddSizes)
{
    for (const std::string setting : {"off", "on"}) {
        for (const std::string format : {"rgb", "yuy2", "nv12", "yv12"}) {
            // The YUV layouts take even sides only: sizes off every alignment.
            const bool bRGB = format == "rgb";
            for (const std::string size :
                 {"w=64&h=48", bRGB ? "w=33&h=17" : "w=34&h=18", bRGB ? "w=1&h=1" : "w=2&h=2"}) {
                SCOPED_TRACE(setting + " " + format + " " + size);
                const lumo::CScopedEnvironment shared("NEBO_SHARED_PICTURES", setting.c_str());
                const P<CEncapsulatedSource> source = makeSource(size + "&fmt=" + format + "&frames=4");
                source->open();
                for (int64_t i = 0; i < 4; ++i)
                    expectPicture(source->getNextPicture(), i);
                EXPECT_EQ(source->getNextPicture(), nullptr);
                EXPECT_EQ(countSharedPictureBuffers() > 0, setting == "on" && nebo::test::arePicturesShared());
            }
        }
    }
    EXPECT_EQ(countSharedPictureBuffers(), 0);
}

TEST_F(CEncapsulatedSourceTest, NoPictureDecodedBeforeASkipComesAfterIt)
{
    P<CEncapsulatedSource> source = makeSource("w=16&h=16&frames=100&fps=10");
    source->open();
    expectPicture(source->getNextPicture(), 0);
    for (const double seconds : {5.0, 2.0, 9.0, 0.0}) {
        source->skipToTime(seconds);
        const int64_t first = m_clip.getFirstPictureAt(seconds);
        expectPicture(source->getNextPicture(), first);
        expectPicture(source->getNextPicture(), first + 1);
    }
}

// A picture slower than a fixed wait but within the slave's time limit still arrives when prefetched.
TEST_F(CEncapsulatedSourceTest, APrefetchedPictureMayTakeAsLongAsTheTimeLimitAllows)
{
    ASSERT_TRUE(m_context->getPrefetch());
    setLimits(8000);
    P<CEncapsulatedSource> source = makeSource("w=16&h=16&frames=2&delay=5300");
    source->open();
    expectPicture(source->getNextPicture(), 0);
    // The thread is inside the next slow picture now: close() ends the slave.
    source->close();
    EXPECT_FALSE(source->isOpened());
}

// Prefetched or not, a picture that never comes ends the slave with its hang report.
TEST_F(CEncapsulatedSourceTest, CallThatHangsEndsTheSlaveWithItsHangReport)
{
    setLimits(1500);
    const std::string limitLine =
        "CSlaveHandler: nebo_slave did not answer \"getNextPicture\" within 1500 ms and was ended";
    for (const bool bPrefetch : {false, true}) {
        SCOPED_TRACE(bPrefetch);
        m_context->setPrefetch(bPrefetch);
        P<CEncapsulatedSource> source = makeSource("w=16&h=16&fail=hang");
        lumo::expectThrow<nebo::common::CSlaveError>(
            [&] { openAndRead(*source); },
            [&](const auto& error) {
                const std::filesystem::path file(error.getErrorFilePath().toUTF8());
                const std::string report = m_temp.get(file.lexically_relative(m_temp.pathOf("")).generic_string());
                EXPECT_EQ(descriptionOf(error), limitLine + "\n\n" + report);
                // A few lines that name the plugin it waits in: the serving thread's stack passes through the plugin.
                const std::string summary = error.getSummary().toUTF8();
                EXPECT_EQ(summary.rfind(limitLine + "\nHang Report\nFrames: 0x", 0), 0u) << summary;
                EXPECT_NE(summary.find(std::string(" (nebo_demo") + lumo::getModuleSuffix() + ")"), std::string::npos)
                    << summary;
            });
        EXPECT_THROW(source->getNextPicture(), lumo::CException);
    }
}

TEST_F(CEncapsulatedSourceTest, HangingSlaveNeverHangsThePrefetchingTestOpen)
{
    // The test-open's isOpened and the buffering thread, in a picture that never comes, wait only the time limit.
    ASSERT_TRUE(m_context->getPrefetch());
    setLimits(300);
    m_context->addPluginLibrary(String("nebo_demo"));
    const P<nebo::common::CPluginHandler> handler = make<nebo::common::CPluginHandler>(m_context, true);
    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE(run);
        // Whether the test-open sees the source open depends on which thread takes it first; none waits for ever.
        P<nebo::common::ISource> source = handler->tryCreateSource(*demoURI("w=16&h=16&fail=hang"), 0, 0, 0, true);
        if (const P<nebo::common::IVideoSource> pictures =
                lumo::castObject<nebo::common::IVideoSource>(source, false)) {
            EXPECT_THROW(pictures->getNextPicture(), lumo::CException);
        }
    }
}

TEST_F(CEncapsulatedSourceTest, EveryWayOfFailingEndsInTheSlavesError)
{
    const struct {
        const char* query;
        // The whole description when the slave leaves a text, else empty.
        const char* slaveText;
        // The exit code when it ends without a text.
        int32_t exitCode;
    } cases[] = {
        {"fail=throw", "lumo::CException\nType: Error\ntext: demo failure", 0},
        {"fail=stdthrow", "std::exception\nErrorString: demo std failure", 0},
        {"fail=exit", "", 3},
        // The master reads every fault's report alike; the slave's tests tell the faults apart.
        {"fail=write16", "", writeFaultEnd().exitCode},
        // The slave opens the source to try it while it makes it.
        {"fail=exit&failat=open", "", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        P<CEncapsulatedSource> source = makeSource(std::string("w=16&h=16&") + c.query);
        const std::string description = nebErrorOf([&] { openAndRead(*source); });
        const std::string fileText = errorFileText();
        if (*c.slaveText) {
            EXPECT_EQ(description, slaveErrorPrefix + std::string(c.slaveText));
            EXPECT_EQ(fileText, c.slaveText);
        } else if (!fileText.empty()) {
            // A crash report.
            EXPECT_EQ(description, slaveErrorPrefix + fileText);
        } else {
            EXPECT_EQ(description, "CNEBPluginBoxed::checkForSlaveFailure: nebo_slave ended with exit code " +
                                       std::to_string(c.exitCode) + " and left no error text");
        }
        // Closing reports a text the slave left once more, and releases all.
        const std::string onClose = nebErrorOf([&] { source->close(); });
        if (onClose != "(none)") {
            EXPECT_EQ(onClose, slaveErrorPrefix + errorFileText());
        }
        EXPECT_FALSE(source->isOpened());
        clearErrorFiles();
    }
}

// A slave that dies at a picture costs that picture only: a new slave goes on at the next one, whatever ended the first
// and whether pictures are prefetched or not.
TEST_F(CEncapsulatedSourceTest, NewSlaveGoesOnAfterThePictureThatFailed)
{
    resumeAfterFailures(3);
    const struct {
        const char* fault;
        int64_t failAt;
        std::string firstEnd;
    } cases[] = {
        {"write16", 20, writeFaultEnd().cause},
        {"exit", 20, "exited with code 3"},
        {"hang", 20, "ended by the master"},
        // No picture before it to count from: the new slave starts half a picture past where the source was put.
        {"exit", 0, "exited with code 3"},
    };
    for (const bool bPrefetch : {false, true}) {
        m_context->setPrefetch(bPrefetch);
        for (const auto& [fault, failAt, firstEnd] : cases) {
            SCOPED_TRACE(std::string(fault) + " at " + std::to_string(failAt) + (bPrefetch ? ", prefetching" : ""));
            P<CEncapsulatedSource> source =
                makeSource("w=16&h=16&frames=25&failat=" + std::to_string(failAt) + "&fail=" + fault);
            source->open();
            for (int64_t index = 0; index < 25; ++index) {
                if (index != failAt)
                    expectPicture(source->getNextPicture(), index);
            }
            EXPECT_FALSE(source->getNextPicture());
            source->close();
            EXPECT_EQ(source->getRestartCauses().size(), 1u);
            std::vector<std::string> causes;
            for (const lumo::SProcessEnd& end : source->getSlaveEnds())
                causes.push_back(end.cause.toUTF8());
            EXPECT_EQ(causes, std::vector<std::string>({firstEnd, "exited with code 0"}));
        }
    }
    // The master logs each restart with its cause, and every slave's end with what it cost.
    EXPECT_NE(logText().find(" after the slave failed: Fatal Exception at 0x"), std::string::npos) << logText();
    EXPECT_NE(logText().find(" ms CPU, " + writeFaultEnd().cause + "</textlog>"), std::string::npos) << logText();
}

TEST_F(CEncapsulatedSourceTest, SourceThatKeepsFailingEndsWithTheLastFailure)
{
    resumeAfterFailures(2);
    P<CEncapsulatedSource> source = makeSource("w=16&h=16&fail=exit");
    source->open();
    const std::string exitText =
        "CNEBPluginBoxed::checkForSlaveFailure: nebo_slave ended with exit code 3 and left no error text";
    EXPECT_EQ(nebErrorOf([&] { source->getNextPicture(); }), exitText);
    // Each restart keeps what ended the slave before it.
    EXPECT_EQ(source->getRestartCauses(), std::vector<String>(2, String::fromUTF8(exitText)));
    source->close();
    EXPECT_EQ(source->getSlaveEnds().size(), 3u);
}

// Sound too, and pictures go on from that point: a slave started before the failed chunk would meet it again.
TEST_F(CEncapsulatedSourceTest, SoundGoesOnAfterTheChunkThatFailedAndPicturesFollow)
{
    resumeAfterFailures(3);
    // Picture 20, at 0.8 s, lies in chunk 6 (0.768 s to 0.896 s at 8000 Hz).
    P<CEncapsulatedSource> source = makeSource("w=16&h=16&frames=30&rate=8000&fail=exit&failat=20");
    source->open();
    for (int64_t index = 0; index < 10; ++index)
        expectPicture(source->getNextPicture(), index);
    for (int64_t index = 0; index < 6; ++index)
        expectChunk(*source, index);
    for (int64_t index = 7; index < 10; ++index)
        expectChunk(*source, index);
    // Resumed at 0.832 s: picture 21 is the first not before.
    for (int64_t index = 21; index < 25; ++index)
        expectPicture(source->getNextPicture(), index);
    EXPECT_EQ(source->getRestartCauses().size(), 1u);
    source->close();
}

TEST_F(CEncapsulatedSourceTest, RequestThePluginRefusesStartsNoSource)
{
    const P<CEncapsulatedSource> refused =
        make<CEncapsulatedSource>(m_context, String("nebo_demo"), *demoURI("w=wide"), 3, nullptr);
    lumo::expectThrow<nebo::common::CSlaveError>(
        [&] { refused->open(); },
        [&](const auto& error) {
            EXPECT_EQ(descriptionOf(error), "could not create source \"file:///clips/test.demo?w=wide\" in slave");
            // Why, in the plugin's words from the slave's log.
            EXPECT_EQ(error.getSummary().toUTF8(),
                      "nebo_demo: the value \"wide\" of \"w\" is not valid (file:///clips/test.demo?w=wide)");
        });
    EXPECT_FALSE(refused->isOpened());
}

} // namespace
