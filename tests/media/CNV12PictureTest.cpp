#include "media/CNV12Picture.h"

#include "yuvPictures.h"

#include <gtest/gtest.h>

namespace nebo::common {
namespace {

TEST(CNV12PictureTest, RegionsAndPlaneCopiesFollowTheLayout)
{
    lumo::P<INEBPicture> picture = makeYUVPicture(nv12PictureType, numberedBytes(4 * 4 + 8), 4, 4);
    EXPECT_EQ(bytesOf(*picture->getImagePlane(0, 2, 1, 2, 2)), (Bytes{6, 7, 10, 11}));
    // Chroma from 16 + 4 * 2 / 2 + 2 = 22: one row of two bytes.
    EXPECT_EQ(bytesOf(*picture->getImagePlane(1, 2, 2, 2, 2)), (Bytes{22, 23}));

    Bytes dest(8 * 8, 0);
    picture->copyPlanes(dest.data(), 8, 1, 99, 1, 2, 0, 2, 4, 2);
    Bytes expected(64, 0);
    place(expected, 8 * 2 + 1, {8, 9, 10, 11});
    place(expected, 8 * 3 + 1, {12, 13, 14, 15});
    // Chroma at 8 * 2 / 2 + 2 * 1 + 1 = 11.
    place(expected, 11, {20, 21, 22, 23});
    EXPECT_EQ(dest, expected);

    Bytes black(2 * 9, 0xEE);
    picture->fillBlack(black.data(), 9, 2, 2);
    const Bytes row = {0x10, 0x10, 0x10, 0x10, 0x80, 0x80, 0x80, 0x80, 0xEE};
    EXPECT_EQ(black, row + row);
}

TEST(CNV12PictureTest, ReduceQuarterKeepsEveryFourthSampleOfEachPlane)
{
    // The chroma pairs from byte 128 on, 16 bytes to a row: those at 128 and 136 stay.
    lumo::P<INEBPicture> picture = makeYUVPicture(nv12PictureType, numberedBytes(16 * 8 + 16 * 4), 16, 8);
    EXPECT_EQ(reducedOnTheWire(*picture),
              wirePicture(2.0, 4, 2, false, {0, 4, 8, 12, 64, 68, 72, 76, 128, 129, 136, 137, 0, 0, 0, 0}));
}

} // namespace
} // namespace nebo::common
