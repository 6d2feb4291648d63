#include "plugins/avlib/avHolders.h"

#include "plugins/avlib/throwAvError.h"

#include <cerrno>

namespace nebo::avlib {

FramePtr makeFrame(const lumo::IURI& uri)
{
    FramePtr frame(av_frame_alloc());
    if (!frame)
        throwAvError(AVERROR(ENOMEM), uri, "make a frame");
    return frame;
}

PacketPtr makePacket(const lumo::IURI& uri)
{
    PacketPtr packet(av_packet_alloc());
    if (!packet)
        throwAvError(AVERROR(ENOMEM), uri, "make a packet");
    return packet;
}

} // namespace nebo::avlib
