#include "media/CRGBPicture.h"

#include "foundation/CInvalidArgError.h"
#include "yuvPictures.h"

#include <gtest/gtest.h>

namespace nebo::common {
namespace {

// Pixel (x, y) of a w-wide picture holds the bytes x, y, 0, 0xFF.
Bytes numberedPixels(int32_t width, int32_t height)
{
    Bytes bytes;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            bytes.insert(bytes.end(), {uint8_t(x), uint8_t(y), 0, 0xFF});
    return bytes;
}

lumo::P<CRGBPicture> numberedPicture(int32_t width, int32_t height, bool bottomUp = false)
{
    return lumo::make<CRGBPicture>(nullptr, 1.5, blockOf(numberedPixels(width, height)), width, height, bottomUp);
}

TEST(CRGBPictureTest, RefusesSizesTheBlockCannotHoldAndRegionsOutsideThePicture)
{
    EXPECT_THROW(lumo::make<CRGBPicture>(nullptr, 0.0, blockOf(Bytes(15)), 2, 2, false), lumo::CInvalidArgError);
    EXPECT_THROW(lumo::make<CRGBPicture>(nullptr, 0.0, nullptr, 1, 1, false), lumo::CInvalidArgError);
    EXPECT_THROW(lumo::make<CRGBPicture>(nullptr, 0.0, blockOf(Bytes(16)), -2, -2, false), lumo::CInvalidArgError);
    EXPECT_THROW(lumo::make<CRGBPicture>(nullptr, 0.0, blockOf(Bytes(16)), 0x10000, 0x10000, false),
                 lumo::CInvalidArgError);
    EXPECT_NO_THROW(lumo::make<CRGBPicture>(nullptr, 0.0, nullptr, 0, 0, false));

    lumo::P<CRGBPicture> picture = numberedPicture(4, 3);
    uint8_t dest[64];
    const int32_t regions[][4] = {{-1, 0, 1, 1}, {0, -1, 1, 1}, {3, 0, 2, 1},         {0, 2, 1, 2},
                                  {0, 0, -1, 1}, {0, 0, 1, -1}, {1, 0, 0x7FFFFFFF, 1}};
    for (const auto& r : regions) {
        SCOPED_TRACE(testing::Message() << r[0] << ' ' << r[1] << ' ' << r[2] << ' ' << r[3]);
        EXPECT_THROW(picture->getRGBData(r[0], r[1], r[2], r[3]), lumo::CInvalidArgError);
        EXPECT_THROW(picture->copyRGB(dest, 16, r[0], r[1], r[2], r[3]), lumo::CInvalidArgError);
    }
    EXPECT_THROW(picture->copyRGB(nullptr, 16, 0, 0, 1, 1), lumo::CInvalidArgError);
}

TEST(CRGBPictureTest, RGBDataIsTheOwnBlockOrACopyInStoredOrder)
{
    lumo::P<CRGBPicture> picture = numberedPicture(4, 3, true);
    lumo::P<lumo::IMemoryBlock> whole = picture->getRGBData(0, 0, 4, 3);
    EXPECT_EQ(whole.get(), picture->getImagePlane(0, 0, 0, 4, 3).get());
    EXPECT_EQ(bytesOf(*whole), numberedPixels(4, 3));

    lumo::P<lumo::IMemoryBlock> region = picture->getRGBData(1, 1, 2, 2);
    EXPECT_EQ(bytesOf(*region), (Bytes{1, 1, 0, 0xFF, 2, 1, 0, 0xFF, 1, 2, 0, 0xFF, 2, 2, 0, 0xFF}));
    EXPECT_EQ(picture->getImagePlane(1, 0, 0, 4, 3), nullptr);
}

TEST(CRGBPictureTest, CopyRGBDeliversTheTopRowFirst)
{
    for (bool bottomUp : {false, true}) {
        lumo::P<CRGBPicture> picture = numberedPicture(3, 4, bottomUp);
        Bytes dest(2 * 12, 0xEE);
        picture->copyRGB(dest.data(), 12, 1, 1, 2, 2);
        // Stored row 1, or for bottom-up pictures stored row 4 - 1 - 1 = 2, then the one after it.
        const uint8_t first = bottomUp ? 2 : 1, second = bottomUp ? 1 : 2;
        EXPECT_EQ(dest, (Bytes{1, first,  0, 0xFF, 2, first,  0, 0xFF, 0xEE, 0xEE, 0xEE, 0xEE,
                               1, second, 0, 0xFF, 2, second, 0, 0xFF, 0xEE, 0xEE, 0xEE, 0xEE}))
            << bottomUp;
    }
}

TEST(CRGBPictureTest, ReduceQuarterKeepsEveryFourthPixel)
{
    EXPECT_EQ(reducedOnTheWire(*numberedPicture(9, 11, true)),
              wirePicture(1.5, 2, 2, true, {0, 0, 0, 0xFF, 4, 0, 0, 0xFF, 0, 4, 0, 0xFF, 4, 4, 0, 0xFF}));
}

} // namespace
} // namespace nebo::common
