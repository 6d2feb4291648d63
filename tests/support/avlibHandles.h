#pragma once

// The error check and the owners of the media libraries' objects that the clip writer and the reference decoders share;
// the objects the plugin frees alike are owned as it owns them.
#include "plugins/avlib/avHolders.h"

#include <stdexcept>
#include <string>

namespace nebo::testing {

// Returns `code` unless it is an error; else throws std::runtime_error with `what` and the library's text.
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

struct SCloseOutput {
    void operator()(AVFormatContext* p) const
    {
        if (p->pb && !(p->oformat->flags & AVFMT_NOFILE))
            avio_closep(&p->pb);
        avformat_free_context(p);
    }
};

using avlib::CodecContextPtr;
using avlib::FramePtr;
using avlib::PacketPtr;
using avlib::SwrPtr;
using avlib::SwsPtr;
using InputPtr = avlib::FormatContextPtr;
using OutputPtr = std::unique_ptr<AVFormatContext, SCloseOutput>;

inline FramePtr allocFrame() { return FramePtr(checkAlloc(av_frame_alloc(), "av_frame_alloc")); }
inline PacketPtr allocPacket() { return PacketPtr(checkAlloc(av_packet_alloc(), "av_packet_alloc")); }

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
