#include "tools/probe/formatJSONReport.h"

#include <nlohmann/json.hpp>

namespace nebo::probe {

namespace {

// Members keep the order they are written in, so that people can read them.
using CJSON = nlohmann::ordered_json;

CJSON optionalText(const std::string& text)
{
    return text.empty() ? CJSON() : CJSON(text);
}

CJSON describePictures(const SPictureFacts& pictures, const SMediumReport& report)
{
    CJSON rate = {{"numerator", pictures.frameRateNumerator}, {"denominator", pictures.frameRateDenominator}};
    return {{"kind", "video"},
            {"width", pictures.width},
            {"height", pictures.height},
            {"frame_rate", rate},
            {"frames_per_second", pictures.frameRateDenominator == 0
                                      ? CJSON()
                                      : CJSON(double(pictures.frameRateNumerator) / pictures.frameRateDenominator)},
            {"layout", optionalText(report.layout)}};
}

CJSON describeSound(const SSoundFacts& sound)
{
    CJSON tracks = CJSON::array();
    for (const SSoundTrack& track : sound.tracks)
        tracks.push_back({{"index", track.index},
                          {"codec", optionalText(track.codec)},
                          {"language", optionalText(track.language)},
                          {"channels", track.channels},
                          {"sample_rate", track.sampleRate}});
    return {{"kind", "audio"},
            {"sample_rate", sound.sampleRate},
            {"channels", sound.channels},
            {"bytes_per_sample", sound.bytesPerSample},
            {"tracks", tracks}};
}

CJSON describeStreams(const SMediumReport& report)
{
    CJSON streams = CJSON::array();
    if (report.pictures)
        streams.push_back(describePictures(*report.pictures, report));
    if (report.sound)
        streams.push_back(describeSound(*report.sound));
    return streams;
}

CJSON describePicture(const SDecodedPicture& picture)
{
    return {{"width", picture.width}, {"height", picture.height}, {"time", picture.time}};
}

CJSON describeDecoding(const SMediumReport& report)
{
    CJSON decoded = {{"pictures", report.picturesDecoded},
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
    CJSON document = {
        {"schema", jsonSchemaVersion},
        {"input", report.input},
        {"status", report.bInterrupted ? "interrupted" : report.hasFailed() ? "failed" : "read"},
        {"format",
         {{"uri", report.uri},
          {"plugin", optionalText(report.plugin)},
          {"duration", report.bDescribed && report.duration > 0.0 ? CJSON(report.duration) : CJSON()}}},
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
