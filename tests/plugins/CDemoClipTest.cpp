#include "plugins/demo/CDemoClip.h"

#include "foundation/CParseError.h"
#include "streams/CMemoryManager.h"
#include "support/demoPictureBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using nebo::demo::CDemoClip;

CDemoClip clipOf(const char* query) { return CDemoClip::fromQuery(lumo::String::fromUTF8(query)); }

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
    // Empty pairs, as a doubled or trailing "&" makes them, say nothing.
    const CDemoClip clip = clipOf("w=7&h=3&&fmt=rgb&fps=30&frames=9&rate=8000&channels=1&");
    EXPECT_EQ(std::tuple(clip.width, clip.height, clip.pictureType, clip.framesPerSecond, clip.frameCount,
                         clip.sampleRate, clip.channelCount),
              std::tuple(7, 3, nebo::common::rgbPictureType, 30, 9, 8000, 1));

    const CDemoClip failing = clipOf("fail=divzero&failat=open&delay=10");
    EXPECT_EQ(std::tuple(failing.fault, failing.bFailAtOpen, failing.delayMs),
              std::tuple(nebo::demo::EDemoFault::divideByZero, true, 10));

    for (const char* refused :
         {"failat=picture", "failat=-1", "delay=-1", "w=0", "w=12x", "h=99999", "w=4294967298", "fmt=NV12"})
        EXPECT_NE(refusalOf(refused), "") << refused;
}

TEST(CDemoClipTest, ARefusalNamesTheFirstKeyOrSizeAtFault)
{
    const std::pair<const char*, const char*> cases[] = {
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
    // 8000 Hz, 1024 frames a chunk at 25 pictures a second: picture 7 at 0.28 s lies in chunk 2 (0.256 s to 0.384 s).
    const struct {
        const char* query;
        std::vector<int64_t> strikingPictures, strikingChunks;
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
    EXPECT_EQ(clip.getFirstPictureAt(0.1), 3);
    EXPECT_EQ(clip.getFirstPictureAt(clip.getPictureTime(3)), 3);
    EXPECT_EQ(clip.getFirstPictureAt(99.0), 10);
    // 0.4 s of sound at 8000 Hz: 3200 frames, four chunks, the last 128 long.
    EXPECT_EQ(clip.getSoundFrameCount(), 3200);
    EXPECT_EQ(clip.getFirstChunkAt(0.2), 2);
    EXPECT_EQ(clip.getFirstChunkAt(99.0), 4);
}

// The samples' formula is checked in every frame of the sound the probe writes of a demo clip.
TEST(CDemoClipTest, SoundComesInStampedChunksTheLastOneShort)
{
    const CDemoClip clip = clipOf("fps=25&frames=10&rate=8000&channels=2");
    const P<lumo::IMemoryManager> memory = make<lumo::CMemoryManager>(30);
    const P<nebo::audio::IAudioChunk> chunk = clip.makeChunk(1, memory);
    ASSERT_TRUE(chunk);
    EXPECT_DOUBLE_EQ(chunk->getTimestamp(), 1024.0 / 8000);
    EXPECT_EQ(chunk->getDataSize(), 1024 * 2 * 2);
    EXPECT_EQ(clip.makeChunk(3, memory)->getDataSize(), 128 * 2 * 2);
    EXPECT_FALSE(clip.makeChunk(4, memory));
}

TEST(CDemoClipTest, PicturesFollowTheirFormulas)
{
    const P<lumo::IMemoryManager> memory = make<lumo::CMemoryManager>(30);
    // 1100 is no multiple of 256 and holds more than four periods of the renderer's repeated patterns; 300 rows are
    // more than one period of rows; 4 and 2 are narrower than a period.
    const std::pair<const char*, int32_t> layouts[] = {{"rgb", nebo::common::rgbPictureType},
                                                       {"yuy2", nebo::common::yuy2PictureType},
                                                       {"nv12", nebo::common::nv12PictureType},
                                                       {"yv12", nebo::common::yv12PictureType}};
    const std::pair<int, int> sizes[] = {{1100, 6}, {8, 300}, {4, 6}, {2, 2}};
    for (const auto& [w, h] : sizes) {
        for (const auto& [layout, type] : layouts) {
            const std::string query = "w=" + std::to_string(w) + "&h=" + std::to_string(h) + "&fmt=" + layout;
            SCOPED_TRACE(query);
            const P<nebo::common::INEBPicture> picture = clipOf(query.c_str()).makePicture(300, memory);
            EXPECT_EQ(picture->getType(), type);
            // The whole picture's first plane is a view on the block of all planes.
            const P<lumo::IMemoryBlock> block = picture->getImagePlane(0, 0, 0, w, h);
            EXPECT_EQ(std::vector<uint8_t>(block->getData(), block->getData() + block->getSize()),
                      nebo::test::demoPictureBytes(layout, w, h, 300));
        }
    }
}

} // namespace
