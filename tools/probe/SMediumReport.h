#pragma once

#include "host/plugin/SMediumFacts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nebo::probe {

// What the probe learnt of one medium, filled in step by step. Texts are
// UTF-8 as far as their source kept to it, and many come from slaves:
// escape them before they reach a terminal.

struct SPictureFacts {
    int32_t width = 0;
    int32_t height = 0;
    int32_t frameRateNumerator = 0;
    int32_t frameRateDenominator = 0;
};

// One sound stream as the plugin lists it (or, where it lists none, as its
// facts name it).
struct SSoundTrack {
    int32_t index = 0;
    std::string codec;
    // Empty when the medium names none.
    std::string language;
    int32_t channels = 0;
    int32_t sampleRate = 0;
};

// The sound as the source hands it out.
struct SSoundFacts {
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t bytesPerSample = 0;
    // Empty when the plugin lists no streams.
    std::vector<SSoundTrack> tracks;
};

// A decoded picture's size and time stamp (seconds).
struct SDecodedPicture {
    int32_t width = 0;
    int32_t height = 0;
    double time = 0.0;
};

struct SThumbnailReport {
    std::string path;
    double requestedTime = 0.0;
    SDecodedPicture picture;
    // The size written, with square pixels.
    int32_t width = 0;
    int32_t height = 0;
};

struct SSheetReport {
    std::string path;
    int32_t pictures = 0;
    // The whole sheet's size.
    int32_t width = 0;
    int32_t height = 0;
};

struct SSoundFileReport {
    std::string path;
    uint64_t soundBytes = 0;
};

struct SPluginFailure {
    std::string plugin;
    std::string reason;
};

struct SProbeError {
    // What the probe was doing: "open", "describe", "check", "decode",
    // "thumbnail", "sheet" or "audio".
    std::string step;
    // The error's kind, such as "CNEBError".
    std::string type;
    std::string message;
    // When no plugin could open the medium or none loaded: each one's reason.
    std::vector<SPluginFailure> plugins;
};

struct SSlaveReport {
    int64_t peakBytes = 0;
    int64_t cpuMs = 0;
    // How it ended, such as "exited with code 0".
    std::string cause;
    // All three for people: "34 MB peak, 120 ms CPU, exited with code 0".
    std::string description;
};

struct SMediumReport {
    // As named on the command line.
    std::string input;
    std::string uri;
    // Empty until a plugin opened the medium.
    std::string plugin;
    // Set once the facts below are known.
    bool bDescribed = false;
    double duration = 0.0;
    std::optional<SPictureFacts> pictures;
    std::optional<SSoundFacts> sound;
    // What the plugin told of the medium beyond that; empty when it tells
    // nothing.
    std::optional<common::SMediumFacts> facts;

    // Of the first picture decoded; empty before one.
    std::string layout;
    int64_t picturesDecoded = 0;
    // Only the pictures of the thumbnail and the sheet were decoded, found
    // by their times; none were counted.
    bool bPicturesSkipped = false;
    // Set when the pictures were decoded to the end or to --frames.
    std::optional<double> picturesPerSecond;
    // The sound is decoded only for a medium without pictures.
    int64_t chunksDecoded = 0;
    uint64_t soundBytesDecoded = 0;
    int64_t oddPictureCount = 0;
    std::optional<SDecodedPicture> firstOddPicture;

    std::optional<SThumbnailReport> thumbnail;
    std::optional<SSheetReport> sheet;
    std::optional<SSoundFileReport> soundFile;

    std::vector<std::string> restartCauses;
    std::vector<SSlaveReport> slaves;
    std::vector<std::string> warnings;
    std::vector<SProbeError> errors;
    // What the plugins and slaves logged; only with --log.
    std::string log;
    double seconds = 0.0;

    // Ctrl-C stopped the probe before this medium was done.
    bool bInterrupted = false;

    bool hasFailed() const { return !errors.empty(); }
};

} // namespace nebo::probe
