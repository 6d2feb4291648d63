#include "host/master/CSourceClient.h"

#include "foundation/CParseError.h"
#include "foundation/castObject.h"
#include "host/wire/CSharedPicture.h"
#include "media/CNEBError.h"
#include "media/CPictureBase.h"
#include "platform/ISharedMemoryChannel.h"
#include "slaveReplies.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

namespace nebo::common {
namespace {

Bytes sizeReplies(int32_t width, int32_t height) { return reply(wireInt32(width)) + reply(wireInt32(height)); }

const Bytes sizeRequests = request("function", "getWidth") + request("function", "getHeight");
const Bytes pictureRequest = request("function", "getNextPicture");

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
    // clang-format off
    const struct { int32_t width, height; bool bRefused; } cases[] = {
        {16384, 4096, false}, {4096, 16384, false}, {0, 0, false}, {16385, 16, true}, {16, 16385, true},
        {16384, 4097, true}, {-1, 10, true}, {10, -1, true}, {INT32_MIN, 1, true},
    };
    // clang-format on
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
}

// Facts are asked for by name alone; a peer that does not know the name is never asked again, one that answers is.
TEST_F(CSourceClientTest, FactsAreAskedUntilThePeerAnswersNotFound)
{
    const Bytes factsRequest = request("function", "getMediumFacts");
    SMediumFacts told;
    told.container = lumo::String("demo");
    SWire body;
    lumo::make<CMediumFacts>(told)->write(*body.out);
    feed(reply(present(body.written())));
    const lumo::P<CMediumFacts> facts = source->getMediumFacts();
    ASSERT_NE(facts, nullptr);
    EXPECT_EQ(facts->get().container, lumo::String("demo"));
    EXPECT_EQ(sent(), factsRequest);

    feed(wireText("notfound"));
    EXPECT_EQ(source->getMediumFacts(), nullptr);
    EXPECT_EQ(sent(), factsRequest);
    EXPECT_EQ(source->getMediumFacts(), nullptr);
    EXPECT_TRUE(sent().empty());
}

// A picture is held to the size answered since the last open: sides the caller asked for are not asked again.
TEST_F(CSourceClientTest, APictureAsksOnlyForSidesNotAnsweredSinceOpen)
{
    const Bytes width = request("function", "getWidth");
    const Bytes height = request("function", "getHeight");
    const Bytes open = request("void", "open");
    // clang-format off
    const struct { const char* name; std::function<void(CSourceClient&)> before; Bytes requests; } cases[] = {
        {"nothing asked", [](CSourceClient&) {}, sizeRequests},
        {"width asked", [](CSourceClient& s) { s.getWidth(); }, width + height},
        {"height asked", [](CSourceClient& s) { s.getHeight(); }, height + width},
        {"both asked", [](CSourceClient& s) { s.getHeight(); s.getWidth(); }, height + width},
        {"asked before open", [](CSourceClient& s) { s.getWidth(); s.getHeight(); s.open(); },
         sizeRequests + open + sizeRequests},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        source->close();
        output->clear();
        feed(sizeReplies(4, 3) + sizeReplies(4, 3) + reply(Bytes{1}));
        c.before(*source);
        EXPECT_EQ(source->getNextPicture(), nullptr);
        EXPECT_EQ(sent(), c.requests + pictureRequest);
    }
}

TEST_F(CSourceClientTest, APictureIsNeverLargerThanItsSourceAnnounced)
{
    // clang-format off
    const struct { int32_t width, height; bool bRefused; } cases[] = {
        {4, 3, false}, {3, 2, false}, {0, 0, false}, {5, 3, true}, {4, 4, true}, {23170, 23170, true}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        if (c.bRefused) {
            // The header alone: the pixels are never asked for.
            feed(sizeReplies(4, 3) +
                 reply(Bytes{0} + wireInt32(rgbPictureType) + wireDouble(0.5) + wireInt32(c.width) +
                       wireInt32(c.height) + Bytes{0} + wireInt32(int32_t(int64_t(c.width) * c.height * 4))));
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
    // clang-format off
    const struct { const char* name; Bytes replies; std::function<void(CSourceClient&)> call; Outcome outcome; }
    cases[] = {
        {"log at the bound", reply(wireText("12345678")), [](CSourceClient& s) { s.getLog(); }, read},
        {"log above the bound", reply(wireInt32(9)), [](CSourceClient& s) { s.getLog(); }, parseError},
        {"chunk at the bound", chunk(4096, true), [](CSourceClient& s) { s.getNextAudioChunk(); }, read},
        {"chunk above the bound", chunk(4097, false), [](CSourceClient& s) { s.getNextAudioChunk(); }, mediaError},
        {"streams above the bound", reply(Bytes{0} + wireInt32(2)), [](CSourceClient& s) { s.getAudioStreamInfos(); },
         parseError},
    };
    // clang-format on
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

// Carries shared memory as a pipe does, keeping the regions the client hands over for the test to fill as a slave.
class CSharedMemoryStream : public lumo::CMemoryIOStream, public virtual lumo::ISharedMemoryChannel {
public:
    void sendWithNextWrite(std::vector<lumo::P<lumo::ISharedMemory>> sent) override { regions = std::move(sent); }
    void acceptSharedMemory() override {}
    std::vector<lumo::P<lumo::ISharedMemory>> takeSharedMemory() override { return {}; }

    std::vector<lumo::P<lumo::ISharedMemory>> regions;
};

// A picture of 4x3 (the size announced) at `offset` of buffer `index`.
Bytes sharedPicture(int32_t index, int32_t offset, int32_t length, int32_t type = rgbPictureType, int32_t width = 4,
                    int32_t planeRows = 3)
{
    return reply(present(wireInt32(index) + wireInt32(type) + wireDouble(0.25) + wireInt32(width) + wireInt32(3) +
                         Bytes{0} + wireInt32(planeRows) + wireInt32(offset) + wireInt32(length)));
}

Bytes sharedPictureRequest(int32_t releasedBuffers)
{
    return wireText("function") + wireText("getNextSharedPicture") + wireText("nReleased") +
           wireInt32(releasedBuffers) + wireText("execute");
}

struct CSharedPicturesTest : testing::Test, SSlavePipe {
    CSharedPicturesTest() { output = channel; }

    // A fresh client, which makes its offer anew.
    lumo::P<CSourceClient> makeSource() const
    {
        return lumo::make<CSourceClient>(input, output, lumo::make<lumo::CMemoryManager>(30));
    }

    // 4x3 pixels of RGB, four bytes each.
    static constexpr int32_t bufferBytes = 48;
    const lumo::P<CSharedMemoryStream> channel = lumo::make<CSharedMemoryStream>();
    const Bytes offer = request("function", "offerSharedPictures");
};

// A peer that does not know the offer, or refuses it, is offered the buffers once and then sent today's requests.
TEST_F(CSharedPicturesTest, APeerWithoutSharedPicturesIsSentTodaysRequests)
{
    const std::pair<const char*, Bytes> offerReplies[] = {{"unknown", wireText("notfound")},
                                                          {"refused", reply(Bytes{0})}};
    for (const auto& [name, offerReply] : offerReplies) {
        SCOPED_TRACE(name);
        const lumo::P<CSourceClient> source = makeSource();
        feed(sizeReplies(4, 3) + offerReply + reply(rgbPicture(4, 3)) + reply(rgbPicture(4, 3)));
        EXPECT_EQ(source->getNextPicture()->getWidth(), 4);
        EXPECT_EQ(source->getNextPicture()->getWidth(), 4);
        EXPECT_EQ(sent(), sizeRequests + offer + pictureRequest + pictureRequest);
        ASSERT_EQ(channel->regions.size(), CSourceClient::sharedRingBuffers);
        EXPECT_EQ(channel->regions.front()->getSize(), bufferBytes);
    }
}

TEST_F(CSharedPicturesTest, PicturesLieInTheBuffersUntilReleasedAndTheReleaseIsTold)
{
    const lumo::P<CSourceClient> source = makeSource();
    const Bytes onThePipe = reply(present(wireInt32(CSharedPicture::pipeIndex) + wireInt32(rgbPictureType) +
                                          wirePicture(0.5, 4, 3, false, Bytes(48, 9))));
    feed(sizeReplies(4, 3) + reply(Bytes{1}) + sharedPicture(1, 0, 48) + sharedPicture(2, 0, 48) + onThePipe +
         reply(Bytes{1}));
    lumo::P<INEBPicture> first = source->getNextPicture();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getTimestamp(), 0.25);
    // Not a copy: what the slave writes into the buffer is the picture.
    std::memset(channel->regions[1]->getData(), 0x7f, bufferBytes);
    EXPECT_EQ(lumo::castObject<CPictureBase>(first)->getPixelData(), channel->regions[1]->getData());
    EXPECT_EQ(lumo::castObject<CPictureBase>(first)->getPixelData()[47], 0x7f);

    const lumo::P<INEBPicture> second = source->getNextPicture();
    first = nullptr;
    const lumo::P<INEBPicture> third = source->getNextPicture();
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(lumo::castObject<CPictureBase>(third)->getPixelData()[0], 9);
    EXPECT_EQ(source->getNextPicture(), nullptr);
    EXPECT_EQ(sent(), sizeRequests + offer + sharedPictureRequest(0) + sharedPictureRequest(0) +
                          sharedPictureRequest(1 << 1) + sharedPictureRequest(0));
}

// A decoder's rows past the picture keep the planes apart: V and U are read where the slave's plane rows put them.
TEST_F(CSharedPicturesTest, SpacedPlanesAreReadWhereThePlaneRowsPutThem)
{
    const lumo::P<CSourceClient> source = makeSource();
    feed(sizeReplies(4, 3) + reply(Bytes{1}) + sharedPicture(0, 0, 24, yv12PictureType, 4, 4));
    const lumo::P<INEBPicture> picture = source->getNextPicture();
    ASSERT_NE(picture, nullptr);
    for (uint8_t i = 0; i < 24; ++i)
        channel->regions[0]->getData()[i] = i;
    EXPECT_EQ(bytesOf(*picture->getImagePlane(1, 0, 0, 4, 3)), (Bytes{16, 17, 18}));
    EXPECT_EQ(bytesOf(*picture->getImagePlane(2, 0, 0, 4, 3)), (Bytes{20, 21, 22}));
}

TEST_F(CSharedPicturesTest, EveryBadIndexOffsetLengthOrHeaderIsRefusedBeforeAByteIsTouched)
{
    // clang-format off
    const struct { const char* name; Bytes reply; std::string expected; } cases[] = {
        {"index past the ring", sharedPicture(6, 0, 48), "buffer 6, where there are 6"},
        {"short length", sharedPicture(0, 0, 47), "which is no picture"},
        {"long length", sharedPicture(0, 0, 48, yv12PictureType), "does not match"},
        {"unknown type", sharedPicture(0, 0, 48, 9), "type 9"},
        {"plane rows below the height", sharedPicture(0, 0, 12, yv12PictureType, 4, 2), "in 2 plane rows"},
        {"plane rows past the bound", sharedPicture(0, 0, 48, yv12PictureType, 4, 3 + 65), "in 68 plane rows"},
        {"spaced planes of RGB", sharedPicture(0, 0, 48, rgbPictureType, 4, 4), "in 4 plane rows"},
        {"length beyond the spaced planes", sharedPicture(0, 0, 30, yv12PictureType, 4, 4), "does not match"},
        {"wider than announced", sharedPicture(0, 0, 60, rgbPictureType, 5), "5x3"},
        {"held buffer", sharedPicture(0, 0, 48) + sharedPicture(0, 0, 48), "a picture of the master still holds"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const lumo::P<CSourceClient> source = makeSource();
        feed(sizeReplies(4, 3) + reply(Bytes{1}) + c.reply);
        try {
            lumo::P<INEBPicture> held;
            for (;;)
                held = source->getNextPicture();
        } catch (const CNEBError& error) {
            EXPECT_NE(lumo::String(error.getDescription()).toUTF8().find(c.expected), std::string::npos)
                << lumo::String(error.getDescription()).toUTF8();
        }
    }
}

} // namespace
} // namespace nebo::common
