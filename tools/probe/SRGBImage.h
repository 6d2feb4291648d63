#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nebo::probe {

struct SImageSize {
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const SImageSize& other) const { return width == other.width && height == other.height; }
};

// A picture as files take it: red, green and blue bytes per pixel, rows
// packed one after the other, top row first.
struct SRGBImage {
    static constexpr int32_t pixelBytes = 3;

    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;

    // A picture of that size in one colour (0xRRGGBB).
    static SRGBImage filled(int32_t width, int32_t height, uint32_t colour)
    {
        SRGBImage image{width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * pixelBytes)};
        for (size_t at = 0; at < image.rgb.size(); at += pixelBytes) {
            image.rgb[at] = uint8_t(colour >> 16);
            image.rgb[at + 1] = uint8_t(colour >> 8);
            image.rgb[at + 2] = uint8_t(colour);
        }
        return image;
    }
    uint8_t* pixel(int32_t x, int32_t y) { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * pixelBytes]; }
    const uint8_t* pixel(int32_t x, int32_t y) const
    {
        return &rgb[(size_t(y) * size_t(width) + size_t(x)) * pixelBytes];
    }
};

} // namespace nebo::probe
