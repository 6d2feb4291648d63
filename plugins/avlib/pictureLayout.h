#pragma once

// How pictures lie in their blocks, in the decoding library's terms: shared
// by the picture maker, which fills blocks, and the decoder's buffers, which
// are laid out as the pictures to come.
extern "C" {
#include <libavutil/pixfmt.h>
}

#include <cstdint>
#include <vector>

namespace nebo::avlib {

struct SPictureSize {
    int32_t width = 0;
    int32_t height = 0;
};

// A picture type and the library's format that matches it byte for byte.
struct SLayout {
    int32_t type;
    AVPixelFormat format;
};

// Where the library's plane number i of a layout lies in a picture's block.
struct SPlaneSpot {
    int64_t offset;
    int32_t pitch;
    int32_t rows;
};

// The layout pictures of this size get from frames in `format`: the
// format's own when it is one of ours, YV12 for other 4:2:0 formats, RGB
// for the rest and for odd sizes.
SLayout chooseLayout(AVPixelFormat format, const SPictureSize& size);
// The planes in the library's order (YV12 keeps V before U in the block).
// A picture whose planes are spaced for more rows than its height (see
// CPictureBase::getPlaneRows) has the planes of a picture that high.
std::vector<SPlaneSpot> planesOf(int32_t type, const SPictureSize& size);
// The bytes the planes span.
int64_t blockSizeOf(const std::vector<SPlaneSpot>& planes);

} // namespace nebo::avlib
