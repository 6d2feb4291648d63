#include "plugins/avlib/CSoundDecoder.h"

#include "plugins/avlib/throwAvError.h"

#include <cerrno>
#include <limits>

namespace nebo::avlib {

using lumo::P;

namespace {

int rateOf(const CDemuxer& demuxer, int streamIndex)
{
    const int rate = demuxer.getStream(streamIndex).codecpar->sample_rate;
    if (rate <= 0)
        throwMediaError(demuxer.getURI(), "the sound stream names no sample rate");
    return rate;
}

// A layout that names its channels; one that only counts them gets the
// usual layout for that count.
AVChannelLayout namedLayout(const AVChannelLayout& layout)
{
    AVChannelLayout named{};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&named, layout.nb_channels);
    else
        av_channel_layout_copy(&named, &layout);
    return named;
}

} // namespace

CSoundDecoder::CSoundDecoder(std::unique_ptr<CDemuxer> demuxer, int streamIndex, P<lumo::IMemoryManager> memory)
    : m_demuxer(std::move(demuxer)), m_decoder(*m_demuxer, streamIndex), m_memory(std::move(memory)),
      m_frame(makeFrame(m_demuxer->getURI())), m_rate(rateOf(*m_demuxer, streamIndex)),
      m_layout(namedLayout(m_decoder.getStream().codecpar->ch_layout))
{
    // Without channels the layout holds nothing to release.
    if (m_layout.nb_channels <= 0)
        throwMediaError(m_demuxer->getURI(), "the sound stream names no channels");
}

CSoundDecoder::~CSoundDecoder()
{
    av_channel_layout_uninit(&m_layout);
    av_channel_layout_uninit(&m_inputLayout);
}

P<audio::CAudioChunk> CSoundDecoder::decodeChunk()
{
    for (;;) {
        av_frame_unref(m_frame.get());
        if (!m_decoder.receiveFrame(*m_frame))
            break;
        prepareResampler(*m_frame);
        // Samples the resampler holds back come out ahead of this frame's.
        const double delay = static_cast<double>(swr_get_delay(m_resampler.get(), m_rate)) / m_rate;
        const double timestamp = m_decoder.getTimestamp(*m_frame).value_or(m_nextTime + delay) - delay;
        if (P<audio::CAudioChunk> chunk = convert(m_frame.get(), timestamp))
            return chunk;
    }
    if (m_bFlushed || !m_resampler)
        return nullptr;
    m_bFlushed = true;
    return convert(nullptr, m_nextTime);
}

void CSoundDecoder::seek(double seconds)
{
    m_decoder.seek(seconds);
    // What the resampler holds belongs before the new position.
    m_resampler.reset();
    m_bFlushed = false;
}

void CSoundDecoder::prepareResampler(const AVFrame& frame)
{
    AVChannelLayout input = namedLayout(frame.ch_layout);
    const bool bSameInput = m_resampler && m_inputFormat == frame.format && m_inputRate == frame.sample_rate &&
                            av_channel_layout_compare(&m_inputLayout, &input) == 0;
    if (bSameInput) {
        av_channel_layout_uninit(&input);
        return;
    }
    av_channel_layout_uninit(&m_inputLayout);
    m_inputLayout = input;
    m_inputFormat = frame.format;
    m_inputRate = frame.sample_rate;
    SwrContext* resampler = nullptr;
    checkAvResult(swr_alloc_set_opts2(&resampler, &m_layout, AV_SAMPLE_FMT_S16, m_rate, &m_inputLayout,
                                      static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr),
                  m_demuxer->getURI(), "set up the resampler");
    m_resampler.reset(resampler);
    checkAvResult(swr_init(resampler), m_demuxer->getURI(), "set up the resampler");
}

P<audio::CAudioChunk> CSoundDecoder::convert(const AVFrame* frame, double timestamp)
{
    const lumo::IURI& uri = m_demuxer->getURI();
    const int inputCount = frame ? frame->nb_samples : 0;
    const int room = checkAvResult(swr_get_out_samples(m_resampler.get(), inputCount), uri, "resample");
    const int64_t frameBytes = int64_t(getChannelCount()) * bytesPerSample;
    if (room <= 0)
        return nullptr;
    if (room * frameBytes > std::numeric_limits<int32_t>::max())
        throwMediaError(uri, "a decoded sound frame is too large");
    P<lumo::IMemoryBlock> block = m_memory->allocate(static_cast<int32_t>(room * frameBytes));
    uint8_t* output = block->getData();
    const auto** input = frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr;
    const int converted =
        checkAvResult(swr_convert(m_resampler.get(), &output, room, input, inputCount), uri, "resample");
    if (converted == 0)
        return nullptr;
    block->setSize(static_cast<int32_t>(converted * frameBytes));
    m_nextTime = timestamp + static_cast<double>(converted) / m_rate;
    return lumo::make<audio::CAudioChunk>(timestamp, std::move(block));
}

} // namespace nebo::avlib
