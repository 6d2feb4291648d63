#include "host/CSourceServer.h"

#include "expectError.h"
#include "foundation/CObject.h"
#include "host/CSimpleNEBContext.h"
#include "media/CNEBError.h"
#include "media/CRGBPicture.h"
#include "media/INEBPictureRemote.h"
#include "streams/CMemoryIOStream.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using lumo::make;
using lumo::P;
using namespace nebo::common;

// A source of pictures only, with one 1x1 picture.
class CPictureOnlySource : public lumo::CObject, public virtual IVideoSource {
public:
    bool isOpened() override { return true; }
    void open() override {}
    void close() override {}
    void skipToTime(double) override {}
    double getDuration() override { return 1.0; }
    int32_t getBufferStatus() override { return 100; }
    bool isEOF() override { return m_bDelivered; }
    void setStartTime(double) override {}
    double getStartTime() override { return 0.0; }
    P<lumo::CURI> getURI() override { return make<lumo::CURI>("file:///x.test"); }
    lumo::String getPluginName() override { return "test"; }
    void setMaxSize(int32_t nWidth, int32_t nHeight) override { maxSize = {nWidth, nHeight}; }
    int32_t getWidth() override { return 1; }
    int32_t getHeight() override { return 1; }
    double peekNextPictureTimestamp() override { return 0.0; }
    P<INEBPicture> getNextPicture() override
    {
        if (std::exchange(m_bDelivered, true))
            return nullptr;
        P<lumo::IMemoryBlock> block = make<lumo::CMemoryManager>(4)->allocate(4);
        block->setSize(4);
        return make<CRGBPicture>(nullptr, 0.5, block, 1, 1, false);
    }
    int32_t getPixelAspectNum() override { return 1; }
    int32_t getPixelAspectDen() override { return 1; }
    double getFrameDuration() override { return 0.04; }
    int32_t getFrameRateNum() override { return 25; }
    int32_t getFrameRateDen() override { return 1; }

    std::pair<int32_t, int32_t> maxSize;

private:
    bool m_bDelivered = false;
};

// A master asks every source for both sides: the missing one answers as a
// medium without it, and only choosing a sound stream there is refused.
TEST(CSourceServerTest, WrapsPicturesAndAnswersForTheMissingSideAsNone)
{
    P<CPictureOnlySource> source = make<CPictureOnlySource>();
    P<CSourceServer> server = make<CSourceServer>(make<lumo::CMemoryIOStream>(), make<lumo::CMemoryIOStream>(),
                                                  source, make<CSimpleNEBContext>());
    server->setMaxSize(640, 480);
    EXPECT_EQ(source->maxSize, std::make_pair(640, 480));

    const P<INEBPictureRemote> wrapped = lumo::castObject<INEBPictureRemote>(server->getNextPicture());
    ASSERT_TRUE(wrapped);
    EXPECT_DOUBLE_EQ(wrapped->getPicture()->getTimestamp(), 0.5);
    EXPECT_EQ(server->getNextPicture(), nullptr);

    EXPECT_EQ(server->getSampleRate(), 0);
    EXPECT_EQ(server->getChannelCount(), 0);
    EXPECT_EQ(server->getBytesPerSample(), 0);
    EXPECT_EQ(server->getNextAudioChunk(), nullptr);
    EXPECT_EQ(server->getAudioStreamInfos(), nullptr);
    lumo::expectError<CNEBError>("CSourceServer: the source has no sound", [&] { server->setAudioStream(1); });
    EXPECT_EQ(server->getLog().toUTF8(), "");
}

} // namespace
