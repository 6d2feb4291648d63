#include "streams/CMemoryBlockBase.h"

#include "foundation/CInvalidArgError.h"
#include "streams/CMemoryBlock.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lumo {
namespace {

TEST(CMemoryBlockBaseTest, ReserveKeepsTheBytesInUseGrowsExactlyAndNeverShrinks)
{
    P<CMemoryBlock> block = make<CMemoryBlock>(4);
    std::memcpy(block->getData(), "abcd", 4);
    block->setSize(3);
    block->reserve(5);
    EXPECT_EQ(std::memcmp(block->getData(), "abc", 3), 0);
    EXPECT_EQ(block->getSize(), 3);
    const int32_t capacity = block->getCapacity();
    EXPECT_EQ(capacity, 5);
    block->reserve(1);
    block->reserve(-7);
    EXPECT_EQ(block->getCapacity(), capacity);

    for (int32_t bad : {capacity + 1, -1})
        EXPECT_THROW(block->setSize(bad), CInvalidArgError) << bad;
    EXPECT_EQ(block->getSize(), 3);
}

} // namespace
} // namespace lumo
