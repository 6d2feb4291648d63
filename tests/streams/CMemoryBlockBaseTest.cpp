#include "streams/CMemoryBlockBase.h"

#include "foundation/CInvalidArgError.h"
#include "streams/CMemoryBlock.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lumo {
namespace {

TEST(CMemoryBlockBaseTest, ReserveKeepsTheBytesInUseAndNeverShrinks)
{
    P<CMemoryBlock> block = make<CMemoryBlock>(4);
    std::memcpy(block->getData(), "abcd", 4);
    block->setSize(3);
    block->reserve(5);
    EXPECT_EQ(std::memcmp(block->getData(), "abc", 3), 0);
    EXPECT_EQ(block->getSize(), 3);
    const int32_t capacity = block->getCapacity();
    EXPECT_GE(capacity, 5);
    block->reserve(1);
    block->reserve(-7);
    EXPECT_EQ(block->getCapacity(), capacity);

    for (int32_t bad : {capacity + 1, -1})
        EXPECT_THROW(block->setSize(bad), CInvalidArgError) << bad;
    EXPECT_EQ(block->getSize(), 3);
}

TEST(CMemoryBlockBaseTest, SmallReservesGrowGeometrically)
{
    P<CMemoryBlock> block = make<CMemoryBlock>(0);
    int growths = 0;
    for (int32_t wanted = 1; wanted <= 100000; ++wanted) {
        const int32_t before = block->getCapacity();
        block->reserve(wanted);
        growths += block->getCapacity() != before;
    }
    EXPECT_LE(growths, 18);
}

} // namespace
} // namespace lumo
