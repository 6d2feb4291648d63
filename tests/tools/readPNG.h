#pragma once

// Decodes a PNG file with libpng, independently of the code that wrote it, and checks what it holds.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <functional>
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

// Expects a PNG of that size whose pixel (x, y) is pixelAt(x, y), when given.
inline void expectPNG(const std::string& path, uint32_t width, uint32_t height,
                      const std::function<uint32_t(uint32_t, uint32_t)>& pixelAt = nullptr)
{
    const SDecodedPNG png = readPNG(path);
    ASSERT_TRUE(png.bDecoded) << png.message;
    ASSERT_EQ(png.width, width);
    ASSERT_EQ(png.height, height);
    if (!pixelAt)
        return;
    size_t wrongPixels = 0;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            wrongPixels += png.at(x, y) != pixelAt(x, y);
    EXPECT_EQ(wrongPixels, 0u);
}

} // namespace nebo::probe::test
