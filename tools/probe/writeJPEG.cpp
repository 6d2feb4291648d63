#include "tools/probe/writeJPEG.h"

#include "foundation/CError.h"

#include <csetjmp>
#include <cstdio>
#include <filesystem>
// The library's header needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace nebo::probe {

namespace {

// High enough that the format's blocks do not show on a thumbnail.
constexpr int quality = 90;
// The format's own limit on either side.
constexpr int32_t maxSide = 65500;

[[noreturn]] void refuse(const std::string& path, const std::string& reason)
{
    throw lumo::CError(lumo::String::fromUTF8("cannot write the picture to " + path + ": " + reason));
}

// The library reports failures through a callback that must not return:
// it jumps back to the writer with the message, so that no C++ exception
// crosses the library's C frames.
struct SErrorJump {
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
};

void jumpBack(j_common_ptr info)
{
    auto* error = reinterpret_cast<SErrorJump*>(info->err);
    info->err->format_message(info, error->message);
    std::longjmp(error->jump, 1);
}

// Compresses `image` into `file`; false with `error.message` set on a
// failure. Nothing with a destructor lives here, as a jump skips them.
bool compress(std::FILE* file, const SRGBImage& image, SErrorJump& error)
{
    jpeg_compress_struct info{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jumpBack;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = SRGBImage::pixelBytes;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const size_t rowBytes = static_cast<size_t>(image.width) * SRGBImage::pixelBytes;
    while (info.next_scanline < info.image_height) {
        // The library reads the rows without writing to them.
        auto* row = const_cast<JSAMPLE*>(image.rgb.data() + info.next_scanline * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

void writeJPEG(const std::string& path, const SRGBImage& image)
{
    if (image.width <= 0 || image.height <= 0)
        refuse(path, "the picture is empty");
    if (image.width > maxSide || image.height > maxSide)
        refuse(path, "JPEG files hold at most " + std::to_string(maxSide) + " pixels on a side");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        refuse(path, "the file cannot be made");
    SErrorJump error;
    const bool bCompressed = compress(file, image, error);
    const bool bClosed = std::fclose(file) == 0;
    if (bCompressed && bClosed)
        return;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    refuse(path, bCompressed ? "the file could not be finished" : error.message);
}

} // namespace nebo::probe
