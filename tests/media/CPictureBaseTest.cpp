#include "media/CPictureBase.h"

#include "media/CRGBPicture.h"
#include "media/blockTransfer.h"
#include "media/makePicture.h"
#include "streams/CEndOfStreamError.h"
#include "streams/CMemoryManager.h"
#include "yuvPictures.h"

#include <gtest/gtest.h>

namespace nebo::common {
namespace {

// A length runs from the layout's to the longest block: twice the area for YUV, which a reduced picture sends whole.
TEST(CPictureBaseTest, BlockLengthsMustMatchTheLayout)
{
    // clang-format off
    const struct { int32_t type, width, height, length; bool accepted; } cases[] = {
        {rgbPictureType, 3, 3, 36, true},    {rgbPictureType, 3, 3, 35, false},
        {yuy2PictureType, 3, 3, 18, true},   {yuy2PictureType, 3, 3, 20, false},
        {nv12PictureType, 3, 3, 12, false},  {nv12PictureType, 3, 3, 13, true},
        {nv12PictureType, 3, 3, 18, true},   {nv12PictureType, 3, 3, 19, false},
        {nv12PictureType, 5, 2, 15, true},   {yv12PictureType, 3, 3, 13, true},
        {yv12PictureType, 5, 3, 20, false},  {yv12PictureType, 5, 3, 21, true},
        {yv12PictureType, -2, 2, 0, false},  {rgbPictureType, 2, -2, 0, false},
        {rgbPictureType, 100000, 100000, -1, false}, {yuy2PictureType, 0x40000000, 2, 0, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.type << ": " << c.width << 'x' << c.height << ' ' << c.length);
        SWire wire;
        lumo::P<CPictureBase> picture = makePicture(c.type, nullptr, 0.0, nullptr, 0, 0, false);
        const Bytes header =
            wireDouble(1.0) + wireInt32(c.width) + wireInt32(c.height) + Bytes{0} + wireInt32(c.length);
        if (c.accepted) {
            EXPECT_TRUE(picture->read(wire.feed(header + numberedBytes(size_t(c.length)))));
            EXPECT_EQ(picture->getWidth(), c.width);
        } else {
            expectRefusedBeforeTheBody([&] { picture->read(wire.feed(header)); });
            EXPECT_EQ(picture->getWidth(), 0);
        }
    }
}

// A length is only a claim: a cut-short picture throws, stays empty and took no more memory than its bytes justify.
TEST(CPictureBaseTest, ACutShortPictureStaysEmptyAndSmall)
{
    lumo::P<CRGBPicture> picture =
        lumo::make<CRGBPicture>(lumo::make<lumo::CMemoryManager>(30), 0.0, nullptr, 0, 0, false);
    SWire wire;
    const Bytes body = wireDouble(1.0) + wireInt32(8192) + wireInt32(8192) + Bytes{0} + wireInt32(8192 * 8192 * 4) +
                       numberedBytes(100);
    EXPECT_THROW(picture->read(wire.feed(body)), lumo::CEndOfStreamError);
    EXPECT_EQ(picture->getWidth(), 0);
    EXPECT_EQ(picture->getHeight(), 0);
    EXPECT_LE(picture->getRGBData(0, 0, 0, 0)->getCapacity(), maxUpFrontBlockBytes);
}

} // namespace
} // namespace nebo::common
