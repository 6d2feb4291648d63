#include "streams/CBufferedOutStream.h"

#include "CProbeStream.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "streams/CMemoryBlock.h"
#include "streams/CStreamClosedError.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo {
namespace {

using Counts = std::vector<int32_t>;

struct BufferedOutStreamTest : testing::Test {
    void write(const Bytes& bytes) { out->write(bytes.data(), static_cast<int32_t>(bytes.size())); }

    P<CProbeStream> wrapped = make<CProbeStream>();
    P<CMemoryBlock> block = make<CMemoryBlock>(8);
    P<CBufferedOutStream> out = make<CBufferedOutStream>(wrapped, block);
};

TEST_F(BufferedOutStreamTest, AMessageLeavesInOneWriteAndOtherWritesAtOnce)
{
    write({1, 2});
    out->beginMessage();
    write({3});
    write({4, 5, 6});
    EXPECT_EQ(wrapped->writeCounts, Counts{2});
    out->flush();
    out->beginMessage();
    out->flush(); // an empty message sends nothing
    write({7});
    EXPECT_EQ(wrapped->writeCounts, (Counts{2, 4, 1}));
    EXPECT_EQ(wrapped->bytes(), (Bytes{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(BufferedOutStreamTest, AMessageLargerThanTheBlockLeavesInOrder)
{
    out->beginMessage();
    write({1, 2, 3, 4, 5});
    write({6, 7, 8, 9});                     // does not fit: the first five go
    write({10, 11, 12, 13, 14, 15, 16, 17}); // the block's size: straight through
    write({18});
    out->flush();
    EXPECT_EQ(wrapped->writeCounts, (Counts{5, 4, 8, 1}));
    EXPECT_EQ(wrapped->bytes(), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
    EXPECT_EQ(block->getCapacity(), 8);
}

TEST_F(BufferedOutStreamTest, ADroppedOrFailedMessageLeavesNothingBehind)
{
    out->beginMessage();
    write({1});
    out->discard();
    out->beginMessage();
    write({2});
    wrapped->close();
    EXPECT_THROW(out->flush(), CStreamClosedError);
    EXPECT_FALSE(out->isInMessage());
    EXPECT_EQ(block->getSize(), 0);
    EXPECT_EQ(wrapped->getSize(), 0);
}

TEST_F(BufferedOutStreamTest, TheBlockAndTheArguments)
{
    const P<CMemoryBlock> other = make<CMemoryBlock>(4);
    out->beginMessage();
    EXPECT_THROW(out->setBuffer(other), CInvalidObjectStateError);
    EXPECT_THROW(out->write(nullptr, 1), CInvalidArgError);
    EXPECT_THROW(out->write(block->getData(), -1), CInvalidArgError);
    out->discard();
    out->setBuffer(other);
}

} // namespace
} // namespace lumo
