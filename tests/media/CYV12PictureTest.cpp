#include "media/CYV12Picture.h"

#include "yuvPictures.h"

#include <gtest/gtest.h>

namespace nebo::common {
namespace {

TEST(CYV12PictureTest, PlanesRegionsAndPlaneCopiesFollowTheLayout)
{
    lumo::P<INEBPicture> picture = makeYUVPicture(yv12PictureType, numberedBytes(8 * 4 + 16), 8, 4);
    lumo::P<lumo::IMemoryBlock> luma = picture->getImagePlane(0, 0, 0, 8, 4);
    lumo::P<lumo::IMemoryBlock> v = picture->getImagePlane(1, 0, 0, 8, 4);
    lumo::P<lumo::IMemoryBlock> u = picture->getImagePlane(2, 0, 0, 8, 4);
    EXPECT_EQ(v->getData(), luma->getData() + 32);
    EXPECT_EQ(u->getData(), luma->getData() + 40);
    EXPECT_EQ(v->getSize(), 8);

    EXPECT_EQ(bytesOf(*picture->getImagePlane(0, 4, 2, 2, 2)), (Bytes{20, 21, 28, 29}));
    // V from 32 + 8 * 2 / 4 + 4 / 2 = 38, U 8 further: one row of one byte.
    EXPECT_EQ(bytesOf(*picture->getImagePlane(1, 4, 2, 2, 2)), (Bytes{38}));
    EXPECT_EQ(bytesOf(*picture->getImagePlane(2, 4, 2, 2, 2)), (Bytes{46}));

    Bytes dest(16 * 8, 0);
    picture->copyPlanes(dest.data(), 16, 1, 10, 2, 4, 0, 0, 4, 2);
    Bytes expected(128, 0);
    place(expected, 16 * 4 + 2, {0, 1, 2, 3});
    place(expected, 16 * 5 + 2, {8, 9, 10, 11});
    // base = (2 + 16 * 4) / 2 = 33; V at base + 2, U at base + 5 * 16 + 2.
    place(expected, 35, {32, 33});
    place(expected, 115, {40, 41});
    EXPECT_EQ(dest, expected);
    picture = nullptr;
    EXPECT_EQ(bytesOf(*u), (Bytes{40, 41, 42, 43, 44, 45, 46, 47})) << "the views keep the block";
}

TEST(CYV12PictureTest, ReduceQuarterKeepsEveryFourthSampleOfEachPlane)
{
    // V from byte 128 on, U from 160, 8 bytes to a row.
    lumo::P<INEBPicture> picture = makeYUVPicture(yv12PictureType, numberedBytes(16 * 8 + 2 * 32), 16, 8);
    EXPECT_EQ(reducedOnTheWire(*picture),
              wirePicture(2.0, 4, 2, false, {0, 4, 8, 12, 64, 68, 72, 76, 128, 132, 160, 164, 0, 0, 0, 0}));
}

} // namespace
} // namespace nebo::common
