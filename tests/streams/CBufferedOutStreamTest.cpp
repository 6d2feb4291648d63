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

using Bytes = std::vector<uint8_t>;

struct BufferedOutFixture : testing::Test {
    static constexpr int32_t capacity = 8;

    void write(const Bytes& bytes) { out->write(bytes.data(), static_cast<int32_t>(bytes.size())); }

    P<CProbeStream> wrapped = make<CProbeStream>();
    P<CMemoryBlock> block = make<CMemoryBlock>(capacity);
    P<CBufferedOutStream> out = make<CBufferedOutStream>(wrapped, block);
};

TEST_F(BufferedOutFixture, WritesGoStraightThroughOutsideAMessage)
{
    write({1, 2});
    write({3});
    EXPECT_EQ(wrapped->writeCounts, (std::vector<int32_t>{2, 1}));
    EXPECT_EQ(wrapped->bytes(), (Bytes{1, 2, 3}));
    EXPECT_EQ(block->getSize(), 0);
}

TEST_F(BufferedOutFixture, AMessageLeavesInOneWriteAtTheFlush)
{
    out->beginMessage();
    write({1, 2});
    write({3});
    write({4, 5, 6});
    EXPECT_TRUE(wrapped->writeCounts.empty());
    EXPECT_TRUE(out->isInMessage());
    out->flush();
    EXPECT_FALSE(out->isInMessage());
    EXPECT_EQ(wrapped->writeCounts, (std::vector<int32_t>{6}));
    EXPECT_EQ(wrapped->bytes(), (Bytes{1, 2, 3, 4, 5, 6}));

    // An empty message sends nothing, and later writes pass through again.
    out->beginMessage();
    out->flush();
    write({7});
    EXPECT_EQ(wrapped->writeCounts, (std::vector<int32_t>{6, 1}));
}

TEST_F(BufferedOutFixture, DiscardDropsTheMessage)
{
    out->beginMessage();
    write({1, 2, 3});
    out->discard();
    EXPECT_FALSE(out->isInMessage());
    EXPECT_EQ(block->getSize(), 0);
    write({9});
    EXPECT_EQ(wrapped->bytes(), (Bytes{9}));
}

TEST_F(BufferedOutFixture, AMessageLargerThanTheBlockLeavesInOrderWithoutGrowingIt)
{
    out->beginMessage();
    write({1, 2, 3, 4, 5});
    write({6, 7, 8, 9});                                // does not fit: the first five go
    write({10, 11, 12, 13, 14, 15, 16, 17, 18, 19});    // larger than the block: straight through
    write({20});
    out->flush();
    EXPECT_EQ(wrapped->writeCounts, (std::vector<int32_t>{5, 4, 10, 1}));
    EXPECT_EQ(wrapped->bytes(), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    EXPECT_EQ(block->getCapacity(), capacity);
}

TEST_F(BufferedOutFixture, AFailedFlushLosesTheMessageAndEndsIt)
{
    out->beginMessage();
    write({1, 2});
    wrapped->close();
    EXPECT_THROW(out->flush(), CStreamClosedError);
    EXPECT_FALSE(out->isInMessage());
    EXPECT_EQ(block->getSize(), 0);
    EXPECT_THROW(out->checkOpen(), CStreamClosedError);
}

TEST_F(BufferedOutFixture, CloseDropsTheMessageAndClosesTheWrappedStream)
{
    out->beginMessage();
    write({1});
    out->close();
    EXPECT_TRUE(wrapped->isClosed());
    EXPECT_TRUE(out->isClosed());
    EXPECT_EQ(wrapped->getSize(), 0);
    EXPECT_THROW(write({2}), CStreamClosedError);
}

TEST_F(BufferedOutFixture, ReplacingTheBlock)
{
    P<CMemoryBlock> other = make<CMemoryBlock>(4);
    out->beginMessage();
    EXPECT_THROW(out->setBuffer(other), CInvalidObjectStateError);
    out->discard();
    out->setBuffer(other);
    EXPECT_EQ(out->getBuffer(), other);
    out->beginMessage();
    write({1, 2, 3});
    EXPECT_EQ(other->getSize(), 3);
    out->flush();
    EXPECT_EQ(wrapped->bytes(), (Bytes{1, 2, 3}));
    EXPECT_THROW(out->setBuffer(nullptr), CInvalidArgError);
}

TEST_F(BufferedOutFixture, RefusesBadArguments)
{
    EXPECT_THROW(make<CBufferedOutStream>(nullptr, block), CInvalidArgError);
    EXPECT_THROW(make<CBufferedOutStream>(wrapped, nullptr), CInvalidArgError);
    out->beginMessage();
    const uint8_t byte = 0;
    EXPECT_THROW(out->write(&byte, -1), CInvalidArgError);
    EXPECT_THROW(out->write(nullptr, 1), CInvalidArgError);
    EXPECT_EQ(out->writeCounted(&byte, 1), 1);
    EXPECT_EQ(block->getSize(), 1);
    EXPECT_EQ(out->getPosition(), -1);
    EXPECT_EQ(out->getSize(), -1);
}

} // namespace
} // namespace lumo
