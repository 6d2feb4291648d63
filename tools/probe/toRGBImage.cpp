#include "tools/probe/toRGBImage.h"

#include "foundation/CError.h"

#include <limits>

namespace nebo::probe {

namespace {

constexpr int32_t pictureBytes = 4;

[[noreturn]] void refuse(const std::string& reason)
{
    throw lumo::CError(lumo::String::fromUTF8("cannot take the picture's pixels: " + reason));
}

} // namespace

// Pixels of 32 bits with blue lowest, as pictures hand them out, become
// red, green and blue bytes.
SRGBImage toRGBImage(common::INEBPicture& picture)
{
    const int32_t width = picture.getWidth();
    const int32_t height = picture.getHeight();
    if (width <= 0 || height <= 0)
        refuse("the picture is empty");
    if (width > std::numeric_limits<int32_t>::max() / pictureBytes)
        refuse("the picture is too wide");
    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint8_t> pixels(pixelCount * pictureBytes);
    picture.copyRGB(pixels.data(), width * pictureBytes, 0, 0, width, height);
    SRGBImage image{width, height, std::vector<uint8_t>(pixelCount * SRGBImage::pixelBytes)};
    for (size_t i = 0; i < pixelCount; ++i) {
        image.rgb[i * SRGBImage::pixelBytes + 0] = pixels[i * pictureBytes + 2];
        image.rgb[i * SRGBImage::pixelBytes + 1] = pixels[i * pictureBytes + 1];
        image.rgb[i * SRGBImage::pixelBytes + 2] = pixels[i * pictureBytes + 0];
    }
    return image;
}

} // namespace nebo::probe
