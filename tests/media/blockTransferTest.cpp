#include "media/blockTransfer.h"

#include "streams/CMemoryManager.h"
#include "yuvPictures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nebo::common {
namespace {

// 3840x2160 and 4096x2160 RGB pictures: nearly twice what is taken up front, and more than twice.
constexpr int32_t longLengths[] = {3840 * 2160 * 4, 4096 * 2160 * 4};

// However far it had to grow, the block ends at the length it was read for, not at the next doubling past it.
TEST(blockTransferTest, ABlockGrowsToTheLengthAndNoFurther)
{
    for (const int32_t length : {0, 1000, maxUpFrontBlockBytes + 1, longLengths[1]}) {
        for (const int32_t capacity : {0, std::min(length, maxUpFrontBlockBytes)}) {
            const Bytes bytes = numberedBytes(size_t(length));
            SWire wire;
            const lumo::P<lumo::IMemoryBlock> block = lumo::make<lumo::CMemoryBlock>(capacity);
            readBlockBytes(wire.feed(bytes), *block, length);
            EXPECT_EQ(block->getCapacity(), std::max(length, capacity)) << length << " from " << capacity;
            EXPECT_TRUE(bytesOf(*block) == bytes) << length << " from " << capacity;
        }
    }
}

// A long picture read again and again, as a master reads a stream of them, comes into the memory the last one left.
TEST(blockTransferTest, ALongBlockReadAgainTakesTheMemoryOfTheLast)
{
    for (const int32_t length : longLengths) {
        const Bytes bytes = numberedBytes(size_t(length));
        const lumo::P<lumo::CMemoryManager> manager = lumo::make<lumo::CMemoryManager>(30);
        const auto read = [&] {
            SWire wire;
            lumo::P<lumo::IMemoryBlock> block = manager->allocate(maxUpFrontBlockBytes);
            readBlockBytes(wire.feed(bytes), *block, length);
            return std::make_pair(block.get(), block->getData());
        };
        EXPECT_EQ(read(), read()) << length;
    }
}

} // namespace
} // namespace nebo::common
