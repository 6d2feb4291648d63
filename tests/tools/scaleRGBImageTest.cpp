#include "tools/probe/scaleRGBImage.h"

#include "foundation/CError.h"

#include <gtest/gtest.h>

namespace nebo::probe {
namespace {

// Columns of pure red and pure blue, one pixel each, `height` rows.
SRGBImage stripes(int32_t width, int32_t height)
{
    SRGBImage image = SRGBImage::filled(width, height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            image.pixel(x, y)[x % 2 == 0 ? 0 : 2] = 255;
    return image;
}

TEST(scaleRGBImageTest, TheSameSizeKeepsThePixelsAndHalvingAveragesThem)
{
    const SRGBImage original = stripes(8, 4);
    EXPECT_EQ(scaleRGBImage(original, {8, 4}).rgb, original.rgb);

    // Each pixel of the half covers one red and one blue pixel.
    const SRGBImage half = scaleRGBImage(original, {4, 2});
    ASSERT_EQ(half.rgb.size(), size_t(4 * 2 * 3));
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 4; ++x) {
            const uint8_t* pixel = half.pixel(x, y);
            EXPECT_NEAR(pixel[0], 128, 1) << x << "," << y;
            EXPECT_EQ(pixel[1], 0);
            EXPECT_NEAR(pixel[2], 128, 1) << x << "," << y;
        }
}

TEST(scaleRGBImageTest, GrowingBlendsNeighboursAndKeepsOneColour)
{
    const SRGBImage grey = scaleRGBImage(SRGBImage::filled(3, 5, 0x808080), {11, 2});
    EXPECT_EQ(grey.rgb, SRGBImage::filled(11, 2, 0x808080).rgb);

    // Between a red and a blue pixel lie shades of both, in order.
    const SRGBImage wide = scaleRGBImage(stripes(2, 1), {8, 1});
    EXPECT_EQ(wide.pixel(0, 0)[0], 255);
    EXPECT_EQ(wide.pixel(7, 0)[2], 255);
    for (int32_t x = 1; x < 8; ++x)
        EXPECT_LE(wide.pixel(x, 0)[0], wide.pixel(x - 1, 0)[0]) << x;

    EXPECT_THROW(scaleRGBImage(SRGBImage{}, {2, 2}), lumo::CError);
    EXPECT_THROW(scaleRGBImage(grey, {0, 2}), lumo::CError);
}

} // namespace
} // namespace nebo::probe
