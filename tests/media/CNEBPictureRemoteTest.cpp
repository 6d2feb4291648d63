#include "media/CNEBPictureRemote.h"

#include "expectError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "yuvPictures.h"

#include <gtest/gtest.h>

namespace nebo::common {
namespace {

// The bottom-up RGB picture shows that the flag travels both ways.
TEST(CNEBPictureRemoteTest, SendsTheTypeCodeAndThePictureWhichArrivesAsItsOwnClass)
{
    for (int32_t type : {rgbPictureType, yuy2PictureType, nv12PictureType, yv12PictureType}) {
        SCOPED_TRACE(type);
        const bool rgb = type == rgbPictureType;
        const Bytes pixels = numberedBytes(rgb ? 48 : type == yuy2PictureType ? 24 : 18);
        const lumo::P<INEBPicture> sent = makePicture(type, nullptr, 2.0, blockOf(pixels), 4, 3, rgb);
        SWire wire;
        wire.out->writeObject(lumo::make<CNEBPictureRemote>(nullptr, sent).get());
        EXPECT_EQ(wire.written(), Bytes{0} + wireInt32(type) + wirePicture(2.0, 4, 3, rgb, pixels) + wireInt32(123456));

        lumo::P<CNEBPictureRemote> received = lumo::make<CNEBPictureRemote>(nullptr);
        EXPECT_NE(wire.in->readObject(*received), nullptr);
        lumo::P<INEBPicture> picture = received->getPicture();
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->getType(), type);
        // Written again, it gives the bytes it came from: time stamp, size, flag and pixels all arrived.
        SWire back;
        picture->write(*back.out);
        EXPECT_EQ(back.written(), wirePicture(2.0, 4, 3, rgb, pixels));
    }
}

TEST(CNEBPictureRemoteTest, UnknownTypeCodesAndMissingPicturesAreRefused)
{
    for (int32_t type : {0, 5, -1}) {
        SWire wire;
        lumo::P<CNEBPictureRemote> wrapper =
            lumo::make<CNEBPictureRemote>(nullptr, makeYUVPicture(nv12PictureType, Bytes(6), 2, 2));
        lumo::expectError("CNEBPictureRemote: unknown picture type received",
                          [&] { wrapper->read(wire.feed(wireInt32(type) + wirePicture(0.0, 0, 0, false, {}))); });
        EXPECT_EQ(wrapper->getPicture(), nullptr);
    }
    SWire wire;
    EXPECT_THROW(lumo::make<CNEBPictureRemote>(nullptr)->write(*wire.out), lumo::CInvalidObjectStateError);
}

// Counts what a reader asks of its memory manager.
class CCountingManager : public lumo::CObject, public virtual lumo::IMemoryManager {
public:
    lumo::P<lumo::IMemoryBlock> allocate(int32_t capacity) override
    {
        ++allocations;
        return lumo::make<lumo::CMemoryBlock>(capacity);
    }
    void purge() override {}

    int allocations = 0;
};

// Only the header is on the wire: a refused picture must fail on it, before memory is taken or pixels asked for.
TEST(CNEBPictureRemoteTest, PicturesBeyondTheBoundAreRefusedOnTheirHeader)
{
    constexpr int32_t side = 23170; // 23170 x 23170 RGB pixels just fit a 32-bit length
    // clang-format off
    struct Case { int32_t type, width, height, maxWidth, maxHeight; bool bRefused; } const cases[] = {
        {rgbPictureType, 4, 3, 4, 3, false}, {rgbPictureType, 5, 3, 4, 3, true}, {rgbPictureType, 4, 4, 4, 3, true},
        {rgbPictureType, 0, 0, 0, 0, false}, {nv12PictureType, 2, 2, 0, 0, true},
        {rgbPictureType, side, side, 16384, 16384, true}, {rgbPictureType, -1, 2, 4, 3, true},
        {yuy2PictureType, 2, -2, 4, 3, true}, {rgbPictureType, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << ": " << c.width << "x" << c.height << " within " << c.maxWidth
                                        << "x" << c.maxHeight);
        lumo::P<CCountingManager> manager = lumo::make<CCountingManager>();
        lumo::P<CNEBPictureRemote> wrapper = lumo::make<CNEBPictureRemote>(manager);
        wrapper->setMaxSize(c.maxWidth, c.maxHeight);
        // Unsigned: the lying sizes' products wrap instead of overflowing.
        const uint64_t area = uint64_t(int64_t(c.width)) * uint64_t(int64_t(c.height));
        const uint64_t length = c.type == rgbPictureType    ? 4 * area
                                : c.type == yuy2PictureType ? 2 * area
                                                            : area * 3 / 2;
        const Bytes header = wireInt32(c.type) + wireDouble(1.0) + wireInt32(c.width) + wireInt32(c.height) + Bytes{0} +
                             wireInt32(int32_t(length));
        SWire wire;
        if (c.bRefused) {
            expectRefusedBeforeTheBody([&] { wrapper->read(wire.feed(header)); });
            EXPECT_EQ(manager->allocations, 0);
            EXPECT_EQ(wrapper->getPicture(), nullptr);
        } else {
            EXPECT_TRUE(wrapper->read(wire.feed(header + numberedBytes(size_t(length)))));
            EXPECT_EQ(wrapper->getPicture()->getWidth(), c.width);
            EXPECT_EQ(wrapper->getPicture()->getHeight(), c.height);
        }
    }
    EXPECT_THROW(lumo::make<CNEBPictureRemote>(nullptr)->setMaxSize(-1, 0), lumo::CInvalidArgError);
}

} // namespace
} // namespace nebo::common
