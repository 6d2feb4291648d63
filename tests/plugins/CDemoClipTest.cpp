#include "plugins/demo/CDemoClip.h"

#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using nebo::demo::CDemoClip;

std::optional<CDemoClip> clipOf(const char* query)
{
    return CDemoClip::fromQuery(lumo::String::fromUTF8(query));
}

TEST(CDemoClipTest, QuerySetsTheClipAndRefusesValuesThatAreNotValid)
{
    const std::optional<CDemoClip> defaults = clipOf("");
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->width, 320);
    EXPECT_EQ(defaults->height, 240);
    EXPECT_EQ(defaults->pictureType, nebo::common::nv12PictureType);
    EXPECT_EQ(defaults->framesPerSecond, 25);
    EXPECT_EQ(defaults->frameCount, 250);
    EXPECT_EQ(defaults->sampleRate, 48000);
    EXPECT_EQ(defaults->channelCount, 2);

    const std::optional<CDemoClip> clip = clipOf("w=7&h=3&fmt=rgb&fps=30&frames=9&rate=8000&channels=1&other=x");
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->width, 7);
    EXPECT_EQ(clip->height, 3);
    EXPECT_EQ(clip->pictureType, nebo::common::rgbPictureType);
    EXPECT_EQ(clip->framesPerSecond, 30);
    EXPECT_EQ(clip->frameCount, 9);
    EXPECT_EQ(clip->sampleRate, 8000);
    EXPECT_EQ(clip->channelCount, 1);

    const std::optional<CDemoClip> failing = clipOf("fail=divzero&failat=open&delay=10");
    ASSERT_TRUE(failing);
    EXPECT_EQ(failing->fault, nebo::demo::EDemoFault::divideByZero);
    EXPECT_TRUE(failing->bFailAtOpen);
    EXPECT_EQ(failing->delayMs, 10);
    EXPECT_EQ(clipOf("")->fault, nebo::demo::EDemoFault::none);

    for (const char* refused : {"fail=nope", "failat=picture", "delay=-1", "w=0", "w=-2", "w=abc", "w=12x", "w=", "h=99999", "fmt=bgr", "fmt=NV12", "fps=0",
                                "frames=0", "rate=x", "channels=0", "w=7", "fmt=yv12&h=5", "w=4294967298"})
        EXPECT_FALSE(clipOf(refused)) << refused;
}

TEST(CDemoClipTest, SkippingFindsTheFirstStampNotBelowTheTime)
{
    const CDemoClip clip = *clipOf("fps=25&frames=10&rate=8000");
    EXPECT_EQ(clip.getFirstPictureAt(-1.0), 0);
    EXPECT_EQ(clip.getFirstPictureAt(0.0), 0);
    EXPECT_EQ(clip.getFirstPictureAt(0.1), 3);
    EXPECT_EQ(clip.getFirstPictureAt(clip.getPictureTime(3)), 3);
    EXPECT_EQ(clip.getFirstPictureAt(99.0), 10);
    // 0.4 s of sound at 8000 Hz: 3200 frames, four chunks, the last 128 long.
    EXPECT_EQ(clip.getSoundFrameCount(), 3200);
    EXPECT_EQ(clip.getFirstChunkAt(0.2), 2);
    EXPECT_EQ(clip.getFirstChunkAt(99.0), 4);
}

TEST(CDemoClipTest, SoundFollowsItsFormulaAndEndsWithAShortChunk)
{
    const CDemoClip clip = *clipOf("fps=25&frames=10&rate=8000&channels=2");
    const P<lumo::IMemoryManager> memory = make<lumo::CMemoryManager>(30);
    const P<nebo::audio::IAudioChunk> chunk = clip.makeChunk(1, memory);
    ASSERT_TRUE(chunk);
    EXPECT_DOUBLE_EQ(chunk->getTimestamp(), 1024.0 / 8000);
    ASSERT_EQ(chunk->getDataSize(), 1024 * 2 * 2);
    const uint8_t* bytes = chunk->getData();
    // Frame 1024, channel 1: (1024 * 64 + 4096) mod 65536 = 4096.
    EXPECT_EQ(bytes[2] | bytes[3] << 8, 4096);
    // Frame 1025, channel 0: 65600 mod 65536 = 64.
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 64);

    EXPECT_EQ(clip.makeChunk(3, memory)->getDataSize(), 128 * 2 * 2);
    EXPECT_FALSE(clip.makeChunk(4, memory));
}

TEST(CDemoClipTest, PicturesFollowTheirFormulas)
{
    const P<lumo::IMemoryManager> memory = make<lumo::CMemoryManager>(30);
    const int n = 300;
    const P<nebo::common::INEBPicture> rgb = clipOf("w=4&h=2&fmt=rgb&fps=10")->makePicture(n, memory);
    EXPECT_DOUBLE_EQ(rgb->getTimestamp(), 30.0);
    EXPECT_FALSE(rgb->isBottomUp());
    // Pixel (3, 1): blue (3 + 300) & 255, green (1 + 300) & 255, red 4.
    const uint8_t* pixel = rgb->getRGBData(0, 0, 4, 2)->getData() + (1 * 4 + 3) * 4;
    EXPECT_EQ(pixel[0], 47);
    EXPECT_EQ(pixel[1], 45);
    EXPECT_EQ(pixel[2], 4);
    EXPECT_EQ(pixel[3], 255);

    struct Layout {
        const char* query;
        int32_t type;
        std::vector<uint8_t> bytes;
    };
    // 4 by 2 at picture 1: luma x + y + 1, U cx + 1, V cy + 128.
    const Layout layouts[] = {
        {"w=4&h=2&fmt=yuy2", nebo::common::yuy2PictureType, {1, 1, 2, 128, 3, 2, 4, 128, 2, 1, 3, 129, 4, 2, 5, 129}},
        {"w=4&h=2&fmt=nv12", nebo::common::nv12PictureType, {1, 2, 3, 4, 2, 3, 4, 5, 1, 128, 2, 128}},
        {"w=4&h=2&fmt=yv12", nebo::common::yv12PictureType, {1, 2, 3, 4, 2, 3, 4, 5, 128, 128, 1, 2}},
    };
    for (const Layout& layout : layouts) {
        const P<nebo::common::INEBPicture> picture = clipOf(layout.query)->makePicture(1, memory);
        EXPECT_EQ(picture->getType(), layout.type) << layout.query;
        const P<lumo::IMemoryBlock> block = picture->getImagePlane(0, 0, 0, 4, 2);
        ASSERT_GE(static_cast<size_t>(block->getSize()), layout.bytes.size()) << layout.query;
        const uint8_t* data = block->getData();
        // The whole picture's first plane is a view on the block of all planes.
        EXPECT_EQ(std::vector<uint8_t>(data, data + layout.bytes.size()), layout.bytes) << layout.query;
    }
}

} // namespace
