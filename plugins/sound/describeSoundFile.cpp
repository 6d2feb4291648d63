#include "plugins/sound/describeSoundFile.h"

#include "host/plugin/CMediumFacts.h"
#include "host/plugin/cutFactText.h"

#include <string>

namespace nebo::sound {

namespace {

struct SContainerName {
    int majorType;
    const char* name;
};

constexpr SContainerName containerNames[] = {
    {SF_FORMAT_WAV, "wav"},   {SF_FORMAT_WAVEX, "wav"},   {SF_FORMAT_RF64, "rf64"}, {SF_FORMAT_W64, "w64"},
    {SF_FORMAT_AIFF, "aiff"}, {SF_FORMAT_AU, "au"},       {SF_FORMAT_CAF, "caf"},   {SF_FORMAT_FLAC, "flac"},
    {SF_FORMAT_OGG, "ogg"},   {SF_FORMAT_MPEG, "mpeg"},   {SF_FORMAT_RAW, "raw"},   {SF_FORMAT_PAF, "paf"},
    {SF_FORMAT_SVX, "iff"},   {SF_FORMAT_NIST, "nist"},   {SF_FORMAT_VOC, "voc"},   {SF_FORMAT_IRCAM, "ircam"},
    {SF_FORMAT_MAT4, "mat4"}, {SF_FORMAT_MAT5, "mat5"},   {SF_FORMAT_PVF, "pvf"},   {SF_FORMAT_XI, "xi"},
    {SF_FORMAT_HTK, "htk"},   {SF_FORMAT_SDS, "sds"},     {SF_FORMAT_AVR, "avr"},   {SF_FORMAT_SD2, "sd2"},
    {SF_FORMAT_WVE, "wve"},   {SF_FORMAT_MPC2K, "mpc2k"},
};

// How a subtype stores its samples. Plain samples name their codec after
// the sample format; the bit rate of a compressed one is not known.
struct SEncoding {
    int subtype;
    const char* codec;
    const char* sampleFormat;
    int32_t bits;
    bool bCompressed;
};

constexpr SEncoding encodings[] = {
    {SF_FORMAT_PCM_U8, "pcm_u8", "u8", 8, false},    {SF_FORMAT_PCM_S8, "pcm_s8", "s8", 8, false},
    {SF_FORMAT_PCM_16, "pcm_s16", "s16", 16, false}, {SF_FORMAT_PCM_24, "pcm_s24", "s24", 24, false},
    {SF_FORMAT_PCM_32, "pcm_s32", "s32", 32, false}, {SF_FORMAT_FLOAT, "pcm_f32", "f32", 32, false},
    {SF_FORMAT_DOUBLE, "pcm_f64", "f64", 64, false}, {SF_FORMAT_ULAW, "ulaw", "ulaw", 8, false},
    {SF_FORMAT_ALAW, "alaw", "alaw", 8, false},      {SF_FORMAT_ALAC_16, "alac", "s16", 16, true},
    {SF_FORMAT_ALAC_20, "alac", "s20", 20, true},    {SF_FORMAT_ALAC_24, "alac", "s24", 24, true},
    {SF_FORMAT_ALAC_32, "alac", "s32", 32, true},    {SF_FORMAT_VORBIS, "vorbis", "", 0, true},
    {SF_FORMAT_OPUS, "opus", "", 0, true},           {SF_FORMAT_MPEG_LAYER_III, "mp3", "", 0, true},
};

struct STagName {
    int kind;
    const char* name;
};

constexpr STagName tagNames[] = {
    {SF_STR_TITLE, "title"},       {SF_STR_ARTIST, "artist"},       {SF_STR_ALBUM, "album"},
    {SF_STR_DATE, "date"},         {SF_STR_COMMENT, "comment"},     {SF_STR_GENRE, "genre"},
    {SF_STR_TRACKNUMBER, "track"}, {SF_STR_COPYRIGHT, "copyright"}, {SF_STR_LICENSE, "license"},
    {SF_STR_SOFTWARE, "software"},
};

// libsndfile's name of a major type or subtype.
lumo::String libraryName(int format)
{
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name)
        return lumo::String();
    return common::cutFactText(info.name);
}

lumo::String text(const char* value) { return lumo::String::fromUTF8(value); }

lumo::String channelLayoutOf(int32_t channels)
{
    if (channels == 1)
        return text("mono");
    if (channels == 2)
        return text("stereo");
    return text((std::to_string(channels) + " channels").c_str());
}

common::SSoundTrackFacts describeTrack(const CSoundFile& file)
{
    const int format = file.getFormat();
    common::SSoundTrackFacts track;
    track.channelLayout = channelLayoutOf(file.getChannelCount());
    track.codec = libraryName(format & SF_FORMAT_SUBMASK);
    for (const SEncoding& encoding : encodings) {
        if (encoding.subtype != (format & SF_FORMAT_SUBMASK))
            continue;
        track.codec = text(encoding.codec);
        track.sampleFormat = text(encoding.sampleFormat);
        track.bitsPerSample = encoding.bits;
        if (!encoding.bCompressed) {
            const int64_t bitRate = int64_t{encoding.bits} * file.getChannelCount() * file.getSampleRate();
            track.bitRate = bitRate <= common::CMediumFacts::maxBitRate ? bitRate : 0;
        }
    }
    // FLAC compresses samples that its subtype states as plain ones.
    if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC) {
        track.codec = text("flac");
        track.bitRate = 0;
    }
    return track;
}

} // namespace

common::SMediumFacts describeSoundFile(const CSoundFile& file)
{
    const int majorType = file.getFormat() & SF_FORMAT_TYPEMASK;
    common::SMediumFacts facts;
    facts.containerDescription = libraryName(majorType);
    for (const SContainerName& container : containerNames)
        if (container.majorType == majorType)
            facts.container = text(container.name);
    for (const STagName& tag : tagNames)
        if (const char* value = file.getText(tag.kind))
            facts.tags.emplace_back(text(tag.name), common::cutFactText(value));
    facts.soundTracks.push_back(describeTrack(file));
    if (file.getDelivery() == ESampleDelivery::f32)
        facts.deliveredSampleFormat = text("f32");
    return facts;
}

} // namespace nebo::sound
