#include "plugins/avlib/CStreamDecoder.h"

#include "plugins/avlib/throwAvError.h"

#include <algorithm>
#include <cerrno>
#include <string>

namespace nebo::avlib {

namespace {

// A demuxer may land on a key frame that is shown after the time asked for
// (formats without an index are searched by decoding time, or only
// roughly); the reading then goes back by this much, doubling each time,
// then to the stream's start, and at last to the file's first byte (a move
// that formats with an index of their own may not follow, hence last).
constexpr double firstSeekStep = 1.0;

CodecContextPtr openDecoder(const AVStream& stream, const lumo::IURI& uri)
{
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec)
        throwMediaError(uri, std::string("no decoder for ") + avcodec_get_name(stream.codecpar->codec_id));
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context)
        throwAvError(AVERROR(ENOMEM), uri, "make a decoder");
    checkAvResult(avcodec_parameters_to_context(context.get(), stream.codecpar), uri, "set up the decoder");
    context->pkt_timebase = stream.time_base;
    checkAvResult(avcodec_open2(context.get(), codec, nullptr), uri, "open the decoder");
    return context;
}

double startOf(const AVStream& stream)
{
    return stream.start_time == AV_NOPTS_VALUE ? 0.0 : toSeconds(stream.start_time, stream.time_base);
}

} // namespace

CStreamDecoder::CStreamDecoder(CDemuxer& demuxer, int streamIndex)
    : m_demuxer(demuxer), m_context(openDecoder(demuxer.getStream(streamIndex), demuxer.getURI())),
      m_packet(makePacket(getURI()))
{
    m_demuxer.selectStream(streamIndex);
}

bool CStreamDecoder::receiveFrame(AVFrame& frame)
{
    for (;;) {
        const int result = avcodec_receive_frame(m_context.get(), &frame);
        if (result == 0) {
            if (acceptAfterSeek(frame))
                return true;
            av_frame_unref(&frame);
        } else if (result == AVERROR_EOF) {
            // A seek that found no frame at all may have gone past the last
            // key frame.
            if (!m_seekTarget || !stepBack()) {
                m_seekTarget.reset();
                return false;
            }
        } else if (result == AVERROR(EAGAIN)) {
            sendNextPacket();
        } else {
            throwAvError(result, getURI(), "decode");
        }
    }
}

void CStreamDecoder::sendNextPacket()
{
    if (!m_demuxer.readPacket(*m_packet)) {
        // Draining hands out what the decoder still holds, then the end.
        checkAvResult(avcodec_send_packet(m_context.get(), nullptr), getURI(), "decode");
        return;
    }
    const int result = avcodec_send_packet(m_context.get(), m_packet.get());
    av_packet_unref(m_packet.get());
    checkAvResult(result, getURI(), "decode");
}

std::optional<double> CStreamDecoder::getTimestamp(const AVFrame& frame) const
{
    if (frame.best_effort_timestamp == AV_NOPTS_VALUE)
        return std::nullopt;
    return toSeconds(frame.best_effort_timestamp, getStream().time_base);
}

void CStreamDecoder::seek(double seconds)
{
    m_seekTarget = seconds;
    m_seekStep = firstSeekStep;
    m_bRewound = false;
    seekDemuxer(seconds);
    avcodec_flush_buffers(m_context.get());
}

void CStreamDecoder::seekDemuxer(double seconds)
{
    m_seekPoint = seconds;
    m_demuxer.seek(seconds);
}

bool CStreamDecoder::acceptAfterSeek(const AVFrame& frame)
{
    if (!m_seekTarget)
        return true;
    // A stream that starts after the time asked for has nothing before its
    // first frame.
    const std::optional<double> timestamp = getTimestamp(frame);
    if (!timestamp || *timestamp <= std::max(*m_seekTarget, startOf(getStream())) || !stepBack()) {
        m_seekTarget.reset();
        return true;
    }
    return false;
}

bool CStreamDecoder::stepBack()
{
    const double start = startOf(getStream());
    const double earlier = m_seekPoint - m_seekStep;
    m_seekStep *= 2;
    if (earlier > start)
        seekDemuxer(earlier);
    else if (m_seekPoint > start)
        seekDemuxer(start);
    else if (!m_bRewound && m_demuxer.rewind())
        m_bRewound = true;
    else
        return false;
    avcodec_flush_buffers(m_context.get());
    return true;
}

} // namespace nebo::avlib
