#include "host/CSourceClient.h"

#include "foundation/CParseError.h"
#include "host/CNEBError.h"
#include "slaveReplies.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace nebo::common {
namespace {

Bytes sizeReplies(int32_t width, int32_t height)
{
    return reply(wireInt32(width)) + reply(wireInt32(height));
}

Bytes rgbPicture(int32_t width, int32_t height)
{
    const Bytes pixels(size_t(width * height * 4));
    return present(wireInt32(rgbPictureType) + wirePicture(0.5, width, height, false, pixels));
}

struct CSourceClientTest : testing::Test, SSlavePipe {
    lumo::P<CSourceClient> source = lumo::make<CSourceClient>(input, output, lumo::make<lumo::CMemoryManager>(30));
};

// Against the default limits: 16384 on a side, 2^26 pixels in all.
TEST_F(CSourceClientTest, AnnouncedSizesBeyondTheLimitsAreRefused)
{
    const struct {
        int32_t width;
        int32_t height;
        bool bRefused;
    } cases[] = {
        {16384, 4096, false}, {4096, 16384, false}, {0, 0, false},  {16385, 16, true}, {16, 16385, true},
        {16384, 4097, true},  {-1, 10, true},       {10, -1, true}, {INT32_MIN, 1, true},
    };
    const Bytes sizeRequests = request("function", "getWidth") + request("function", "getHeight");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        output->clear();
        feed(sizeReplies(c.width, c.height) + reply(Bytes{1}));
        if (c.bRefused) {
            EXPECT_THROW(source->getNextPicture(), CNEBError);
            // A refused source is never asked for a picture.
            const Bytes requests = sent();
            ASSERT_LE(requests.size(), sizeRequests.size());
            EXPECT_TRUE(std::equal(requests.begin(), requests.end(), sizeRequests.begin()));
        } else {
            EXPECT_EQ(source->getNextPicture(), nullptr);
        }
        source->close();
    }
    feed(reply(wireInt32(16385)) + reply(wireInt32(-1)));
    EXPECT_THROW(source->getWidth(), CNEBError);
    EXPECT_THROW(source->getHeight(), CNEBError);
}

TEST_F(CSourceClientTest, APictureIsNeverLargerThanItsSourceAnnounced)
{
    const struct {
        int32_t width;
        int32_t height;
        bool bRefused;
    } cases[] = {
        {4, 3, false}, {3, 2, false}, {0, 0, false}, {5, 3, true}, {4, 4, true}, {23170, 23170, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        if (c.bRefused) {
            // The header alone: the pixels are never asked for.
            feed(sizeReplies(4, 3) + reply(Bytes{0} + wireInt32(rgbPictureType) + wireDouble(0.5) +
                                           wireInt32(c.width) + wireInt32(c.height) + Bytes{0} +
                                           wireInt32(int32_t(int64_t(c.width) * c.height * 4))));
            expectRefusedBeforeTheBody([this] { source->getNextPicture(); });
            EXPECT_TRUE(input->isEOF());
        } else {
            feed(sizeReplies(4, 3) + reply(rgbPicture(c.width, c.height)));
            const lumo::P<INEBPicture> picture = source->getNextPicture();
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->getWidth(), c.width);
        }
        source->open();
    }
}

// The size is asked for once after open and after setMaxSize, not per picture.
TEST_F(CSourceClientTest, TheAnnouncedSizeIsLearnedOnceAfterOpenAndSetMaxSize)
{
    const Bytes sizeRequests = request("function", "getWidth") + request("function", "getHeight");
    const Bytes pictureRequest = request("function", "getNextPicture");
    feed(sizeReplies(4, 3) + reply(rgbPicture(4, 3)) + reply(rgbPicture(4, 3)) + sizeReplies(2, 2) +
         reply(rgbPicture(2, 2)) + reply(Bytes{1}));
    source->getNextPicture();
    source->getNextPicture();
    EXPECT_EQ(sent(), sizeRequests + pictureRequest + pictureRequest);

    source->setMaxSize(2, 2);
    EXPECT_EQ(source->getNextPicture()->getWidth(), 2);
    EXPECT_EQ(source->getNextPicture(), nullptr);
    const Bytes setMaxSize = wireText("void") + wireText("setMaxSize") + wireText("nWidth") + wireInt32(2) +
                             wireText("nHeight") + wireInt32(2) + wireText("execute");
    EXPECT_EQ(sent(), setMaxSize + sizeRequests + pictureRequest + pictureRequest);
}

TEST_F(CSourceClientTest, RepliesHoldToTheLimitsSet)
{
    SSlaveLimits limits;
    limits.maxStringBytes = 8;
    limits.maxItemCount = 1;
    limits.maxAudioChunkBytes = 4096;
    source->setLimits(limits);
    // A refused chunk's samples are left off.
    const auto chunk = [](int32_t length, bool bWithSamples) {
        return reply(Bytes{0} + wireDouble(1.0) + wireInt32(length) +
                     (bWithSamples ? Bytes(size_t(length)) + wireInt32(123456) : Bytes{}));
    };
    enum Outcome { read, parseError, mediaError };
    const struct {
        const char* name;
        Bytes replies;
        std::function<void(CSourceClient&)> call;
        Outcome outcome;
    } cases[] = {
        {"log at the bound", reply(wireText("12345678")), [](CSourceClient& s) { s.getLog(); }, read},
        {"log above the bound", reply(wireInt32(9)), [](CSourceClient& s) { s.getLog(); }, parseError},
        {"name above the bound", reply(wireInt32(-1)), [](CSourceClient& s) { s.getPluginName(); }, parseError},
        {"chunk at the bound", chunk(4096, true), [](CSourceClient& s) { s.getNextAudioChunk(); }, read},
        {"chunk above the bound", chunk(4097, false), [](CSourceClient& s) { s.getNextAudioChunk(); }, mediaError},
        {"streams above the bound", reply(Bytes{0} + wireInt32(2)),
         [](CSourceClient& s) { s.getAudioStreamInfos(); }, parseError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        feed(c.replies);
        if (c.outcome == read) {
            EXPECT_NO_THROW(c.call(*source));
        } else {
            const lumo::P<lumo::CException> error = expectRefusedBeforeTheBody([&] { c.call(*source); });
            EXPECT_EQ(dynamic_cast<lumo::CParseError*>(error.get()) != nullptr, c.outcome == parseError);
        }
        EXPECT_TRUE(input->isEOF());
    }
}

} // namespace
} // namespace nebo::common
