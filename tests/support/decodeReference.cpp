#include "support/decodeReference.h"

#include "support/avlibHandles.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <functional>

namespace nebo::testing {

namespace {

InputPtr openInput(const std::string& path)
{
    AVFormatContext* context = nullptr;
    checkAv(avformat_open_input(&context, path.c_str(), nullptr, nullptr), "cannot open " + path);
    InputPtr input(context);
    checkAv(avformat_find_stream_info(context, nullptr), "cannot read the streams of " + path);
    return input;
}

CodecContextPtr openDecoder(const AVStream& stream)
{
    const AVCodec* decoder = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!decoder)
        throw std::runtime_error(std::string("no decoder for ") + avcodec_get_name(stream.codecpar->codec_id));
    CodecContextPtr codec(checkAlloc(avcodec_alloc_context3(decoder), "avcodec_alloc_context3"));
    checkAv(avcodec_parameters_to_context(codec.get(), stream.codecpar), "avcodec_parameters_to_context");
    codec->pkt_timebase = stream.time_base;
    checkAv(avcodec_open2(codec.get(), decoder, nullptr), std::string("cannot open decoder ") + decoder->name);
    return codec;
}

// Hands `onFrame` every frame `codec` makes of the stream's packets, those the decoder holds at the end too.
void decodeStream(AVFormatContext& input, const AVStream& stream, AVCodecContext& codec,
                  const std::function<void(const AVFrame&)>& onFrame)
{
    FramePtr frame = allocFrame();
    auto receiveFrames = [&] {
        for (;;) {
            int result = avcodec_receive_frame(&codec, frame.get());
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return;
            checkAv(result, "avcodec_receive_frame");
            onFrame(*frame);
            av_frame_unref(frame.get());
        }
    };
    PacketPtr packet = allocPacket();
    for (;;) {
        int result = av_read_frame(&input, packet.get());
        if (result == AVERROR_EOF)
            break;
        checkAv(result, "av_read_frame");
        const bool bOfStream = packet->stream_index == stream.index;
        result = bOfStream ? avcodec_send_packet(&codec, packet.get()) : 0;
        av_packet_unref(packet.get());
        checkAv(result, "avcodec_send_packet");
        if (bOfStream)
            receiveFrames();
    }
    checkAv(avcodec_send_packet(&codec, nullptr), "avcodec_send_packet");
    receiveFrames();
}

struct SPlaneCopy {
    int sourcePlane, rows, bytesPerRow;
};

struct SLayoutFormat {
    AVPixelFormat format;
    std::vector<SPlaneCopy> planes; // in the order the layout stores them
};

// The library's format of each layout and its tight planes: chroma of width/2 by height/2, YV12 with V before U.
SLayoutFormat describeLayout(ELayout layout, int width, int height)
{
    switch (layout) {
    case ELayout::RGB:
        return {AV_PIX_FMT_BGRA, {{0, height, width * 4}}};
    case ELayout::YUY2:
        return {AV_PIX_FMT_YUYV422, {{0, height, width * 2}}};
    case ELayout::NV12:
        return {AV_PIX_FMT_NV12, {{0, height, width}, {1, height / 2, width}}};
    case ELayout::YV12:
        return {AV_PIX_FMT_YUV420P, {{0, height, width}, {2, height / 2, width / 2}, {1, height / 2, width / 2}}};
    }
    throw std::runtime_error("unknown picture layout");
}

// Copies row by row, so that padded and negative line sizes both work.
std::vector<uint8_t> copyTight(const AVFrame& picture, const SLayoutFormat& layout)
{
    std::vector<uint8_t> bytes;
    for (const SPlaneCopy& plane : layout.planes)
        for (int y = 0; y < plane.rows; ++y) {
            const uint8_t* row =
                picture.data[plane.sourcePlane] + static_cast<ptrdiff_t>(y) * picture.linesize[plane.sourcePlane];
            bytes.insert(bytes.end(), row, row + plane.bytesPerRow);
        }
    return bytes;
}

// Converts decoded pictures to one layout and size, with libswscale only when their format or size differs.
class CPictureLayouter {
public:
    CPictureLayouter(ELayout layout, int width, int height) : m_layout(layout), m_width(width), m_height(height) {}

    SReferencePicture layOut(const AVFrame& decoded, double timestamp)
    {
        int width = m_width > 0 && m_height > 0 ? m_width : decoded.width;
        int height = m_width > 0 && m_height > 0 ? m_height : decoded.height;
        SLayoutFormat layout = describeLayout(m_layout, width, height);
        bool bAsWanted = width == decoded.width && height == decoded.height && decoded.format == layout.format;
        return {timestamp, width, height,
                copyTight(bAsWanted ? decoded : convert(decoded, layout.format, width, height), layout)};
    }

private:
    const AVFrame& convert(const AVFrame& decoded, AVPixelFormat format, int width, int height)
    {
        if (!m_converted || m_converted->width != width || m_converted->height != height)
            m_converted = allocPicture(format, width, height);
        m_scaler.reset(sws_getCachedContext(m_scaler.release(), decoded.width, decoded.height,
                                            static_cast<AVPixelFormat>(decoded.format), width, height, format,
                                            SWS_BICUBIC, nullptr, nullptr, nullptr));
        checkAlloc(m_scaler.get(), "sws_getCachedContext");
        sws_scale(m_scaler.get(), decoded.data, decoded.linesize, 0, decoded.height, m_converted->data,
                  m_converted->linesize);
        return *m_converted;
    }

    ELayout m_layout;
    int m_width;
    int m_height;
    FramePtr m_converted;
    SwsPtr m_scaler;
};

const AVStream& findAudioStream(const AVFormatContext& input, int number, const std::string& path)
{
    for (unsigned i = 0; i < input.nb_streams; ++i)
        if (input.streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && number-- == 0)
            return *input.streams[i];
    throw std::runtime_error("no such audio stream in " + path);
}

// Converts decoded sound to interleaved 16-bit samples at its own rate and channel layout; set up from the first frame,
// which knows the real format. Kept at its rate, the sound leaves the converter at once: none is held back.
class CSoundConverter {
public:
    void add(const AVFrame& frame)
    {
        if (!m_resampler)
            open(frame);
        const size_t start = m_samples.size();
        m_samples.resize(start + static_cast<size_t>(frame.nb_samples) * m_channels);
        uint8_t* output = reinterpret_cast<uint8_t*>(m_samples.data() + start);
        const int converted = checkAv(swr_convert(m_resampler.get(), &output, frame.nb_samples,
                                                  const_cast<const uint8_t**>(frame.extended_data), frame.nb_samples),
                                      "swr_convert");
        m_samples.resize(start + static_cast<size_t>(converted) * m_channels);
    }

    std::vector<int16_t> finish() { return std::move(m_samples); }

private:
    void open(const AVFrame& frame)
    {
        AVChannelLayout layout{};
        if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&layout, frame.ch_layout.nb_channels);
        else
            checkAv(av_channel_layout_copy(&layout, &frame.ch_layout), "av_channel_layout_copy");
        SwrContext* resampler = nullptr;
        int result = swr_alloc_set_opts2(&resampler, &layout, AV_SAMPLE_FMT_S16, frame.sample_rate, &layout,
                                         static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
        av_channel_layout_uninit(&layout);
        checkAv(result, "swr_alloc_set_opts2");
        m_resampler.reset(resampler);
        checkAv(swr_init(resampler), "swr_init");
        m_channels = frame.ch_layout.nb_channels;
    }

    SwrPtr m_resampler;
    int m_channels = 0;
    std::vector<int16_t> m_samples;
};

} // namespace

std::vector<SReferencePicture> decodeReferencePictures(const std::string& path, ELayout layout, int width, int height)
{
    InputPtr input = openInput(path);
    int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    checkAv(index, "no picture stream in " + path);
    const AVStream& stream = *input->streams[index];
    CodecContextPtr codec = openDecoder(stream);

    CPictureLayouter layouter(layout, width, height);
    std::vector<SReferencePicture> pictures;
    decodeStream(*input, stream, *codec, [&](const AVFrame& frame) {
        if (frame.best_effort_timestamp == AV_NOPTS_VALUE)
            throw std::runtime_error("a picture without time stamp in " + path);
        double timestamp = static_cast<double>(frame.best_effort_timestamp) * av_q2d(stream.time_base);
        pictures.push_back(layouter.layOut(frame, timestamp));
    });
    return pictures;
}

std::vector<int16_t> decodeReferenceSound(const std::string& path, int number)
{
    InputPtr input = openInput(path);
    const AVStream& stream = findAudioStream(*input, number, path);
    CodecContextPtr codec = openDecoder(stream);
    CSoundConverter converter;
    decodeStream(*input, stream, *codec, [&](const AVFrame& frame) { converter.add(frame); });
    return converter.finish();
}

} // namespace nebo::testing
