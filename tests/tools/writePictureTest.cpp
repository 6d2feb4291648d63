#include "tools/probe/writePicture.h"

#include "foundation/CError.h"
#include "platform/CTempFolder.h"
#include "readPNG.h"
#include "support/decodeReference.h"

#include <gtest/gtest.h>

namespace nebo::probe {
namespace {

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
    // Read by the media libraries, not by the libjpeg that wrote it: blue, green, red and alpha bytes.
    const std::vector<testing::SReferencePicture> jpeg =
        testing::decodeReferencePictures(folder.pathOf("p.jpeg"), testing::ELayout::RGB);
    ASSERT_EQ(jpeg.size(), 1u);
    ASSERT_EQ(std::pair(jpeg[0].width, jpeg[0].height), std::pair(image.width, image.height));
    for (size_t i = 0; i < image.rgb.size(); ++i)
        ASSERT_NEAR(jpeg[0].bytes[i / 3 * 4 + 2 - i % 3], image.rgb[i], 12) << "byte " << i;

    EXPECT_THROW(writePicture(folder.pathOf("p.gif"), image), lumo::CError);
    EXPECT_THROW(writePicture(folder.pathOf("missing/p.jpg"), image), lumo::CError);
    EXPECT_FALSE(std::filesystem::exists(folder.pathOf("p.gif")));
}

} // namespace
} // namespace nebo::probe
