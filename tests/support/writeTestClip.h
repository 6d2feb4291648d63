#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nebo::testing {

// The picture track of a test clip: picture n is a pattern that moves with n, unlike its neighbours.
struct SVideoSettings {
    std::string encoder = "ffv1";        // an encoder name of the library
    std::string pixelFormat = "yuv420p"; // a pixel format name of the library
    int width = 64;
    int height = 48;
    int fps = 25;
    int frames = 10;
    int keyFrameInterval = 0; // 0: the encoder's default
    int sampleAspectNum = 0;  // 0: none stated
    int sampleAspectDen = 1;
    int rotation = 0; // clockwise degrees a player turns the pictures by, as the stream's display matrix
};

// A sound track of a test clip: a tone per track (`tone` picks its pitch), so tracks can be told apart.
struct SAudioSettings {
    std::string encoder = "pcm_s16le";
    int rate = 48000;
    int channels = 2;
    double seconds = 0.4;
    std::string language = ""; // written as the track's "language" tag when set
    int tone = 0;
};

struct STestChapter {
    double start = 0, end = 0;
    std::string title;
};

struct STestClip {
    std::optional<SVideoSettings> video;
    std::vector<SAudioSettings> audio;
    std::vector<std::pair<std::string, std::string>> tags = {}; // the file's metadata, in order
    std::vector<STestChapter> chapters = {};
};

// Writes `clip` to `path` in the container its extension names (mkv, avi, mp4, mov, nut, ...). Throws
// std::runtime_error with the library's text when an encoder, format or file cannot be used.
void writeTestClip(const std::string& path, const STestClip& clip);

} // namespace nebo::testing
