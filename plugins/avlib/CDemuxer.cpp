#include "plugins/avlib/CDemuxer.h"

#include "plugins/avlib/throwAvError.h"

extern "C" {
#include <libavutil/dict.h>
}

#include <cmath>
#include <limits>
#include <string>

namespace nebo::avlib {

namespace {

FormatContextPtr openFile(const lumo::IURI& uri)
{
    // The file protocol takes the rest of the text as the path, whatever
    // characters it holds.
    const std::string path = "file:" + uri.getNativePath().toUTF8();
    AVDictionary* options = nullptr;
    // A playlist or reference file must not make the plugin reach out to
    // the network or run other protocols.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* context = nullptr;
    const int result = avformat_open_input(&context, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    checkAvResult(result, uri, "open the file");
    FormatContextPtr owner(context);
    checkAvResult(avformat_find_stream_info(context, nullptr), uri, "read the streams");
    return owner;
}

// The time stamp for `seconds`, rounded down, kept in the range of int64.
int64_t toTimestamp(double seconds, AVRational timeBase)
{
    const double units = std::floor(seconds * timeBase.den / timeBase.num);
    constexpr double limit = 9.0e18;
    return static_cast<int64_t>(std::fmax(-limit, std::fmin(limit, units)));
}

} // namespace

double toSeconds(int64_t timestamp, AVRational timeBase) { return static_cast<double>(timestamp) * av_q2d(timeBase); }

CDemuxer::CDemuxer(const lumo::IURI& uri) : m_uri(lumo::make<lumo::CURI>(uri.getText())), m_context(openFile(uri)) {}

int CDemuxer::findBestStream(AVMediaType type) const
{
    const int index = av_find_best_stream(m_context.get(), type, -1, -1, nullptr, 0);
    return index < 0 ? -1 : index;
}

std::vector<int> CDemuxer::findStreams(AVMediaType type) const
{
    std::vector<int> found;
    for (unsigned index = 0; index < m_context->nb_streams; ++index)
        if (m_context->streams[index]->codecpar->codec_type == type)
            found.push_back(static_cast<int>(index));
    return found;
}

void CDemuxer::selectStream(int index)
{
    for (unsigned other = 0; other < m_context->nb_streams; ++other)
        m_context->streams[other]->discard = static_cast<int>(other) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    m_selected = index;
}

bool CDemuxer::readPacket(AVPacket& packet)
{
    for (;;) {
        const int result = av_read_frame(m_context.get(), &packet);
        if (result == AVERROR_EOF)
            return false;
        checkAvResult(result, *m_uri, "read a packet");
        if (packet.stream_index == m_selected)
            return true;
        av_packet_unref(&packet);
    }
}

void CDemuxer::seek(double seconds)
{
    const int64_t target = toTimestamp(seconds, getStream(m_selected).time_base);
    if (av_seek_frame(m_context.get(), m_selected, target, AVSEEK_FLAG_BACKWARD) >= 0)
        return;
    // Some formats find no key frame before their first one: take the
    // nearest instead.
    checkAvResult(avformat_seek_file(m_context.get(), m_selected, std::numeric_limits<int64_t>::min(), target,
                                     std::numeric_limits<int64_t>::max(), 0),
                  *m_uri, "seek");
}

bool CDemuxer::rewind()
{
    return !(m_context->iformat->flags & AVFMT_NO_BYTE_SEEK) &&
           av_seek_frame(m_context.get(), -1, 0, AVSEEK_FLAG_BYTE) >= 0;
}

double CDemuxer::getDuration(int streamIndex) const
{
    if (m_context->duration != AV_NOPTS_VALUE && m_context->duration > 0)
        return toSeconds(m_context->duration, AVRational{1, AV_TIME_BASE});
    const AVStream& stream = getStream(streamIndex);
    return stream.duration != AV_NOPTS_VALUE && stream.duration > 0 ? toSeconds(stream.duration, stream.time_base)
                                                                    : 0.0;
}

} // namespace nebo::avlib
