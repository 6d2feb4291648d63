#include "plugins/demo/CDemoClip.h"

#include "foundation/CParseError.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using nebo::demo::CDemoClip;

CDemoClip clipOf(const char* query)
{
    return CDemoClip::fromQuery(lumo::String::fromUTF8(query));
}

// Why the query is refused; empty when it is not.
std::string refusalOf(const char* query)
{
    try {
        clipOf(query);
    } catch (const lumo::CParseError& error) {
        return lumo::String(error.getDescription()).toUTF8();
    }
    return std::string();
}

TEST(CDemoClipTest, QuerySetsTheClipAndRefusesValuesThatAreNotValid)
{
    const CDemoClip defaults = clipOf("");
    EXPECT_EQ(defaults.width, 320);
    EXPECT_EQ(defaults.height, 240);
    EXPECT_EQ(defaults.pictureType, nebo::common::nv12PictureType);
    EXPECT_EQ(defaults.framesPerSecond, 25);
    EXPECT_EQ(defaults.frameCount, 250);
    EXPECT_EQ(defaults.sampleRate, 48000);
    EXPECT_EQ(defaults.channelCount, 2);
    EXPECT_EQ(defaults.fault, nebo::demo::EDemoFault::none);

    // Empty pairs, as a doubled or trailing "&" makes them, say nothing.
    const CDemoClip clip = clipOf("w=7&h=3&&fmt=rgb&fps=30&frames=9&rate=8000&channels=1&");
    EXPECT_EQ(clip.width, 7);
    EXPECT_EQ(clip.height, 3);
    EXPECT_EQ(clip.pictureType, nebo::common::rgbPictureType);
    EXPECT_EQ(clip.framesPerSecond, 30);
    EXPECT_EQ(clip.frameCount, 9);
    EXPECT_EQ(clip.sampleRate, 8000);
    EXPECT_EQ(clip.channelCount, 1);

    const CDemoClip failing = clipOf("fail=divzero&failat=open&delay=10");
    EXPECT_EQ(failing.fault, nebo::demo::EDemoFault::divideByZero);
    EXPECT_TRUE(failing.bFailAtOpen);
    EXPECT_EQ(failing.delayMs, 10);

    for (const char* refused : {"fail=nope", "failat=picture", "failat=-1", "failat=", "delay=-1", "w=0", "w=-2",
                                "w=abc", "w=12x", "w=", "h=99999", "fmt=bgr", "fmt=NV12", "fps=0", "frames=0",
                                "rate=x", "channels=0", "w=4294967298"})
        EXPECT_NE(refusalOf(refused), "") << refused;
}

TEST(CDemoClipTest, ARefusalNamesTheFirstKeyOrSizeAtFault)
{
    const std::pair<const char*, const char*> cases[] = {
        {"w=8&nonsense=1", "unknown query key \"nonsense\""},
        {"nonsense", "unknown query key \"nonsense\""},
        {"W=8", "unknown query key \"W\""},
        {"=5", "unknown query key \"\""},
        {"w=wide&nonsense=1", "the value \"wide\" of \"w\" is not valid"},
        {"h", "the value \"\" of \"h\" is not valid"},
        {"fmt=rgb&fail=nope", "the value \"nope\" of \"fail\" is not valid"},
        {"w=7", "a YUV layout needs an even width and height, not 7x240"},
        {"fmt=yv12&h=5", "a YUV layout needs an even width and height, not 320x5"},
    };
    for (const auto& [query, reason] : cases)
        EXPECT_EQ(refusalOf(query), reason) << query;
}

TEST(CDemoClipTest, TheFaultStrikesWhereTheQuerySaysAndNowhereElse)
{
    // 8000 Hz, 1024 frames a chunk at 25 pictures a second: picture 7 at
    // 0.28 s lies in chunk 2 (0.256 s to 0.384 s).
    const struct {
        const char* query;
        std::vector<int64_t> strikingPictures;
        std::vector<int64_t> strikingChunks;
    } cases[] = {
        {"fail=exit", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {}},
        {"fail=exit&failat=open", {}, {}},
        {"fail=exit&failat=7", {7}, {2}},
        {"fail=exit&failat=0", {0}, {0}},
    };
    for (const auto& c : cases) {
        const CDemoClip clip = clipOf((std::string("fps=25&frames=10&rate=8000&") + c.query).c_str());
        for (int64_t index = 0; index < 10; ++index) {
            const bool bPicture = std::count(c.strikingPictures.begin(), c.strikingPictures.end(), index) > 0;
            const bool bChunk = std::count(c.strikingChunks.begin(), c.strikingChunks.end(), index) > 0;
            EXPECT_EQ(clip.strikesAtPicture(index), bPicture) << c.query << " picture " << index;
            EXPECT_EQ(clip.strikesAtChunk(index), bChunk) << c.query << " chunk " << index;
        }
    }
}

TEST(CDemoClipTest, SkippingFindsTheFirstStampNotBelowTheTime)
{
    const CDemoClip clip = clipOf("fps=25&frames=10&rate=8000");
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
    const CDemoClip clip = clipOf("fps=25&frames=10&rate=8000&channels=2");
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
    const P<nebo::common::INEBPicture> rgb = clipOf("w=4&h=2&fmt=rgb&fps=10").makePicture(n, memory);
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
        const P<nebo::common::INEBPicture> picture = clipOf(layout.query).makePicture(1, memory);
        EXPECT_EQ(picture->getType(), layout.type) << layout.query;
        const P<lumo::IMemoryBlock> block = picture->getImagePlane(0, 0, 0, 4, 2);
        ASSERT_GE(static_cast<size_t>(block->getSize()), layout.bytes.size()) << layout.query;
        const uint8_t* data = block->getData();
        // The whole picture's first plane is a view on the block of all planes.
        EXPECT_EQ(std::vector<uint8_t>(data, data + layout.bytes.size()), layout.bytes) << layout.query;
    }
}

// The formulas pixel by pixel, for pictures large enough that the
// renderer's repeated patterns wrap and end part-way through a period.
std::vector<uint8_t> expectedBytes(const std::string& layout, int w, int h, int n)
{
    std::vector<uint8_t> bytes;
    const auto luma = [&] {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bytes.push_back(static_cast<uint8_t>(x + y + n));
    };
    if (layout == "rgb") {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bytes.insert(bytes.end(), {static_cast<uint8_t>(x + n), static_cast<uint8_t>(y + n),
                                           static_cast<uint8_t>(x + y), 255});
    } else if (layout == "yuy2") {
        for (int y = 0; y < h; ++y)
            for (int c = 0; c < w / 2; ++c)
                bytes.insert(bytes.end(), {static_cast<uint8_t>(2 * c + y + n), static_cast<uint8_t>(c + n),
                                           static_cast<uint8_t>(2 * c + 1 + y + n), static_cast<uint8_t>(y + 128)});
    } else if (layout == "nv12") {
        luma();
        for (int y = 0; y < h / 2; ++y)
            for (int c = 0; c < w / 2; ++c)
                bytes.insert(bytes.end(), {static_cast<uint8_t>(c + n), static_cast<uint8_t>(y + 128)});
    } else {
        luma();
        for (int y = 0; y < h / 2; ++y)
            bytes.insert(bytes.end(), static_cast<size_t>(w / 2), static_cast<uint8_t>(y + 128));
        for (int y = 0; y < h / 2; ++y)
            for (int c = 0; c < w / 2; ++c)
                bytes.push_back(static_cast<uint8_t>(c + n));
    }
    return bytes;
}

TEST(CDemoClipTest, LargePicturesFollowTheirFormulasEverywhere)
{
    const P<lumo::IMemoryManager> memory = make<lumo::CMemoryManager>(30);
    // 1100 is no multiple of 256 and holds more than four periods; 300 rows
    // are more than one period of rows; 4 and 2 are narrower than a period.
    const struct {
        int w, h;
    } sizes[] = {{1100, 6}, {8, 300}, {4, 6}, {2, 2}};
    for (const auto [w, h] : sizes) {
        for (const char* layout : {"rgb", "yuy2", "nv12", "yv12"}) {
            const std::string query = "w=" + std::to_string(w) + "&h=" + std::to_string(h) + "&fmt=" + layout;
            const P<nebo::common::INEBPicture> picture = clipOf(query.c_str()).makePicture(300, memory);
            const P<lumo::IMemoryBlock> block = picture->getImagePlane(0, 0, 0, w, h);
            const std::vector<uint8_t> expected = expectedBytes(layout, w, h, 300);
            ASSERT_EQ(static_cast<size_t>(block->getSize()), expected.size()) << query;
            EXPECT_EQ(std::vector<uint8_t>(block->getData(), block->getData() + block->getSize()), expected) << query;
        }
    }
}

} // namespace
