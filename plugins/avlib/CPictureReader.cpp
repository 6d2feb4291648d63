#include "plugins/avlib/CPictureReader.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <limits>
#include <utility>

namespace nebo::avlib {

CPictureReader::CPictureReader(std::unique_ptr<CDemuxer> demuxer, int streamIndex, lumo::P<lumo::IMemoryManager> memory)
    : m_demuxer(std::move(demuxer)), m_buffers(memory), m_decoder(*m_demuxer, streamIndex), m_maker(std::move(memory)),
      m_pending(makeFrame(m_demuxer->getURI())), m_dropBefore(-std::numeric_limits<double>::infinity())
{
    m_buffers.attach(m_decoder.getContext());
}

void CPictureReader::setMaxSize(int32_t width, int32_t height)
{
    m_maker.setMaxSize(width, height);
    m_made = nullptr;
}

SPictureSize CPictureReader::getPictureSize() const
{
    return m_maker.getPictureSize(m_decoder.getContext().width, m_decoder.getContext().height);
}

AVRational CPictureReader::getFrameRate() const
{
    return av_guess_frame_rate(&m_demuxer->getContext(), &m_decoder.getStream(), nullptr);
}

AVRational CPictureReader::getPixelAspect() const
{
    const AVRational aspect = m_decoder.getStream().sample_aspect_ratio.num > 0
                                  ? m_decoder.getStream().sample_aspect_ratio
                                  : m_decoder.getContext().sample_aspect_ratio;
    return aspect.num > 0 && aspect.den > 0 ? aspect : AVRational{1, 1};
}

std::string CPictureReader::describe() const
{
    const AVCodecContext& context = m_decoder.getContext();
    const char* format = av_get_pix_fmt_name(context.pix_fmt);
    const AVRational rate = getFrameRate();
    return "pictures from stream " + std::to_string(m_demuxer->getSelectedStream()) + ": " +
           avcodec_get_name(context.codec_id) + " " + std::to_string(context.width) + "x" +
           std::to_string(context.height) + " " + (format ? format : "(format unknown)") + " at " +
           std::to_string(rate.num) + "/" + std::to_string(rate.den) + " per second";
}

lumo::P<common::INEBPicture> CPictureReader::getNextPicture()
{
    makeAhead();
    m_bPending = false;
    return std::exchange(m_made, nullptr);
}

void CPictureReader::makeAhead()
{
    if (!m_made && fillPending())
        m_made = m_maker.makePicture(*m_pending, m_pendingTime, m_demuxer->getURI());
}

std::optional<double> CPictureReader::peekNextTimestamp()
{
    return fillPending() ? std::optional<double>(m_pendingTime) : std::nullopt;
}

bool CPictureReader::isAtEnd() { return !fillPending(); }

void CPictureReader::skipToTime(double seconds)
{
    m_bPending = false;
    m_made = nullptr;
    m_lastTime.reset();
    m_dropBefore = seconds;
    m_decoder.seek(seconds);
}

bool CPictureReader::fillPending()
{
    while (!m_bPending) {
        av_frame_unref(m_pending.get());
        if (!m_decoder.receiveFrame(*m_pending))
            return false;
        const double time =
            m_decoder.getTimestamp(*m_pending).value_or(m_lastTime ? *m_lastTime + frameDuration() : 0.0);
        m_lastTime = time;
        if (time < m_dropBefore)
            continue;
        m_pendingTime = time;
        m_bPending = true;
    }
    return true;
}

double CPictureReader::frameDuration() const
{
    const AVRational rate = getFrameRate();
    return rate.num > 0 ? static_cast<double>(rate.den) / rate.num : 0.0;
}

} // namespace nebo::avlib
