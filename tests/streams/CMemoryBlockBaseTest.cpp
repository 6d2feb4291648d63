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
    EXPECT_EQ(block->getCapacity(), 4);
    EXPECT_EQ(block->getSize(), 0);
    std::memcpy(block->getData(), "abcd", 4);
    block->setSize(3);

    block->reserve(5);
    EXPECT_GE(block->getCapacity(), 5);
    EXPECT_EQ(std::memcmp(block->getData(), "abc", 3), 0);
    EXPECT_EQ(block->getSize(), 3);

    const int32_t capacity = block->getCapacity();
    block->reserve(1);
    block->reserve(-7);
    EXPECT_EQ(block->getCapacity(), capacity);
}

TEST(CMemoryBlockBaseTest, SmallReservesGrowGeometrically)
{
    P<CMemoryBlock> block = make<CMemoryBlock>(0);
    EXPECT_EQ(block->getCapacity(), 0);
    int growths = 0;
    for (int32_t wanted = 1; wanted <= 100000; ++wanted) {
        const int32_t before = block->getCapacity();
        block->reserve(wanted);
        growths += block->getCapacity() != before;
    }
    EXPECT_LE(growths, 18);
}

TEST(CMemoryBlockBaseTest, SizeStaysWithinTheCapacity)
{
    P<CMemoryBlock> block = make<CMemoryBlock>(8);
    block->setSize(8);
    EXPECT_EQ(block->getSize(), 8);
    for (int32_t bad : {9, -1})
        EXPECT_THROW(block->setSize(bad), CInvalidArgError) << bad;
    EXPECT_EQ(block->getSize(), 8);
}

} // namespace
} // namespace lumo
