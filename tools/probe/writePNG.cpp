#include "tools/probe/writePNG.h"

#include "foundation/CError.h"

#include <png.h>

namespace nebo::probe {

namespace {

[[noreturn]] void refuse(const std::string& path, const std::string& reason)
{
    throw lumo::CError(lumo::String::fromUTF8("cannot write the picture to " + path + ": " + reason));
}

} // namespace

void writePNG(const std::string& path, const SRGBImage& image)
{
    if (image.width <= 0 || image.height <= 0)
        refuse(path, "the picture is empty");
    png_image file{};
    file.version = PNG_IMAGE_VERSION;
    file.width = static_cast<png_uint_32>(image.width);
    file.height = static_cast<png_uint_32>(image.height);
    file.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&file, path.c_str(), 0, image.rgb.data(), image.width * SRGBImage::pixelBytes,
                                 nullptr)) {
        const std::string reason = file.message;
        png_image_free(&file);
        refuse(path, reason);
    }
}

} // namespace nebo::probe
