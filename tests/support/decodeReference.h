#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nebo::testing {

// The layouts a source hands out, as the picture classes hold them: tight rows, planes in turn (YV12: Y, V, U).
enum class ELayout { RGB, YUY2, NV12, YV12 };

struct SReferencePicture {
    double timestamp = 0; // seconds, from the stream's time base
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;
};

// Decodes every picture of the file's best video stream with the library's own decoder and lays it out in `layout`,
// converting (and scaling to width x height when both are given) with libswscale, flags SWS_BICUBIC, whenever the
// decoder's format or size differs. Throws std::runtime_error.
std::vector<SReferencePicture> decodeReferencePictures(const std::string& path, ELayout layout, int width = 0,
                                                       int height = 0);

// Decodes the `number`-th audio stream of the file (0 = the first, in file order) and returns its sound as interleaved
// signed 16-bit samples at the stream's own rate and channels, resampled with libswresample. Throws std::runtime_error.
std::vector<int16_t> decodeReferenceSound(const std::string& path, int number = 0);

} // namespace nebo::testing
