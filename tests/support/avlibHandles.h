#pragma once

// Owning handles for the media libraries' objects and the error check that
// the clip writer and the reference decoders share.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <stdexcept>
#include <string>

namespace nebo::testing {

// Returns `code` when it is not an error; otherwise throws std::runtime_error
// with `what` and the library's text for the code.
inline int checkAv(int code, const std::string& what)
{
    if (code >= 0)
        return code;
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    throw std::runtime_error(what + ": " + text);
}

template <typename T> T* checkAlloc(T* object, const std::string& what)
{
    if (!object)
        throw std::runtime_error(what + ": out of memory");
    return object;
}

struct SFreeCodecContext {
    void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
};
struct SFreeFrame {
    void operator()(AVFrame* p) const { av_frame_free(&p); }
};
struct SFreePacket {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SCloseInput {
    void operator()(AVFormatContext* p) const { avformat_close_input(&p); }
};
struct SCloseOutput {
    void operator()(AVFormatContext* p) const
    {
        if (p->pb && !(p->oformat->flags & AVFMT_NOFILE))
            avio_closep(&p->pb);
        avformat_free_context(p);
    }
};
struct SFreeSws {
    void operator()(SwsContext* p) const { sws_freeContext(p); }
};
struct SFreeSwr {
    void operator()(SwrContext* p) const { swr_free(&p); }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, SFreeCodecContext>;
using FramePtr = std::unique_ptr<AVFrame, SFreeFrame>;
using PacketPtr = std::unique_ptr<AVPacket, SFreePacket>;
using InputPtr = std::unique_ptr<AVFormatContext, SCloseInput>;
using OutputPtr = std::unique_ptr<AVFormatContext, SCloseOutput>;
using SwsPtr = std::unique_ptr<SwsContext, SFreeSws>;
using SwrPtr = std::unique_ptr<SwrContext, SFreeSwr>;

inline FramePtr allocFrame()
{
    return FramePtr(checkAlloc(av_frame_alloc(), "av_frame_alloc"));
}
inline PacketPtr allocPacket()
{
    return PacketPtr(checkAlloc(av_packet_alloc(), "av_packet_alloc"));
}

// A picture of that format and size with its planes allocated.
inline FramePtr allocPicture(AVPixelFormat format, int width, int height)
{
    FramePtr picture = allocFrame();
    picture->format = format;
    picture->width = width;
    picture->height = height;
    checkAv(av_frame_get_buffer(picture.get(), 0), "av_frame_get_buffer");
    return picture;
}

} // namespace nebo::testing
