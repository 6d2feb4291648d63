// The clips and reference decodings that the media plugins' tests build on.
#include "platform/CTempFolder.h"
#include "support/decodeReference.h"
#include "support/writeTestClip.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace nebo::testing;

TEST(TestMediaSupportTest, ClipsOfEveryKindDecodeToWhatWasWritten)
{
    lumo::CTempFolder folder;
    // width, height: of the decoded pictures, 0 for the clip's own
    // clang-format off
    const struct {
        const char *file; SVideoSettings video; const char* soundEncoder; ELayout layout; int width, height;
        size_t bytes;
    } kinds[] = {
        {"ffv1.mkv", {"ffv1", "yuv420p", 64, 48, 25, 5, 0}, "pcm_s16le", ELayout::YV12, 0, 0, 64 * 48 * 3 / 2},
        {"ffv1-444.mkv", {"ffv1", "yuv444p", 32, 16, 25, 5, 2}, "flac", ELayout::RGB, 16, 8, 16 * 8 * 4},
        {"mpeg4.mp4", {"mpeg4", "yuv420p", 32, 16, 25, 5, 2}, "aac", ELayout::YUY2, 0, 0, 32 * 16 * 2},
        {"nv12.nut", {"rawvideo", "nv12", 32, 16, 25, 5, 0}, "pcm_s16le", ELayout::NV12, 0, 0, 32 * 16 * 3 / 2},
    };
    // clang-format on
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.file);
        const std::string path = folder.pathOf(kind.file);
        writeTestClip(path, STestClip{kind.video, {SAudioSettings{kind.soundEncoder, 48000, 2, 0.2, "eng", 0}}});
        const std::vector<SReferencePicture> pictures =
            decodeReferencePictures(path, kind.layout, kind.width, kind.height);
        ASSERT_EQ(pictures.size(), 5u);
        std::set<std::vector<uint8_t>> distinct;
        for (size_t n = 0; n < pictures.size(); ++n) {
            EXPECT_DOUBLE_EQ(pictures[n].timestamp, n * 0.04);
            EXPECT_EQ(pictures[n].width, kind.width ? kind.width : kind.video.width);
            EXPECT_EQ(pictures[n].bytes.size(), kind.bytes);
            distinct.insert(pictures[n].bytes);
        }
        EXPECT_EQ(distinct.size(), pictures.size());
        // Lossy encoders may add a frame's worth of priming or padding.
        EXPECT_NEAR(static_cast<double>(decodeReferenceSound(path).size()), 48000 * 0.2 * 2, 2 * 2048);
    }
}

} // namespace
