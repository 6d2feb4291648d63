#include "host/wire/CSharedPictureRing.h"

#include "foundation/CInvalidArgError.h"
#include "media/CNEBError.h"

#include <gtest/gtest.h>

namespace nebo::common {
namespace {

TEST(CSharedPictureRingTest, ABufferIsHeldUntilItsBlockGoesAndItsReleaseIsToldOnce)
{
    const lumo::P<CSharedPictureRing> ring = lumo::make<CSharedPictureRing>(3, 100);
    ASSERT_EQ(ring->getBuffers().size(), 3u);
    lumo::P<lumo::IMemoryBlock> first = ring->takeBlock(2, 10, 90);
    EXPECT_EQ(first->getData(), ring->getBuffers()[2]->getData() + 10);
    EXPECT_EQ(first->getSize(), 90);
    EXPECT_THROW(first->reserve(91), lumo::CInvalidArgError);
    EXPECT_THROW(ring->takeBlock(2, 0, 1), CNEBError);

    const lumo::P<lumo::IMemoryBlock> second = ring->takeBlock(0, 0, 100);
    EXPECT_EQ(ring->takeReleased(), 0);
    first = nullptr;
    EXPECT_EQ(ring->takeReleased(), 1 << 2);
    EXPECT_EQ(ring->takeReleased(), 0);
    EXPECT_NE(ring->takeBlock(2, 0, 100), nullptr);
    // That block went at once: buffer 2 is free again.
    EXPECT_EQ(ring->takeReleased(), 1 << 2);
}

TEST(CSharedPictureRingTest, IndicesOffsetsAndLengthsOutsideTheRingAreRefused)
{
    const lumo::P<CSharedPictureRing> ring = lumo::make<CSharedPictureRing>(2, 100);
    const struct {
        int32_t index, offset, length;
    } cases[] = {
        {-1, 0, 1},  {2, 0, 1},   {INT32_MIN, 0, 1},         {0, -1, 10}, {0, 0, -1}, {0, 0, 101},
        {0, 91, 10}, {0, 101, 0}, {1, INT32_MAX, INT32_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << " " << c.offset << " " << c.length);
        EXPECT_THROW(ring->takeBlock(c.index, c.offset, c.length), CNEBError);
    }
    // Nothing refused was held.
    EXPECT_EQ(ring->takeReleased(), 0);
    EXPECT_NE(ring->takeBlock(1, 100, 0), nullptr);
}

} // namespace
} // namespace nebo::common
