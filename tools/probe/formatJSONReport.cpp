#include "tools/probe/formatJSONReport.h"

#include "tools/probe/describeFacts.h"

#include <nlohmann/json.hpp>

namespace nebo::probe {

namespace {

// Members keep the order they are written in, so that people can read them.
using CJSON = nlohmann::ordered_json;

CJSON optionalText(const std::string& text) { return text.empty() ? CJSON() : CJSON(text); }

CJSON optionalText(const lumo::String& text) { return optionalText(text.toUTF8()); }

// Zero stands for "not known".
template <class T> CJSON optionalNumber(T value) { return value > 0 ? CJSON(value) : CJSON(); }

CJSON describeRatio(const common::SRatio& ratio)
{
    if (ratio.num <= 0 || ratio.den <= 0)
        return CJSON();
    return {{"numerator", ratio.num}, {"denominator", ratio.den}};
}

// The facts of the stream the source decodes: the first the plugin names.
void addPictureStreamFacts(CJSON& stream, const SMediumReport& report)
{
    const bool bTold = report.facts && !report.facts->pictureStreams.empty();
    const common::SPictureStreamFacts none;
    const common::SPictureStreamFacts& facts = bTold ? report.facts->pictureStreams.front() : none;
    stream["index"] = bTold ? CJSON(facts.index) : CJSON();
    stream["codec"] = optionalText(facts.codec);
    stream["profile"] = optionalText(facts.profile);
    stream["pixel_format"] = optionalText(facts.pixelFormat);
    stream["bit_depth"] = optionalNumber(facts.bitDepth);
    stream["chroma_subsampling"] = optionalText(facts.chromaSubsampling);
    stream["colour_range"] = optionalText(facts.colourRange);
    stream["colour_primaries"] = optionalText(facts.colourPrimaries);
    stream["colour_transfer"] = optionalText(facts.colourTransfer);
    stream["colour_matrix"] = optionalText(facts.colourMatrix);
    stream["sample_aspect"] = describeRatio(facts.sampleAspect);
    stream["display_aspect"] = describeRatio(facts.displayAspect);
    stream["rotation"] = facts.rotation;
    stream["bit_rate"] = optionalNumber(facts.bitRate);
}

CJSON describePictures(const SPictureFacts& pictures, const SMediumReport& report)
{
    CJSON rate = {{"numerator", pictures.frameRateNumerator}, {"denominator", pictures.frameRateDenominator}};
    CJSON stream = {
        {"kind", "video"},
        {"width", pictures.width},
        {"height", pictures.height},
        {"frame_rate", rate},
        {"frames_per_second", pictures.frameRateDenominator == 0
                                  ? CJSON()
                                  : CJSON(double(pictures.frameRateNumerator) / pictures.frameRateDenominator)},
        {"layout", optionalText(report.layout)}};
    addPictureStreamFacts(stream, report);
    return stream;
}

CJSON describeTrack(const SSoundTrack& track, const SMediumReport& report)
{
    const common::SSoundTrackFacts none;
    const common::SSoundTrackFacts* told = findSoundTrackFacts(report, track.index);
    const common::SSoundTrackFacts& facts = told ? *told : none;
    return {{"index", track.index},
            {"codec", optionalText(track.codec.empty() ? facts.codec.toUTF8() : track.codec)},
            {"profile", optionalText(facts.profile)},
            {"language", optionalText(track.language.empty() ? facts.language.toUTF8() : track.language)},
            {"channels", optionalNumber(track.channels)},
            {"channel_layout", optionalText(facts.channelLayout)},
            {"sample_rate", optionalNumber(track.sampleRate)},
            {"sample_format", optionalText(facts.sampleFormat)},
            {"bits_per_sample", optionalNumber(facts.bitsPerSample)},
            {"bit_rate", optionalNumber(facts.bitRate)}};
}

CJSON describeSound(const SSoundFacts& sound, const SMediumReport& report)
{
    CJSON tracks = CJSON::array();
    for (const SSoundTrack& track : sound.tracks)
        tracks.push_back(describeTrack(track, report));
    const bool bFloat = report.facts && report.facts->deliveredSampleFormat.toUTF8() == "f32";
    return {{"kind", "audio"},
            {"sample_rate", sound.sampleRate},
            {"channels", sound.channels},
            {"bytes_per_sample", sound.bytesPerSample},
            {"floating_point", bFloat},
            {"tracks", tracks}};
}

CJSON describeStreams(const SMediumReport& report)
{
    CJSON streams = CJSON::array();
    if (report.pictures)
        streams.push_back(describePictures(*report.pictures, report));
    if (report.sound)
        streams.push_back(describeSound(*report.sound, report));
    return streams;
}

// The medium's own facts, each null (or empty) when not known.
void addMediumFacts(CJSON& format, const SMediumReport& report)
{
    const common::SMediumFacts none;
    const common::SMediumFacts& facts = report.facts ? *report.facts : none;
    format["container"] = optionalText(facts.container);
    format["container_description"] = optionalText(facts.containerDescription);
    format["bit_rate"] = optionalNumber(facts.bitRate);
    CJSON tags = CJSON::object();
    for (const auto& [key, value] : facts.tags)
        tags[key.toUTF8()] = value.toUTF8();
    format["tags"] = tags;
    CJSON chapters = CJSON::array();
    for (const common::SChapter& chapter : facts.chapters)
        chapters.push_back({{"start", chapter.start}, {"end", chapter.end}, {"title", optionalText(chapter.title)}});
    format["chapters"] = chapters;
}

CJSON describePicture(const SDecodedPicture& picture)
{
    return {{"width", picture.width}, {"height", picture.height}, {"time", picture.time}};
}

CJSON describeDecoding(const SMediumReport& report)
{
    CJSON decoded = {{"pictures", report.bPicturesSkipped ? CJSON() : CJSON(report.picturesDecoded)},
                     {"pictures_per_second", report.picturesPerSecond ? CJSON(*report.picturesPerSecond) : CJSON()},
                     {"chunks", report.chunksDecoded},
                     {"sound_bytes", report.soundBytesDecoded},
                     {"pictures_of_another_size", report.oddPictureCount}};
    if (report.firstOddPicture)
        decoded["first_of_another_size"] = describePicture(*report.firstOddPicture);
    return decoded;
}

CJSON describeOutputs(const SMediumReport& report)
{
    CJSON outputs = CJSON::object();
    if (report.thumbnail) {
        const SThumbnailReport& thumbnail = *report.thumbnail;
        outputs["thumbnail"] = {{"path", thumbnail.path},
                                {"time", thumbnail.requestedTime},
                                {"picture", describePicture(thumbnail.picture)},
                                {"width", thumbnail.width},
                                {"height", thumbnail.height}};
    }
    if (report.sheet)
        outputs["sheet"] = {{"path", report.sheet->path},
                            {"pictures", report.sheet->pictures},
                            {"width", report.sheet->width},
                            {"height", report.sheet->height}};
    if (report.soundFile)
        outputs["audio"] = {{"path", report.soundFile->path}, {"sound_bytes", report.soundFile->soundBytes}};
    return outputs;
}

CJSON describeSlaves(const SMediumReport& report)
{
    CJSON slaves = CJSON::array();
    for (const SSlaveReport& slave : report.slaves)
        slaves.push_back({{"peak_bytes", slave.peakBytes}, {"cpu_ms", slave.cpuMs}, {"cause", slave.cause}});
    return slaves;
}

CJSON describeErrors(const SMediumReport& report)
{
    CJSON errors = CJSON::array();
    for (const SProbeError& error : report.errors) {
        CJSON plugins = CJSON::array();
        for (const SPluginFailure& failure : error.plugins)
            plugins.push_back({{"plugin", failure.plugin}, {"reason", failure.reason}});
        errors.push_back(
            {{"step", error.step}, {"type", error.type}, {"message", error.message}, {"plugins", plugins}});
    }
    return errors;
}

} // namespace

std::string formatJSONReport(const SMediumReport& report)
{
    CJSON restarts = CJSON::array();
    for (const std::string& cause : report.restartCauses)
        restarts.push_back({{"cause", cause}});
    CJSON format = {{"uri", report.uri},
                    {"plugin", optionalText(report.plugin)},
                    {"duration", report.bDescribed && report.duration > 0.0 ? CJSON(report.duration) : CJSON()}};
    addMediumFacts(format, report);
    CJSON document = {
        {"schema", jsonSchemaVersion},
        {"input", report.input},
        {"status", report.bInterrupted  ? "interrupted"
                   : report.hasFailed() ? "failed"
                                        : "read"},
        {"format", format},
        {"streams", describeStreams(report)},
        {"decoded", describeDecoding(report)},
        {"outputs", describeOutputs(report)},
        {"restarts", restarts},
        {"slaves", describeSlaves(report)},
        {"warnings", report.warnings},
        {"errors", describeErrors(report)},
        {"seconds", report.seconds},
    };
    if (!report.log.empty())
        document["log"] = report.log;
    return document.dump(-1, ' ', true, CJSON::error_handler_t::replace);
}

} // namespace nebo::probe
