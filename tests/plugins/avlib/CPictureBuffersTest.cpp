// Which frames a decoder is lent a picture's block for, and its layout, with the library's real decoders.
#include "plugins/avlib/CPictureBuffers.h"

#include "streams/CMemoryManager.h"

extern "C" {
#include <libavutil/cpu.h>
}

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using lumo::P;

TEST(CPictureBuffersTest, OnlyFramesThatFitOurFixedPitchesAndPlanesAreLent)
{
    // width, height: as the decoder knows the pictures; frameHeight: as it asks for the frame, coded rows included;
    // planeRows: the rows the lent planes are spaced for.
    // clang-format off
    const struct {
        const char* name; AVCodecID codec; AVPixelFormat format; int width, height, frameHeight; bool bLent;
        int planeRows;
    } cases[] = {
        {"mpeg4, whole macroblocks", AV_CODEC_ID_MPEG4, AV_PIX_FMT_YUV420P, 128, 96, 96, true, 96},
        {"ffv1", AV_CODEC_ID_FFV1, AV_PIX_FMT_YUV420P, 256, 64, 64, true, 64},
        // 1080 rows are decoded as 1088; V and U start after them. Coded rows are decoded in blocks of 32.
        {"mpeg4, rows beyond the luma plane", AV_CODEC_ID_MPEG4, AV_PIX_FMT_YUV420P, 1920, 1080, 1080, true, 1088},
        {"mpeg4, larger coded frame", AV_CODEC_ID_MPEG4, AV_PIX_FMT_YUV420P, 128, 96, 112, true, 128},
        // More rows than a picture's planes may be spaced for.
        {"mpeg4, far larger coded frame", AV_CODEC_ID_MPEG4, AV_PIX_FMT_YUV420P, 128, 32, 112, false, 0},
        {"not our layout", AV_CODEC_ID_FFV1, AV_PIX_FMT_YUV444P, 128, 96, 96, false, 0},
        {"odd size, which goes to RGB", AV_CODEC_ID_FFV1, AV_PIX_FMT_YUV420P, 127, 96, 96, false, 0},
    };
    // clang-format on
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const AVCodec* decoder = avcodec_find_decoder(test.codec);
        ASSERT_TRUE(decoder);
        nebo::avlib::CodecContextPtr context(avcodec_alloc_context3(decoder));
        context->width = test.width;
        context->height = test.height;
        context->pix_fmt = test.format;
        ASSERT_EQ(avcodec_open2(context.get(), decoder, nullptr), 0);

        const P<lumo::CMemoryManager> memory = lumo::make<lumo::CMemoryManager>(30);
        nebo::avlib::CPictureBuffers buffers(memory);
        nebo::avlib::FramePtr frame(av_frame_alloc());
        frame->format = test.format;
        frame->width = test.width;
        frame->height = test.frameHeight;
        ASSERT_EQ(buffers.lend(*context, *frame), test.bLent);
        if (!test.bLent) {
            EXPECT_FALSE(frame->buf[0]);
            EXPECT_FALSE(frame->data[0]);
            continue;
        }

        // YV12 in the picture's block: Y, then V, then U, tight rows, each plane spaced for the plane rows.
        const int64_t luma = int64_t(test.width) * test.planeRows;
        ASSERT_TRUE(frame->buf[0]);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(frame->data[0]) % av_cpu_max_align(), 0u);
        EXPECT_EQ(frame->data[2] - frame->data[0], luma);
        EXPECT_EQ(frame->data[1] - frame->data[0], luma + luma / 4);
        EXPECT_EQ(frame->linesize[0], test.width);
        EXPECT_EQ(frame->linesize[1], test.width / 2);
        EXPECT_EQ(frame->linesize[2], test.width / 2);
        EXPECT_GE(frame->buf[0]->data + frame->buf[0]->size, frame->data[0] + luma + luma / 2);
        EXPECT_EQ(frame->extended_data, frame->data);
        // The block goes back to the manager with the frame's last reference.
        EXPECT_EQ(memory->getCachedBytes(), 0);
        av_frame_unref(frame.get());
        EXPECT_GT(memory->getCachedBytes(), 0);
    }
}

} // namespace
