#include "media/blockTransfer.h"

#include "streams/CMemoryManager.h"
#include "yuvPictures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nebo::common {
namespace {

// A 3840x2160 RGB picture: twice what is taken up front, nearly.
constexpr int32_t longLength = 3840 * 2160 * 4;

// However far it had to grow, the block ends at the length it was read for,
// not at the next doubling past it.
TEST(blockTransferTest, ABlockGrowsToTheLengthAndNoFurther)
{
    for (const int32_t length : {0, 1000, maxUpFrontBlockBytes + 1, longLength}) {
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

// A picture longer than what is taken up front, read again and again as a
// master reads a stream of them, comes into the memory the last one left.
TEST(blockTransferTest, ALongBlockReadAgainTakesTheMemoryOfTheLast)
{
    const Bytes bytes = numberedBytes(size_t(longLength));
    const lumo::P<lumo::CMemoryManager> manager = lumo::make<lumo::CMemoryManager>(30);
    const auto read = [&] {
        SWire wire;
        lumo::P<lumo::IMemoryBlock> block = manager->allocate(maxUpFrontBlockBytes);
        readBlockBytes(wire.feed(bytes), *block, longLength);
        return std::make_pair(block.get(), block->getData());
    };
    EXPECT_EQ(read(), read());
}

} // namespace
} // namespace nebo::common
