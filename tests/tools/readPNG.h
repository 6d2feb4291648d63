#pragma once

// Decodes a PNG file with libpng, independently of the code that wrote it.
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace nebo::probe::test {

struct SDecodedPNG {
    bool bDecoded = false;
    std::string message;
    uint32_t width = 0, height = 0;
    // The layout stored in the file, such as PNG_FORMAT_RGB.
    uint32_t fileFormat = 0;
    // Red, green and blue bytes per pixel, top row first.
    std::vector<uint8_t> rgb;

    // Red, green and blue of pixel (x, y) packed as 0xRRGGBB.
    uint32_t at(uint32_t x, uint32_t y) const
    {
        const uint8_t* pixel = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return uint32_t{pixel[0]} << 16 | uint32_t{pixel[1]} << 8 | pixel[2];
    }
};

inline SDecodedPNG readPNG(const std::string& path)
{
    SDecodedPNG decoded;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str())) {
        decoded.fileFormat = image.format;
        image.format = PNG_FORMAT_RGB;
        decoded.rgb.resize(PNG_IMAGE_SIZE(image));
        decoded.bDecoded = png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr) != 0;
    }
    decoded.message = image.message;
    decoded.width = image.width;
    decoded.height = image.height;
    png_image_free(&image);
    return decoded;
}

} // namespace nebo::probe::test
