#include "media/CAudioChunk.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "streams/CEndOfStreamError.h"
#include "yuvPictures.h"

#include <gtest/gtest.h>

namespace nebo::audio {
namespace {

using common::Bytes;
using common::SWire;
using common::operator+;

lumo::P<CAudioChunk> presetChunk() { return lumo::make<CAudioChunk>(0.0, lumo::make<lumo::CMemoryBlock>(1 << 20)); }

TEST(CAudioChunkTest, ChunksTravelAsTimeStampLengthAndBytes)
{
    for (size_t size : {size_t(0), size_t(4096), size_t(3 << 20)}) {
        const Bytes samples = common::numberedBytes(size);
        SWire wire;
        lumo::make<CAudioChunk>(1.25, common::blockOf(samples))->write(*wire.out);
        EXPECT_EQ(wire.written(), common::wireDouble(1.25) + common::wireInt32(int32_t(size)) + samples);

        lumo::P<CAudioChunk> chunk = presetChunk();
        lumo::P<lumo::IMemoryBlock> block = chunk->getMemoryBlock();
        EXPECT_TRUE(chunk->read(*wire.in));
        EXPECT_EQ(chunk->getMemoryBlock().get(), block.get());
        EXPECT_EQ(chunk->getTimestamp(), 1.25);
        EXPECT_EQ(common::bytesOf(*block), samples);
    }
}

TEST(CAudioChunkTest, LengthsOutsideTheBoundAreRefusedBeforeTheBlockGrows)
{
    // bound: -1 for the default
    // clang-format off
    struct Case { int32_t bound, length; bool bRefused; } const cases[] = {
        {4096, 4096, false}, {4096, 4097, true}, {4096, -1, true}, {0, 0, false}, {0, 1, true},
        {-1, CAudioChunk::defaultMaxDataSize + 1, true}, {-1, INT32_MIN, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bound << " " << c.length);
        lumo::P<CAudioChunk> chunk = lumo::make<CAudioChunk>(0.0, common::blockOf(Bytes(5)));
        if (c.bound >= 0)
            chunk->setMaxDataSize(c.bound);
        const int32_t capacity = chunk->getMemoryBlock()->getCapacity();
        const Bytes header = common::wireDouble(2.0) + common::wireInt32(c.length);
        SWire wire;
        if (c.bRefused) {
            common::expectRefusedBeforeTheBody([&] { chunk->read(wire.feed(header)); });
            EXPECT_EQ(chunk->getDataSize(), 5);
            EXPECT_EQ(chunk->getMemoryBlock()->getCapacity(), capacity);
            EXPECT_EQ(chunk->getTimestamp(), 0.0);
        } else {
            const Bytes samples = common::numberedBytes(size_t(c.length));
            EXPECT_TRUE(chunk->read(wire.feed(header + samples)));
            EXPECT_EQ(common::bytesOf(*chunk->getMemoryBlock()), samples);
        }
    }
    EXPECT_THROW(presetChunk()->setMaxDataSize(-1), lumo::CInvalidArgError);
}

TEST(CAudioChunkTest, CutShortChunksAndMissingBlocksAreRefused)
{
    SWire wire;
    lumo::P<CAudioChunk> cut = presetChunk();
    EXPECT_THROW(cut->read(wire.feed(common::wireDouble(2.0) + common::wireInt32(64) + Bytes(8))),
                 lumo::CEndOfStreamError);
    EXPECT_EQ(cut->getTimestamp(), 0.0);

    lumo::P<CAudioChunk> blockless = lumo::make<CAudioChunk>(0.0, nullptr);
    EXPECT_THROW(blockless->read(wire.feed(common::wireDouble(2.0) + common::wireInt32(0))),
                 lumo::CInvalidObjectStateError);
}

} // namespace
} // namespace nebo::audio
