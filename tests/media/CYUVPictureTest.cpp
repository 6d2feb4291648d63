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

TEST(CYUVPictureTest, ConvertsWithTheLayoutsPlanesOnceUntilReduced)
{
    for (const SLayout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        lumo::P<INEBPicture> red = makeYUVPicture(layout.type, layout.red, 2, 2);
        EXPECT_EQ(bytesOf(*red->getRGBData(0, 0, 1, 1)), (Bytes{0, 0, layout.redLevel, 0xFF}));
        EXPECT_EQ(red->getImagePlane(layout.planes, 0, 0, 2, 2), nullptr);

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

// The bytes of a compact 8x4 picture, its planes moved apart as for `rows` plane rows, the gaps filled with 0xEE.
Bytes spacedApart(int32_t type, const Bytes& compact, int64_t rows)
{
    const int64_t chromaPlanes = type == nv12PictureType ? 1 : 2, chromaBytes = 8 * 4 / 2 / chromaPlanes;
    Bytes spaced(size_t(8 * rows * 3 / 2), 0xEE);
    place(spaced, 0, Bytes(compact.begin(), compact.begin() + 8 * 4));
    for (int64_t plane = 0; plane < chromaPlanes; ++plane) {
        const auto from = compact.begin() + 8 * 4 + plane * chromaBytes;
        place(spaced, size_t(8 * rows + plane * 8 * rows / 2 / chromaPlanes), Bytes(from, from + chromaBytes));
    }
    return spaced;
}

// Every answer of a picture whose planes are spaced is the compact one's.
TEST(CYUVPictureTest, SpacedPlanesAnswerAsCompactOnes)
{
    for (const SLayout& layout : layouts) {
        if (layout.planes == 1)
            continue;
        SCOPED_TRACE(layout.name);
        const Bytes compactBytes = numberedBytes(8 * 4 * 3 / 2);
        const lumo::P<CPictureBase> compact =
            makePicture(layout.type, nullptr, 2.0, blockOf(compactBytes), 8, 4, false);
        const auto makeSpaced = [&] {
            return makePicture(layout.type, nullptr, 2.0, blockOf(spacedApart(layout.type, compactBytes, 10)), 8, 4,
                               false, 10);
        };
        lumo::P<CPictureBase> spaced = makeSpaced();
        EXPECT_EQ(spaced->getPixelBytes(), 8 * 10 * 3 / 2);
        for (int32_t plane = 0; plane < layout.planes; ++plane)
            EXPECT_EQ(bytesOf(*spaced->getImagePlane(plane, 2, 2, 4, 2)),
                      bytesOf(*compact->getImagePlane(plane, 2, 2, 4, 2)));
        Bytes fromSpaced(16 * 16, 0), fromCompact(16 * 16, 0);
        spaced->copyPlanes(fromSpaced.data(), 16, 1, 10, 2, 4, 2, 0, 6, 4);
        compact->copyPlanes(fromCompact.data(), 16, 1, 10, 2, 4, 2, 0, 6, 4);
        EXPECT_EQ(fromSpaced, fromCompact);
        EXPECT_EQ(bytesOf(*spaced->getRGBData(0, 0, 8, 4)), bytesOf(*compact->getRGBData(0, 0, 8, 4)));
        SWire spacedWire, compactWire;
        spaced->write(*spacedWire.out);
        compact->write(*compactWire.out);
        EXPECT_EQ(spacedWire.written(), compactWire.written());
        EXPECT_EQ(spaced->getPlaneRows(), 10) << "nothing above moved the planes";

        // The whole picture's planes are views on a block without gaps.
        EXPECT_EQ(bytesOf(*spaced->getImagePlane(0, 0, 0, 8, 4)), compactBytes);
        EXPECT_EQ(spaced->getPlaneRows(), 4);
        const lumo::P<lumo::IMemoryBlock> chroma = spaced->getImagePlane(1, 0, 0, 8, 4);
        EXPECT_EQ(chroma->getData(), spaced->getPixelData() + 8 * 4);
        EXPECT_EQ(chroma->getSize(), 8 * 4 / 2 / (layout.planes - 1));

        spaced = makeSpaced();
        EXPECT_EQ(reducedOnTheWire(*spaced), reducedOnTheWire(*compact));
        EXPECT_EQ(spaced->getPlaneRows(), 1) << "a reduction leaves no gaps";
    }
}

TEST(CYUVPictureTest, PlaneRowsMustLieBetweenTheHeightAndTheBound)
{
    const int32_t maxRows = 4 + CPictureBase::maxExtraPlaneRows;
    // clang-format off
    const struct { int32_t type, planeRows; int64_t blockBytes; bool bAccepted; } cases[] = {
        {nv12PictureType, 3, 48, false}, {nv12PictureType, maxRows, 8 * maxRows * 3 / 2, true},
        {yv12PictureType, maxRows + 1, 8 * (maxRows + 1) * 3 / 2, false},
        {yv12PictureType, 6, 8 * 6 * 3 / 2 - 1, false}, {rgbPictureType, 6, 8 * 6 * 4, false},
        {yuy2PictureType, 4, 8 * 4 * 2, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.planeRows << " rows");
        const auto make = [&] {
            return makePicture(c.type, nullptr, 0.0, blockOf(Bytes(size_t(c.blockBytes))), 8, 4, false, c.planeRows);
        };
        if (c.bAccepted)
            EXPECT_EQ(make()->getPlaneRows(), c.planeRows);
        else
            EXPECT_THROW(make(), lumo::CInvalidArgError);
    }
}

} // namespace
} // namespace nebo::common
