#pragma once

#include <cstdint>

namespace nebo::common {

// The instruction sets a conversion may use. The plain loops define the
// results; every other level writes exactly the same bytes, faster.
// avx512 stands for the byte and word instructions with the byte permutes
// (AVX-512 BW and VBMI).
enum class EYUVKernelLevel { plain, sse2, avx2, avx512 };

// Whether this processor runs the level.
bool isYUVKernelLevelSupported(EYUVKernelLevel level);
// The fastest level this processor runs.
EYUVKernelLevel getBestYUVKernelLevel();

// The conversions to 32-bit pixels: blue in the lowest byte, then green,
// red and 0xFF, in the source's row order, `width`*`height` pixels at `rgb`.
// Each throws CInvalidArgError for a level this processor cannot run;
// sizes must not be negative.
//
// Chroma at the edges of odd sizes: a pixel takes the chroma of its 2x2
// block, and the last column (odd width) and last row (odd height), which
// have no block of their own, take the last chroma column and row. A picture
// one pixel wide or high has no chroma samples at all and converts with the
// neutral 128.

// YUY2: `pixelCount` pixels from pairs of Y0, U, Y1, V bytes in storage
// order. A lone last pixel (odd count) has its Y and U bytes only and takes
// the neutral V.
void convertYUY2ToRGB(const uint8_t* source, int64_t pixelCount, uint8_t* rgb,
                      EYUVKernelLevel level = getBestYUVKernelLevel());
// NV12: a Y plane of pitch `width`, and `height`/2 rows of interleaved U, V
// pairs at `chroma`, pitch `width`.
void convertNV12ToRGB(const uint8_t* luma, const uint8_t* chroma, int32_t width, int32_t height, uint8_t* rgb,
                      EYUVKernelLevel level = getBestYUVKernelLevel());
// YV12 (and any planar 4:2:0): a Y plane of pitch `width`, and U and V
// planes of `height`/2 rows, pitch `width`/2.
void convertYV12ToRGB(const uint8_t* luma, const uint8_t* u, const uint8_t* v, int32_t width, int32_t height,
                      uint8_t* rgb, EYUVKernelLevel level = getBestYUVKernelLevel());

} // namespace nebo::common
