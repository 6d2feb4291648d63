#pragma once

#include "foundation/String.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace nebo::common {

// What a plugin can tell of a medium beyond what the sources' own
// operations answer. Every member is optional: an empty text, a zero number
// or an empty list means "not known". Names are those of the library the
// plugin is built on (such as "h264", "yuv420p", "bt709"); a master shows
// them, it never acts on them.

struct SRatio {
    int32_t num = 0;
    int32_t den = 0;
};

struct SPictureStreamFacts {
    // The stream's number in the medium.
    int32_t index = 0;
    lumo::String codec;
    lumo::String profile;
    lumo::String pixelFormat;
    // Bits per sample of one colour component.
    int32_t bitDepth = 0;
    // Such as "4:2:0".
    lumo::String chromaSubsampling;
    // "tv" (limited) or "pc" (full).
    lumo::String colourRange;
    lumo::String colourPrimaries;
    lumo::String colourTransfer;
    lumo::String colourMatrix;
    SRatio sampleAspect;
    SRatio displayAspect;
    // Clockwise degrees a player turns the pictures by: 0, 90, 180 or 270.
    int32_t rotation = 0;
    // Bits per second.
    int64_t bitRate = 0;
};

struct SSoundTrackFacts {
    // The number to hand to IAudioSource::setAudioStream.
    int32_t index = 0;
    lumo::String codec;
    lumo::String profile;
    // How the medium stores its samples: "u8", "s16", "s24", "s32", "f32",
    // "f64" or a name of the plugin's library.
    lumo::String sampleFormat;
    int32_t bitsPerSample = 0;
    // Such as "stereo" or "5.1(side)".
    lumo::String channelLayout;
    int64_t bitRate = 0;
    lumo::String language;
};

struct SChapter {
    // Seconds.
    double start = 0.0;
    double end = 0.0;
    lumo::String title;
};

struct SMediumFacts {
    // The container's short name (such as "matroska,webm") and its
    // description for people.
    lumo::String container;
    lumo::String containerDescription;
    // Of the whole medium, bits per second.
    int64_t bitRate = 0;
    // Metadata as the medium names it ("title", "creation_time", ...), in
    // the medium's order.
    std::vector<std::pair<lumo::String, lumo::String>> tags;
    std::vector<SChapter> chapters;
    std::vector<SPictureStreamFacts> pictureStreams;
    std::vector<SSoundTrackFacts> soundTracks;
    // How the chunks of IAudioSource::getNextAudioChunk hold their samples:
    // "f32" for floating point; empty for signed integers of
    // getBytesPerSample() bytes (unsigned for one byte), as sources without
    // facts deliver them.
    lumo::String deliveredSampleFormat;
};

} // namespace nebo::common
