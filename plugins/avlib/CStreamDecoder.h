#pragma once

#include "plugins/avlib/CDemuxer.h"

#include <optional>

namespace nebo::avlib {

// The library's decoder for the stream a demuxer has selected, fed from that
// demuxer. Every failure of the library throws (see throwAvError). Not
// locked.
class CStreamDecoder {
public:
    // Decodes stream `streamIndex`, which the demuxer reads from now on, and
    // nothing else. The demuxer must outlive the decoder.
    CStreamDecoder(CDemuxer& demuxer, int streamIndex);
    CStreamDecoder(const CStreamDecoder&) = delete;
    CStreamDecoder& operator=(const CStreamDecoder&) = delete;

    AVCodecContext& getContext() const { return *m_context; }
    AVStream& getStream() const { return m_demuxer.getStream(m_demuxer.getSelectedStream()); }
    const lumo::IURI& getURI() const { return m_demuxer.getURI(); }

    // The next frame in presentation order into `frame`, which the caller
    // has unreferenced; false after the last one.
    bool receiveFrame(AVFrame& frame);
    // Seconds of the frame's best-effort time stamp, when it has one.
    std::optional<double> getTimestamp(const AVFrame& frame) const;
    // Drops what the decoder holds and moves the reading back so that the
    // frames that follow start at or before `seconds`, unless the stream
    // itself starts later. Frames are decoded from there on.
    void seek(double seconds);

private:
    void sendNextPacket();
    // Whether a frame decoded after a seek may stand; otherwise the reading
    // has moved further back.
    bool acceptAfterSeek(const AVFrame& frame);
    void seekDemuxer(double seconds);
    // Moves the reading further back than the last try after a seek; false
    // when it cannot go further.
    bool stepBack();

    CDemuxer& m_demuxer;
    CodecContextPtr m_context;
    PacketPtr m_packet;
    // While the first frame after a seek is awaited: the time asked for,
    // the point the reading went back to, how far it goes back next, and
    // whether it went back to the file's first byte.
    std::optional<double> m_seekTarget;
    double m_seekPoint = 0.0;
    double m_seekStep = 0.0;
    bool m_bRewound = false;
};

} // namespace nebo::avlib
