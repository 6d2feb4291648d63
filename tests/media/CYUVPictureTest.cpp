#include "media/CYUVPicture.h"

#include "expectError.h"
#include "foundation/CInvalidArgError.h"
#include "media/CNEBError.h"
#include "yuvPictures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace nebo::common {
namespace {

uint32_t firstPixel(INEBPicture& picture)
{
    uint32_t pixel;
    std::memcpy(&pixel, picture.getRGBData(0, 0, 1, 1)->getData(), 4);
    return pixel;
}

struct SLayout {
    int32_t type;
    const char* name;
    int32_t planes;
    // A 2x2 picture of Y, U and V everywhere.
    Bytes (*uniform)(uint8_t y, uint8_t u, uint8_t v);
};

const SLayout layouts[] = {
    {yuy2PictureType, "CYUY2Picture", 1,
     [](uint8_t y, uint8_t u, uint8_t v) { return Bytes{y, u, y, v, y, u, y, v}; }},
    {nv12PictureType, "CNV12Picture", 2,
     [](uint8_t y, uint8_t u, uint8_t v) { return Bytes{y, y, y, y, u, v}; }},
    {yv12PictureType, "CYV12Picture", 3,
     [](uint8_t y, uint8_t u, uint8_t v) { return Bytes{y, y, y, y, v, u}; }},
};

TEST(CYUVPictureTest, ConvertsWithTheLayoutsPlanes)
{
    for (const SLayout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        // Red from V alone, blue from U alone: planes swapped would show.
        EXPECT_EQ(firstPixel(*makeYUVPicture(layout.type, layout.uniform(16, 128, 255), 2, 2)),
                  layout.type == yuy2PictureType ? 0xFFCB0000u : 0xFFCA0000u);
        lumo::P<INEBPicture> picture = makeYUVPicture(layout.type, layout.uniform(16, 255, 128), 2, 2);
        EXPECT_EQ(firstPixel(*picture), 0xFF0000FFu);
        EXPECT_EQ(picture->getImagePlane(layout.planes, 0, 0, 2, 2), nullptr);
    }
}

TEST(CYUVPictureTest, ConvertsOnceUntilThePixelsChange)
{
    for (const SLayout& layout : layouts) {
        lumo::P<INEBPicture> picture = makeYUVPicture(layout.type, numberedBytes(2 * 8 * 8), 8, 8);
        lumo::P<CRGBPicture> rgb = picture->getRGBPicture();
        EXPECT_EQ(picture->getRGBPicture().get(), rgb.get());
        EXPECT_EQ(picture->getRGBData(0, 0, 8, 8).get(), rgb->getRGBData(0, 0, 8, 8).get());
        EXPECT_EQ(rgb->getTimestamp(), 2.0);

        picture->reduceQuarter();
        lumo::P<CRGBPicture> reduced = picture->getRGBPicture();
        EXPECT_NE(reduced.get(), rgb.get());
        EXPECT_EQ(reduced->getWidth(), 2);

        SWire wire;
        makeYUVPicture(layout.type, numberedBytes(2 * 4 * 4), 4, 4)->write(*wire.out);
        wire.written();
        picture->read(*wire.in);
        EXPECT_NE(picture->getRGBPicture().get(), reduced.get());
        EXPECT_EQ(picture->getRGBPicture()->getWidth(), 4);
    }
}

// A quarter reduction leaves 2*w*h bytes in every layout; the planar ones
// send them all, and a picture accepts any length from its layout's to that.
TEST(CYUVPictureTest, AReducedPictureTravelsWithItsWholeBlock)
{
    for (const SLayout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        lumo::P<INEBPicture> picture = makeYUVPicture(layout.type, numberedBytes(2 * 8 * 8), 8, 8);
        const Bytes sent = reducedOnTheWire(*picture);
        const Bytes pixels(sent.end() - 2 * 2 * 2, sent.end());
        EXPECT_EQ(sent, wirePicture(2.0, 2, 2, false, pixels));
        // Bytes past the layout's are zero, never stale memory.
        const size_t layoutSize = layout.type == yuy2PictureType ? 8 : 6;
        EXPECT_EQ(Bytes(pixels.begin() + layoutSize, pixels.end()), Bytes(8 - layoutSize, 0));

        const struct { size_t length; bool bAccepted; } lengths[] = {
            {layoutSize - 1, false}, {layoutSize, true}, {7, layoutSize <= 7}, {8, true}, {9, false}};
        for (const auto& test : lengths) {
            lumo::P<INEBPicture> received = makeYUVPicture(layout.type, numberedBytes(2 * 4 * 4), 4, 4);
            const Bytes bytes = wirePicture(1.0, 2, 2, false, numberedBytes(test.length));
            SWire wire;
            if (test.bAccepted) {
                EXPECT_TRUE(received->read(wire.feed(bytes))) << test.length;
                EXPECT_EQ(received->getWidth(), 2);
            } else {
                EXPECT_THROW(received->read(wire.feed(bytes)), lumo::CException) << test.length;
            }
        }
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
