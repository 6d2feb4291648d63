#include "support/writeTestClip.h"

#include "support/avlibHandles.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cmath>
#include <vector>

namespace nebo::testing {

namespace {

const AVCodec* findEncoder(const std::string& name)
{
    const AVCodec* encoder = avcodec_find_encoder_by_name(name.c_str());
    if (!encoder)
        throw std::runtime_error("no encoder named " + name);
    return encoder;
}

// One encoded track: its encoder, its stream and the frames it has still to make, counted in its time base. Subclasses
// configure the encoder, then call openEncoder.
class CTrack {
public:
    CTrack(AVFormatContext* output, const std::string& encoderName, int64_t total)
        : m_output(output), m_total(total), m_encoder(findEncoder(encoderName)),
          m_codec(checkAlloc(avcodec_alloc_context3(m_encoder), "avcodec_alloc_context3")),
          m_stream(checkAlloc(avformat_new_stream(output, nullptr), "avformat_new_stream")), m_frame(allocFrame()),
          m_packet(allocPacket())
    {
    }
    virtual ~CTrack() = default;

    // Encodes every frame, then flushes the encoder, and writes what comes out.
    void encodeAll()
    {
        while (m_next < m_total) {
            checkAv(av_frame_make_writable(m_frame.get()), "av_frame_make_writable");
            fillNextFrame(*m_frame);
            checkAv(avcodec_send_frame(m_codec.get(), m_frame.get()), "avcodec_send_frame");
            writePackets();
        }
        checkAv(avcodec_send_frame(m_codec.get(), nullptr), "avcodec_send_frame");
        writePackets();
    }

protected:
    // Fills the frame that starts at m_next and moves m_next past it.
    virtual void fillNextFrame(AVFrame& frame) = 0;

    void openEncoder()
    {
        if (m_output->oformat->flags & AVFMT_GLOBALHEADER)
            m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        checkAv(avcodec_open2(m_codec.get(), m_encoder, nullptr),
                std::string("cannot open encoder ") + m_encoder->name);
        checkAv(avcodec_parameters_from_context(m_stream->codecpar, m_codec.get()), "avcodec_parameters_from_context");
        m_stream->time_base = m_codec->time_base;
    }

    AVFormatContext* m_output;
    const int64_t m_total;
    int64_t m_next = 0;
    const AVCodec* m_encoder;
    CodecContextPtr m_codec;
    AVStream* m_stream;
    FramePtr m_frame;

private:
    void writePackets()
    {
        for (;;) {
            int result = avcodec_receive_packet(m_codec.get(), m_packet.get());
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return;
            checkAv(result, "avcodec_receive_packet");
            // Picture encoders leave the duration out, and without it the last picture falls outside an mp4 edit list.
            if (m_packet->duration == 0 && m_codec->codec_type == AVMEDIA_TYPE_VIDEO)
                m_packet->duration = av_rescale_q(1, av_inv_q(m_codec->framerate), m_codec->time_base);
            av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
            m_packet->stream_index = m_stream->index;
            checkAv(av_interleaved_write_frame(m_output, m_packet.get()), "av_interleaved_write_frame");
        }
    }

    PacketPtr m_packet;
};

// Pictures are drawn in yuv444p, a full plane per component, and converted to the encoder's format.
class CVideoTrack : public CTrack {
public:
    CVideoTrack(AVFormatContext* output, const SVideoSettings& settings)
        : CTrack(output, settings.encoder, settings.frames)
    {
        AVPixelFormat format = av_get_pix_fmt(settings.pixelFormat.c_str());
        if (format == AV_PIX_FMT_NONE)
            throw std::runtime_error("no pixel format named " + settings.pixelFormat);
        m_codec->width = settings.width;
        m_codec->height = settings.height;
        m_codec->pix_fmt = format;
        m_codec->time_base = AVRational{1, settings.fps};
        m_codec->framerate = AVRational{settings.fps, 1};
        if (settings.keyFrameInterval > 0)
            m_codec->gop_size = settings.keyFrameInterval;
        // Muxers refuse a stream whose aspect differs from its encoder's.
        m_codec->sample_aspect_ratio = m_stream->sample_aspect_ratio =
            AVRational{settings.sampleAspectNum, settings.sampleAspectDen};
        openEncoder();
        if (settings.rotation != 0) {
            auto* matrix = reinterpret_cast<int32_t*>(checkAlloc(
                av_stream_new_side_data(m_stream, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(int32_t)), "side data"));
            // The setter takes the clockwise turn (the getter answers counter-clockwise).
            av_display_rotation_set(matrix, settings.rotation);
        }

        m_frame = allocPicture(format, settings.width, settings.height);
        m_pattern = allocPicture(AV_PIX_FMT_YUV444P, settings.width, settings.height);
        m_scaler.reset(sws_getContext(settings.width, settings.height, AV_PIX_FMT_YUV444P, settings.width,
                                      settings.height, format, SWS_BICUBIC, nullptr, nullptr, nullptr));
        checkAlloc(m_scaler.get(), "sws_getContext to " + settings.pixelFormat);
    }

protected:
    void fillNextFrame(AVFrame& frame) override
    {
        drawPattern(*m_pattern, m_next);
        sws_scale(m_scaler.get(), m_pattern->data, m_pattern->linesize, 0, m_pattern->height, frame.data,
                  frame.linesize);
        frame.pts = m_next++;
    }

private:
    // Each component depends on x, y and n its own way: swapped planes or chroma and neighbours all differ.
    static void drawPattern(AVFrame& picture, int64_t n)
    {
        for (int y = 0; y < picture.height; ++y) {
            uint8_t* luma = picture.data[0] + y * picture.linesize[0];
            uint8_t* u = picture.data[1] + y * picture.linesize[1];
            uint8_t* v = picture.data[2] + y * picture.linesize[2];
            for (int x = 0; x < picture.width; ++x) {
                luma[x] = static_cast<uint8_t>(x * 3 + y * 5 + n * 7);
                u[x] = static_cast<uint8_t>(x * 5 + y * 2 + n * 11 + 64);
                v[x] = static_cast<uint8_t>(x + y * 7 + n * 13 + 128);
            }
        }
    }

    FramePtr m_pattern;
    SwsPtr m_scaler;
};

// A tone drawn as interleaved 16-bit samples and converted to the encoder's first sample format.
class CAudioTrack : public CTrack {
public:
    CAudioTrack(AVFormatContext* output, const SAudioSettings& settings)
        : CTrack(output, settings.encoder, std::lround(settings.seconds * settings.rate)), m_tone(settings.tone)
    {
        AVSampleFormat format = m_encoder->sample_fmts ? m_encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        m_codec->sample_fmt = format;
        m_codec->sample_rate = settings.rate;
        av_channel_layout_default(&m_codec->ch_layout, settings.channels);
        m_codec->time_base = AVRational{1, settings.rate};
        openEncoder();
        if (!settings.language.empty())
            av_dict_set(&m_stream->metadata, "language", settings.language.c_str(), 0);

        bool variableSize = m_encoder->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
        m_frameSize = m_codec->frame_size > 0 && !variableSize ? m_codec->frame_size : 1024;
        m_padsLastFrame =
            !(m_encoder->capabilities & (AV_CODEC_CAP_VARIABLE_FRAME_SIZE | AV_CODEC_CAP_SMALL_LAST_FRAME));

        m_frame->format = format;
        m_frame->sample_rate = settings.rate;
        m_frame->nb_samples = m_frameSize;
        checkAv(av_channel_layout_copy(&m_frame->ch_layout, &m_codec->ch_layout), "av_channel_layout_copy");
        checkAv(av_frame_get_buffer(m_frame.get(), 0), "av_frame_get_buffer");

        SwrContext* resampler = nullptr;
        checkAv(swr_alloc_set_opts2(&resampler, &m_codec->ch_layout, format, settings.rate, &m_codec->ch_layout,
                                    AV_SAMPLE_FMT_S16, settings.rate, 0, nullptr),
                "swr_alloc_set_opts2");
        m_resampler.reset(resampler);
        checkAv(swr_init(resampler), "swr_init");
    }

protected:
    void fillNextFrame(AVFrame& frame) override
    {
        int count = m_padsLastFrame ? m_frameSize : static_cast<int>(std::min<int64_t>(m_frameSize, m_total - m_next));
        int channels = m_codec->ch_layout.nb_channels;
        m_samples.assign(static_cast<size_t>(count) * channels, 0);
        for (int i = 0; i < count && m_next + i < m_total; ++i)
            for (int c = 0; c < channels; ++c)
                m_samples[static_cast<size_t>(i) * channels + c] = toneSample(m_next + i, c);
        const uint8_t* source = reinterpret_cast<const uint8_t*>(m_samples.data());
        frame.nb_samples = count;
        checkAv(swr_convert(m_resampler.get(), frame.data, count, &source, count), "swr_convert");
        frame.pts = m_next;
        m_next += count;
    }

private:
    // Each track and each channel has a pitch of its own.
    int16_t toneSample(int64_t index, int channel) const
    {
        const double pi = 3.14159265358979323846;
        double frequency = 220.0 * (m_tone + 1) + 55.0 * channel;
        double phase = 2 * pi * frequency * static_cast<double>(index) / m_codec->sample_rate;
        return static_cast<int16_t>(std::lround(12000 * std::sin(phase)));
    }

    int m_tone;
    int m_frameSize = 0;
    bool m_padsLastFrame = false;
    SwrPtr m_resampler;
    std::vector<int16_t> m_samples;
};

// The library frees the chapters with the context.
void addChapter(AVFormatContext& context, const STestChapter& chapter)
{
    context.chapters = static_cast<AVChapter**>(checkAlloc(
        av_realloc_array(context.chapters, context.nb_chapters + 1, sizeof(AVChapter*)), "av_realloc_array"));
    auto* added = static_cast<AVChapter*>(checkAlloc(av_mallocz(sizeof(AVChapter)), "av_mallocz"));
    context.chapters[context.nb_chapters++] = added;
    added->id = context.nb_chapters;
    added->time_base = AVRational{1, 1000};
    added->start = std::lround(chapter.start * 1000);
    added->end = std::lround(chapter.end * 1000);
    av_dict_set(&added->metadata, "title", chapter.title.c_str(), 0);
}

} // namespace

void writeTestClip(const std::string& path, const STestClip& clip)
{
    // The encoders' statistics would bury the tests' own output.
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext* context = nullptr;
    checkAv(avformat_alloc_output_context2(&context, nullptr, nullptr, path.c_str()), "no container for " + path);
    OutputPtr output(context);

    std::vector<std::unique_ptr<CTrack>> tracks;
    if (clip.video)
        tracks.push_back(std::make_unique<CVideoTrack>(context, *clip.video));
    for (const SAudioSettings& audio : clip.audio)
        tracks.push_back(std::make_unique<CAudioTrack>(context, audio));
    for (const auto& [key, value] : clip.tags)
        av_dict_set(&context->metadata, key.c_str(), value.c_str(), 0);
    for (const STestChapter& chapter : clip.chapters)
        addChapter(*context, chapter);

    if (!(context->oformat->flags & AVFMT_NOFILE))
        checkAv(avio_open(&context->pb, path.c_str(), AVIO_FLAG_WRITE), "cannot write " + path);
    checkAv(avformat_write_header(context, nullptr), "cannot write the header of " + path);
    // Track after track: the muxer interleaves the packets by their time.
    for (const std::unique_ptr<CTrack>& track : tracks)
        track->encodeAll();
    checkAv(av_write_trailer(context), "cannot finish " + path);
}

} // namespace nebo::testing
