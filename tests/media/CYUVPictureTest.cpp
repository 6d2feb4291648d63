#include "media/CYUVPicture.h"

#include "expectError.h"
#include "foundation/CInvalidArgError.h"
#include "media/CNEBError.h"
#include "yuvPictures.h"

#include <gtest/gtest.h>

namespace nebo::common {
namespace {

struct SLayout {
    int32_t type;
    const char* name;
    int32_t planes;
    // A 2x2 picture of Y 16, U 128 and V 255 everywhere, and its red: V alone makes it, so swapped planes show.
    Bytes red;
    uint8_t redLevel;
};

const SLayout layouts[] = {
    {yuy2PictureType, "CYUY2Picture", 1, {16, 128, 16, 255, 16, 128, 16, 255}, 0xCB},
    {nv12PictureType, "CNV12Picture", 2, {16, 16, 16, 16, 128, 255}, 0xCA},
    {yv12PictureType, "CYV12Picture", 3, {16, 16, 16, 16, 255, 128}, 0xCA},
};

TEST(CYUVPictureTest, ConvertsWithTheLayoutsPlanes)
{
    for (const SLayout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        lumo::P<INEBPicture> picture = makeYUVPicture(layout.type, layout.red, 2, 2);
        EXPECT_EQ(bytesOf(*picture->getRGBData(0, 0, 1, 1)), (Bytes{0, 0, layout.redLevel, 0xFF}));
        EXPECT_EQ(picture->getImagePlane(layout.planes, 0, 0, 2, 2), nullptr);
    }
}

TEST(CYUVPictureTest, ConvertsOnceUntilReduced)
{
    for (const SLayout& layout : layouts) {
        lumo::P<INEBPicture> picture = makeYUVPicture(layout.type, numberedBytes(2 * 8 * 8), 8, 8);
        lumo::P<CRGBPicture> rgb = picture->getRGBPicture();
        EXPECT_EQ(picture->getRGBPicture().get(), rgb.get());

        picture->reduceQuarter();
        lumo::P<CRGBPicture> reduced = picture->getRGBPicture();
        EXPECT_NE(reduced.get(), rgb.get());
        EXPECT_EQ(reduced->getWidth(), 2);
    }
}

TEST(CYUVPictureTest, ImagePlaneChecksWidthAndRegion)
{
    for (const SLayout& layout : layouts) {
        lumo::P<INEBPicture> picture = makeYUVPicture(layout.type, numberedBytes(2 * 4 * 4), 4, 4);
        lumo::expectError<CNEBError>(std::string(layout.name) + "::getImagePlane nWidth must be a pow of 2!",
                                     [&] { picture->getImagePlane(0, 0, 0, 3, 2); });
        const int32_t regions[][4] = {{-2, 0, 2, 2}, {0, -1, 2, 2}, {4, 0, 2, 2}, {0, 3, 2, 2}, {0, 0, 2, -2}};
        for (const auto& r : regions)
            EXPECT_THROW(picture->getImagePlane(0, r[0], r[1], r[2], r[3]), lumo::CInvalidArgError) << layout.name;
        uint8_t dest[64];
        EXPECT_THROW(picture->copyPlanes(dest, 8, 0, 0, 0, 0, 2, 2, 4, 2), lumo::CInvalidArgError) << layout.name;
    }
}

} // namespace
} // namespace nebo::common
