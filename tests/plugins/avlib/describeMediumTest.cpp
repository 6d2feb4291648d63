// The facts of clips as the plugin opens them, against what the library reports when the test decodes them itself.
#include "plugins/avlib/describeMedium.h"

#include "host/plugin/CMediumFacts.h"
#include "platform/CTempFolder.h"
#include "plugins/avlib/CDemuxer.h"
#include "support/avlibHandles.h"
#include "support/writeTestClip.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}

#include <cmath>
#include <tuple>

namespace {

using nebo::common::SMediumFacts;
using nebo::common::SRatio;
using nebo::testing::checkAv;
using nebo::testing::STestClip;

// The first frame the stream's decoder makes, and the decoder that made it.
struct SDecoded {
    nebo::testing::CodecContextPtr decoder;
    nebo::testing::FramePtr frame;
};

SDecoded decodeFirstFrame(AVFormatContext& context, int index)
{
    const AVCodecParameters& codec = *context.streams[index]->codecpar;
    SDecoded decoded{nebo::testing::CodecContextPtr(avcodec_alloc_context3(nullptr)), nebo::testing::allocFrame()};
    checkAv(avcodec_parameters_to_context(decoded.decoder.get(), &codec), "parameters_to_context");
    checkAv(avcodec_open2(decoded.decoder.get(), avcodec_find_decoder(codec.codec_id), nullptr), "open decoder");
    checkAv(av_seek_frame(&context, -1, 0, AVSEEK_FLAG_BACKWARD), "seek");
    const nebo::testing::PacketPtr packet = nebo::testing::allocPacket();
    while (av_read_frame(&context, packet.get()) >= 0) {
        if (packet->stream_index == index)
            checkAv(avcodec_send_packet(decoded.decoder.get(), packet.get()), "send_packet");
        av_packet_unref(packet.get());
        if (avcodec_receive_frame(decoded.decoder.get(), decoded.frame.get()) >= 0)
            return decoded;
    }
    throw std::runtime_error("no frame in stream " + std::to_string(index));
}

std::string text(const char* value) { return value ? value : ""; }

SRatio reduce(int64_t num, int64_t den)
{
    SRatio ratio;
    av_reduce(&ratio.num, &ratio.den, num, den, 1 << 20);
    return ratio;
}

// Longer texts arrive cut short at a character boundary, never beyond the bound.
void expectText(const lumo::String& fact, const std::string& library)
{
    const std::string cut = fact.toUTF8();
    if (library.size() <= size_t{nebo::common::CMediumFacts::maxTextBytes}) {
        EXPECT_EQ(cut, library);
        return;
    }
    EXPECT_EQ(library.compare(0, cut.size(), cut), 0);
    EXPECT_GT(cut.size(), size_t{nebo::common::CMediumFacts::maxTextBytes} - 4);
    EXPECT_LE(cut.size(), size_t{nebo::common::CMediumFacts::maxTextBytes});
    EXPECT_NE(static_cast<unsigned char>(library[cut.size()]) & 0xC0, 0x80) << "a character split at " << cut.size();
}

void expectMediumAsLibrary(const SMediumFacts& facts, const AVFormatContext& context)
{
    EXPECT_EQ(facts.container.toUTF8(), context.iformat->name);
    expectText(facts.containerDescription, context.iformat->long_name);
    EXPECT_EQ(facts.bitRate, context.bit_rate);
    std::vector<const AVDictionaryEntry*> tags;
    for (const AVDictionaryEntry* tag = nullptr; (tag = av_dict_get(context.metadata, "", tag, AV_DICT_IGNORE_SUFFIX));)
        tags.push_back(tag);
    ASSERT_EQ(facts.tags.size(), std::min<size_t>(tags.size(), nebo::common::CMediumFacts::maxTags));
    for (size_t i = 0; i < facts.tags.size(); ++i) {
        EXPECT_EQ(facts.tags[i].first.toUTF8(), tags[i]->key);
        expectText(facts.tags[i].second, tags[i]->value);
    }
    ASSERT_EQ(facts.chapters.size(), context.nb_chapters);
    for (size_t i = 0; i < facts.chapters.size(); ++i) {
        const AVChapter& chapter = *context.chapters[i];
        EXPECT_DOUBLE_EQ(facts.chapters[i].start, static_cast<double>(chapter.start) * av_q2d(chapter.time_base));
        EXPECT_DOUBLE_EQ(facts.chapters[i].end, static_cast<double>(chapter.end) * av_q2d(chapter.time_base));
        const AVDictionaryEntry* title = av_dict_get(chapter.metadata, "title", nullptr, 0);
        EXPECT_EQ(facts.chapters[i].title.toUTF8(), text(title ? title->value : nullptr));
    }
}

void expectPicturesAsLibrary(const nebo::common::SPictureStreamFacts& facts, AVFormatContext& context)
{
    AVStream& stream = *context.streams[facts.index];
    ASSERT_EQ(stream.codecpar->codec_type, AVMEDIA_TYPE_VIDEO);
    const SDecoded decoded = decodeFirstFrame(context, facts.index);
    const AVFrame& frame = *decoded.frame;
    EXPECT_EQ(facts.codec.toUTF8(), avcodec_get_name(stream.codecpar->codec_id));
    EXPECT_EQ(facts.profile.toUTF8(), text(avcodec_profile_name(stream.codecpar->codec_id, decoded.decoder->profile)));
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    ASSERT_TRUE(format);
    EXPECT_EQ(facts.pixelFormat.toUTF8(), format->name);
    EXPECT_EQ(facts.bitDepth, format->comp[0].depth);
    const AVRational sampleAspect = av_guess_sample_aspect_ratio(&context, &stream, decoded.frame.get());
    const SRatio expectedAspect = sampleAspect.num > 0 ? reduce(sampleAspect.num, sampleAspect.den) : SRatio{};
    EXPECT_EQ(facts.sampleAspect.num, expectedAspect.num);
    EXPECT_EQ(facts.sampleAspect.den, expectedAspect.den);
    const SRatio shown = sampleAspect.num > 0 ? expectedAspect : SRatio{1, 1};
    const SRatio displayAspect = reduce(int64_t{frame.width} * shown.num, int64_t{frame.height} * shown.den);
    EXPECT_EQ(facts.displayAspect.num, displayAspect.num);
    EXPECT_EQ(facts.displayAspect.den, displayAspect.den);
    const uint8_t* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    const double counterClockwise = matrix ? av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix)) : 0.0;
    EXPECT_EQ(facts.rotation, (360 - std::lround(counterClockwise)) % 360);
    EXPECT_EQ(facts.colourRange.toUTF8(),
              frame.color_range == AVCOL_RANGE_UNSPECIFIED ? "" : av_color_range_name(frame.color_range));
}

void expectSoundAsLibrary(const nebo::common::SSoundTrackFacts& facts, AVFormatContext& context, int index)
{
    const AVStream& stream = *context.streams[index];
    const SDecoded decoded = decodeFirstFrame(context, index);
    EXPECT_EQ(facts.codec.toUTF8(), avcodec_get_name(stream.codecpar->codec_id));
    const int rawBits = decoded.decoder->bits_per_raw_sample;
    EXPECT_EQ(facts.bitsPerSample,
              rawBits > 0 ? rawBits : av_get_bytes_per_sample(static_cast<AVSampleFormat>(decoded.frame->format)) * 8);
    char layout[256] = {};
    av_channel_layout_describe(&decoded.frame->ch_layout, layout, sizeof layout);
    EXPECT_EQ(facts.channelLayout.toUTF8(), layout);
    const AVDictionaryEntry* language = av_dict_get(stream.metadata, "language", nullptr, 0);
    EXPECT_EQ(facts.language.toUTF8(), text(language ? language->value : nullptr));
}

// Many tags, one of them longer than the bound and made of two-byte characters that the bound would split.
std::vector<std::pair<std::string, std::string>> manyTags()
{
    std::vector<std::pair<std::string, std::string>> tags = {{"title", "Chaptered"}, {"long", "a"}};
    for (int i = 0; i < 3000; ++i)
        tags[1].second += "\xC3\xA9";
    for (int i = 0; i < 300; ++i)
        tags.emplace_back("tag" + std::to_string(i), std::to_string(i));
    return tags;
}

TEST(describeMediumTest, TellsWhatTheLibraryKnows)
{
    // What the test states outright beside the library's view.
    // clang-format off
    const struct {
        const char* file; STestClip clip; const char *codec, *pixelFormat, *chromaSubsampling; int32_t bitDepth;
        SRatio sampleAspect, displayAspect; int32_t rotation; std::vector<std::string> soundFormats;
    } cases[] = {
        {"h264.mp4",
         {nebo::testing::SVideoSettings{"libx264", "yuv420p", 320, 240, 25, 3, 0, 4, 3, 90},
          {{"aac", 48000, 2, 0.2, "eng", 0}}, {{"title", "Facts"}}, {}},
         "h264", "yuv420p", "4:2:0", 8, {4, 3}, {16, 9}, 90, {"f32"}},
        {"chapters.mkv",
         {nebo::testing::SVideoSettings{"ffv1", "yuv422p10le", 64, 48, 25, 3},
          {{"pcm_s24le", 48000, 2, 0.2, "eng", 0}, {"flac", 22050, 1, 0.2, "fra", 1}}, manyTags(),
          {{0.0, 0.04, "One"}, {0.04, 0.12, "Two"}}},
         "ffv1", "yuv422p10le", "4:2:2", 10, {}, {4, 3}, 0, {"s24", "s16"}},
        // The encoder states square samples where none were asked for.
        {"turned.mov", {nebo::testing::SVideoSettings{"mpeg4", "yuv420p", 64, 48, 25, 3, 0, 0, 1, 270}, {}, {}, {}},
         "mpeg4", "yuv420p", "4:2:0", 8, {1, 1}, {4, 3}, 270, {}},
    };
    // clang-format on
    const lumo::CTempFolder clips;
    for (const auto& test : cases) {
        SCOPED_TRACE(test.file);
        const std::string path = clips.pathOf(test.file);
        nebo::testing::writeTestClip(path, test.clip);
        const nebo::avlib::CDemuxer demuxer(*lumo::CURI::fromNativePath(lumo::String::fromUTF8(path)));
        const SMediumFacts facts = nebo::avlib::describeMedium(demuxer.getContext());
        AVFormatContext* opened = nullptr;
        checkAv(avformat_open_input(&opened, path.c_str(), nullptr, nullptr), "open " + path);
        const nebo::testing::InputPtr context(opened);
        checkAv(avformat_find_stream_info(opened, nullptr), "find_stream_info");
        expectMediumAsLibrary(facts, *context);

        ASSERT_EQ(facts.pictureStreams.size(), 1u);
        const nebo::common::SPictureStreamFacts& pictures = facts.pictureStreams[0];
        expectPicturesAsLibrary(pictures, *context);
        EXPECT_EQ(std::tuple(pictures.codec.toUTF8(), pictures.pixelFormat.toUTF8(),
                             pictures.chromaSubsampling.toUTF8(), pictures.bitDepth, pictures.sampleAspect.num,
                             pictures.sampleAspect.den, pictures.displayAspect.num, pictures.displayAspect.den,
                             pictures.rotation),
                  std::tuple(test.codec, test.pixelFormat, test.chromaSubsampling, test.bitDepth, test.sampleAspect.num,
                             test.sampleAspect.den, test.displayAspect.num, test.displayAspect.den, test.rotation));

        // Numbered among the audio streams, as the plugin's list of them is.
        ASSERT_EQ(facts.soundTracks.size(), test.clip.audio.size());
        int32_t number = 0;
        for (unsigned index = 0; index < context->nb_streams; ++index) {
            if (context->streams[index]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
                continue;
            SCOPED_TRACE("sound track " + std::to_string(number));
            const nebo::common::SSoundTrackFacts& track = facts.soundTracks[static_cast<size_t>(number)];
            EXPECT_EQ(track.index, number);
            expectSoundAsLibrary(track, *context, static_cast<int>(index));
            EXPECT_EQ(track.sampleFormat.toUTF8(), test.soundFormats[static_cast<size_t>(number)]);
            ++number;
        }
    }
}

} // namespace
