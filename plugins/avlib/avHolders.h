#pragma once

// Owners of the decoding library's C objects, each freed with the library's
// own function.
#include "foundation/IURI.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace nebo::avlib {

struct SFormatContextFree {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct SCodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct SFrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct SPacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct SSwsFree {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct SSwrFree {
    void operator()(SwrContext* context) const { swr_free(&context); }
};

using FormatContextPtr = std::unique_ptr<AVFormatContext, SFormatContextFree>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, SCodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, SFrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, SPacketFree>;
using SwsPtr = std::unique_ptr<SwsContext, SSwsFree>;
using SwrPtr = std::unique_ptr<SwrContext, SSwrFree>;

// New empty objects; a failure throws as throwAvError does for `uri`.
FramePtr makeFrame(const lumo::IURI& uri);
PacketPtr makePacket(const lumo::IURI& uri);

} // namespace nebo::avlib
