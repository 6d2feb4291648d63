#include "tools/probe/writePicture.h"

#include "foundation/CError.h"
#include "platform/CTempFolder.h"
#include "readPNG.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

namespace nebo::probe {
namespace {

// Decodes a JPEG file with libjpeg, independently of the code that wrote it.
SRGBImage readJPEG(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return {};
    jpeg_decompress_struct decoder{};
    jpeg_error_mgr errors{};
    decoder.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decoder);
    jpeg_stdio_src(&decoder, file);
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder);
    SRGBImage image = SRGBImage::filled(int32_t(decoder.output_width), int32_t(decoder.output_height), 0);
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = image.pixel(0, int32_t(decoder.output_scanline));
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    std::fclose(file);
    return image;
}

// A smooth gradient, which JPEG keeps close.
SRGBImage gradient()
{
    SRGBImage image = SRGBImage::filled(48, 32, 0);
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            uint8_t* pixel = image.pixel(x, y);
            pixel[0] = uint8_t(x * 5);
            pixel[1] = uint8_t(y * 7);
            pixel[2] = uint8_t(128);
        }
    return image;
}

TEST(writePictureTest, TheNameChoosesTheFormat)
{
    const std::pair<const char*, std::optional<EPictureFormat>> cases[] = {
        {"a.png", EPictureFormat::png},   {"A.PNG", EPictureFormat::png}, {"b.jpg", EPictureFormat::jpeg},
        {"b.JPeg", EPictureFormat::jpeg}, {"c.gif", std::nullopt},        {"png", std::nullopt},
        {"d.png.txt", std::nullopt},      {"dir.jpg/e", std::nullopt},
    };
    for (const auto& [name, format] : cases)
        EXPECT_EQ(pictureFormatOf(name), format) << name;
}

TEST(writePictureTest, WritesPNGExactlyAndJPEGClose)
{
    lumo::CTempFolder folder;
    const SRGBImage image = gradient();
    writePicture(folder.pathOf("p.png"), image);
    const test::SDecodedPNG png = test::readPNG(folder.pathOf("p.png"));
    ASSERT_TRUE(png.bDecoded) << png.message;
    EXPECT_EQ(png.rgb, image.rgb);

    writePicture(folder.pathOf("p.jpeg"), image);
    EXPECT_EQ(folder.get("p.jpeg").substr(0, 3), "\xff\xd8\xff");
    const SRGBImage jpeg = readJPEG(folder.pathOf("p.jpeg"));
    ASSERT_EQ(jpeg.width, image.width);
    ASSERT_EQ(jpeg.height, image.height);
    for (size_t i = 0; i < image.rgb.size(); ++i)
        ASSERT_NEAR(jpeg.rgb[i], image.rgb[i], 12) << "byte " << i;

    EXPECT_THROW(writePicture(folder.pathOf("p.gif"), image), lumo::CError);
    EXPECT_THROW(writePicture(folder.pathOf("missing/p.jpg"), image), lumo::CError);
    EXPECT_FALSE(std::filesystem::exists(folder.pathOf("p.gif")));
}

} // namespace
} // namespace nebo::probe
