#include "media/CYUY2Picture.h"

#include "yuvPictures.h"

#include <gtest/gtest.h>

namespace nebo::common {
namespace {

TEST(CYUY2PictureTest, FillBlackWritesWordsOfBlack)
{
    lumo::P<INEBPicture> picture = makeYUVPicture(yuy2PictureType, numberedBytes(16), 4, 2);
    Bytes dest(2 * 10, 0xEE);
    picture->fillBlack(dest.data(), 10, 2, 2);
    const Bytes row = {0x10, 0x80, 0x10, 0x80, 0x10, 0x80, 0x10, 0x80, 0xEE, 0xEE};
    EXPECT_EQ(dest, row + row);
}

TEST(CYUY2PictureTest, PlanesAreTheBlockOrItsRegion)
{
    lumo::P<INEBPicture> picture = makeYUVPicture(yuy2PictureType, numberedBytes(2 * 6 * 3), 6, 3);
    // Rows 1 and 2 from pixel 2: offset 2 * (6 + 2) = 16, pitch 12.
    EXPECT_EQ(bytesOf(*picture->getImagePlane(0, 2, 1, 4, 2)),
              (Bytes{16, 17, 18, 19, 20, 21, 22, 23, 28, 29, 30, 31, 32, 33, 34, 35}));

    Bytes dest(3 * 12, 0);
    picture->copyPlanes(dest.data(), 12, 99, 99, 1, 1, 4, 0, 2, 2);
    Bytes expected(36, 0);
    place(expected, 12 + 2, {8, 9, 10, 11});
    place(expected, 24 + 2, {20, 21, 22, 23});
    EXPECT_EQ(dest, expected);
}

TEST(CYUY2PictureTest, ReduceQuarterKeepsEveryFourthPair)
{
    // 12 by 4: the new width 3 is odd; its last pixel is Y0, U of pair 4.
    lumo::P<INEBPicture> picture = makeYUVPicture(yuy2PictureType, numberedBytes(2 * 12 * 4), 12, 4);
    EXPECT_EQ(reducedOnTheWire(*picture), wirePicture(2.0, 3, 1, false, {0, 1, 2, 3, 16, 17}));
}

} // namespace
} // namespace nebo::common
