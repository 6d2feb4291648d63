#include "plugins/avlib/describeMedium.h"

#include "host/plugin/CMediumFacts.h"
#include "host/plugin/cutFactText.h"
#include "plugins/avlib/CDemuxer.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}

#include <cmath>

namespace nebo::avlib {

namespace {

using common::CMediumFacts;

// The library's texts may be null.
lumo::String boundedText(const char* text) { return text ? common::cutFactText(text) : lumo::String(); }

lumo::String tagOf(const AVDictionary* metadata, const char* key)
{
    const AVDictionaryEntry* entry = av_dict_get(metadata, key, nullptr, 0);
    return boundedText(entry ? entry->value : nullptr);
}

int64_t boundedBitRate(int64_t bitRate) { return bitRate > 0 && bitRate <= CMediumFacts::maxBitRate ? bitRate : 0; }

// The library's names, none for the values it calls unspecified.
template <class T> lumo::String colourName(T value, T unspecified, const char* (*nameOf)(T))
{
    return value == unspecified ? lumo::String() : boundedText(nameOf(value));
}

void addTags(const AVDictionary* metadata, common::SMediumFacts& facts)
{
    const AVDictionaryEntry* entry = nullptr;
    while (facts.tags.size() < size_t{CMediumFacts::maxTags} &&
           (entry = av_dict_get(metadata, "", entry, AV_DICT_IGNORE_SUFFIX)))
        facts.tags.emplace_back(boundedText(entry->key), boundedText(entry->value));
}

// Chapters the master would refuse (times beyond its range, an end before
// the start) are left out.
void addChapters(const AVFormatContext& context, common::SMediumFacts& facts)
{
    for (unsigned i = 0; i < context.nb_chapters && facts.chapters.size() < size_t{CMediumFacts::maxChapters}; ++i) {
        const AVChapter& chapter = *context.chapters[i];
        if (chapter.time_base.num <= 0 || chapter.time_base.den <= 0)
            continue;
        common::SChapter found;
        found.start = toSeconds(chapter.start, chapter.time_base);
        found.end = toSeconds(chapter.end, chapter.time_base);
        found.title = tagOf(chapter.metadata, "title");
        const auto within = [](double seconds) { return std::fabs(seconds) <= CMediumFacts::maxChapterTime; };
        if (within(found.start) && within(found.end) && found.end >= found.start)
            facts.chapters.push_back(std::move(found));
    }
}

// The nearest ratio whose terms the master takes; unknown when a term
// would round to 0.
common::SRatio reduced(int64_t num, int64_t den)
{
    int reducedNum = 0;
    int reducedDen = 0;
    if (num > 0 && den > 0)
        av_reduce(&reducedNum, &reducedDen, num, den, CMediumFacts::maxRatioTerm);
    return reducedNum > 0 && reducedDen > 0 ? common::SRatio{reducedNum, reducedDen} : common::SRatio{};
}

lumo::String chromaSubsampling(const AVPixFmtDescriptor& format)
{
    constexpr uint64_t noChroma =
        AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BAYER;
    if ((format.flags & noChroma) || format.nb_components < 3)
        return lumo::String();
    struct SName {
        int log2Width, log2Height;
        const char* name;
    };
    static constexpr SName names[] = {{0, 0, "4:4:4"}, {1, 0, "4:2:2"}, {1, 1, "4:2:0"},
                                      {2, 0, "4:1:1"}, {0, 1, "4:4:0"}, {2, 2, "4:1:0"}};
    for (const SName& name : names)
        if (format.log2_chroma_w == name.log2Width && format.log2_chroma_h == name.log2Height)
            return lumo::String::fromUTF8(name.name);
    return lumo::String();
}

// The library answers the display matrix's turn counter-clockwise; a player
// applies that turn, which is its negation clockwise. Turns other than
// quarter turns stay unknown.
int32_t rotationOf(const AVStream& stream)
{
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t))
        return 0;
    const double counterClockwise = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (!std::isfinite(counterClockwise))
        return 0;
    const long clockwise = (-std::lround(counterClockwise) % 360 + 360) % 360;
    return clockwise % 90 == 0 ? static_cast<int32_t>(clockwise) : 0;
}

common::SPictureStreamFacts describePictures(const AVStream& stream)
{
    const AVCodecParameters& codec = *stream.codecpar;
    common::SPictureStreamFacts facts;
    facts.index = stream.index;
    facts.codec = boundedText(avcodec_get_name(codec.codec_id));
    facts.profile = boundedText(avcodec_profile_name(codec.codec_id, codec.profile));
    const auto pixelFormat = static_cast<AVPixelFormat>(codec.format);
    if (const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(pixelFormat)) {
        facts.pixelFormat = boundedText(format->name);
        facts.bitDepth = format->comp[0].depth <= CMediumFacts::maxBitDepth ? format->comp[0].depth : 0;
        facts.chromaSubsampling = chromaSubsampling(*format);
    }
    facts.colourRange = colourName(codec.color_range, AVCOL_RANGE_UNSPECIFIED, av_color_range_name);
    facts.colourPrimaries = colourName(codec.color_primaries, AVCOL_PRI_UNSPECIFIED, av_color_primaries_name);
    facts.colourTransfer = colourName(codec.color_trc, AVCOL_TRC_UNSPECIFIED, av_color_transfer_name);
    facts.colourMatrix = colourName(codec.color_space, AVCOL_SPC_UNSPECIFIED, av_color_space_name);
    const AVRational sampleAspect =
        stream.sample_aspect_ratio.num > 0 ? stream.sample_aspect_ratio : codec.sample_aspect_ratio;
    facts.sampleAspect = reduced(sampleAspect.num, sampleAspect.den);
    // Without a sample aspect a player shows square samples.
    const common::SRatio shown = facts.sampleAspect.num > 0 ? facts.sampleAspect : common::SRatio{1, 1};
    facts.displayAspect = reduced(int64_t{codec.width} * shown.num, int64_t{codec.height} * shown.den);
    facts.rotation = rotationOf(stream);
    facts.bitRate = boundedBitRate(codec.bit_rate);
    return facts;
}

// The medium's own sample format: 24-bit samples travel in 32-bit ones.
lumo::String sampleFormatName(AVSampleFormat format, int bitsPerRawSample)
{
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_NONE:
        return lumo::String();
    case AV_SAMPLE_FMT_U8:
        return lumo::String::fromUTF8("u8");
    case AV_SAMPLE_FMT_S16:
        return lumo::String::fromUTF8("s16");
    case AV_SAMPLE_FMT_S32:
        return lumo::String::fromUTF8(bitsPerRawSample == 24 ? "s24" : "s32");
    case AV_SAMPLE_FMT_FLT:
        return lumo::String::fromUTF8("f32");
    case AV_SAMPLE_FMT_DBL:
        return lumo::String::fromUTF8("f64");
    default:
        return boundedText(av_get_sample_fmt_name(format));
    }
}

lumo::String channelLayoutName(const AVChannelLayout& layout)
{
    if (layout.nb_channels <= 0)
        return lumo::String();
    char text[256] = {};
    return av_channel_layout_describe(&layout, text, sizeof text) > 0 ? boundedText(text) : lumo::String();
}

common::SSoundTrackFacts describeSound(const AVStream& stream, int32_t number)
{
    const AVCodecParameters& codec = *stream.codecpar;
    const auto sampleFormat = static_cast<AVSampleFormat>(codec.format);
    common::SSoundTrackFacts facts;
    facts.index = number;
    facts.codec = boundedText(avcodec_get_name(codec.codec_id));
    facts.profile = boundedText(avcodec_profile_name(codec.codec_id, codec.profile));
    facts.sampleFormat = sampleFormatName(sampleFormat, codec.bits_per_raw_sample);
    const int bits =
        codec.bits_per_raw_sample > 0 ? codec.bits_per_raw_sample : av_get_bytes_per_sample(sampleFormat) * 8;
    facts.bitsPerSample = bits > 0 && bits <= CMediumFacts::maxBitsPerSample ? bits : 0;
    facts.channelLayout = channelLayoutName(codec.ch_layout);
    facts.bitRate = boundedBitRate(codec.bit_rate);
    facts.language = tagOf(stream.metadata, "language");
    return facts;
}

void addStreams(const AVFormatContext& context, common::SMediumFacts& facts)
{
    constexpr size_t maxStreams = CMediumFacts::maxStreams;
    int32_t soundNumber = 0;
    for (unsigned i = 0; i < context.nb_streams && i <= unsigned{CMediumFacts::maxStreamIndex}; ++i) {
        const AVStream& stream = *context.streams[i];
        const AVMediaType type = stream.codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO && !(stream.disposition & AV_DISPOSITION_ATTACHED_PIC) &&
            facts.pictureStreams.size() < maxStreams)
            facts.pictureStreams.push_back(describePictures(stream));
        // Numbered as the plugin's list of audio streams numbers them, so
        // that the number chooses the track.
        if (type == AVMEDIA_TYPE_AUDIO && facts.soundTracks.size() < maxStreams)
            facts.soundTracks.push_back(describeSound(stream, soundNumber++));
    }
}

} // namespace

common::SMediumFacts describeMedium(const AVFormatContext& context)
{
    common::SMediumFacts facts;
    if (context.iformat) {
        facts.container = boundedText(context.iformat->name);
        facts.containerDescription = boundedText(context.iformat->long_name);
    }
    facts.bitRate = boundedBitRate(context.bit_rate);
    addTags(context.metadata, facts);
    addChapters(context, facts);
    addStreams(context, facts);
    return facts;
}

} // namespace nebo::avlib
