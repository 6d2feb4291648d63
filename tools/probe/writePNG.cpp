#include "tools/probe/writePNG.h"

#include "foundation/CError.h"

#include <limits>
#include <png.h>
#include <vector>

namespace nebo::probe {

namespace {

constexpr int32_t rgbBytes = 3;
constexpr int32_t pictureBytes = 4;

[[noreturn]] void refuse(const std::string& path, const std::string& reason)
{
    throw lumo::CError(lumo::String::fromUTF8("cannot write the picture to " + path + ": " + reason));
}

// Pixels of 32 bits with blue lowest, as pictures hand them out, become
// red, green and blue bytes.
std::vector<uint8_t> toRGBBytes(common::INEBPicture& picture, int32_t width, int32_t height)
{
    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint8_t> pixels(pixelCount * pictureBytes);
    picture.copyRGB(pixels.data(), width * pictureBytes, 0, 0, width, height);
    std::vector<uint8_t> rgb(pixelCount * rgbBytes);
    for (size_t i = 0; i < pixelCount; ++i) {
        rgb[i * rgbBytes + 0] = pixels[i * pictureBytes + 2];
        rgb[i * rgbBytes + 1] = pixels[i * pictureBytes + 1];
        rgb[i * rgbBytes + 2] = pixels[i * pictureBytes + 0];
    }
    return rgb;
}

} // namespace

void writePNG(const std::string& path, common::INEBPicture& picture)
{
    const int32_t width = picture.getWidth();
    const int32_t height = picture.getHeight();
    if (width <= 0 || height <= 0)
        refuse(path, "the picture is empty");
    if (width > std::numeric_limits<int32_t>::max() / pictureBytes)
        refuse(path, "the picture is too wide");
    const std::vector<uint8_t> rgb = toRGBBytes(picture, width, height);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * rgbBytes, nullptr)) {
        const std::string reason = image.message;
        png_image_free(&image);
        refuse(path, reason);
    }
}

} // namespace nebo::probe
