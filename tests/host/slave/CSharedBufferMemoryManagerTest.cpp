#include "host/slave/CSharedBufferMemoryManager.h"

#include "foundation/CInvalidArgError.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <cstring>

namespace nebo::common {
namespace {

using lumo::P;

std::vector<P<lumo::ISharedMemory>> makeBuffers(size_t count, int64_t size)
{
    std::vector<P<lumo::ISharedMemory>> buffers;
    while (buffers.size() < count)
        buffers.push_back(lumo::createSharedMemory(size));
    return buffers;
}

class CSharedBufferMemoryManagerTest : public ::testing::Test {
protected:
    CSharedBufferMemoryManagerTest() { EXPECT_TRUE(m_manager->takeBuffers(m_buffers)); }

    // The buffer a block lies at the start of, or -1.
    int32_t bufferOf(const P<lumo::IMemoryBlock>& block) const
    {
        for (size_t i = 0; i < m_buffers.size(); ++i)
            if (m_buffers[i]->getData() == block->getData())
                return int32_t(i);
        return -1;
    }

    const std::vector<P<lumo::ISharedMemory>> m_buffers = makeBuffers(3, 1000);
    const P<CSharedBufferMemoryManager> m_manager =
        lumo::make<CSharedBufferMemoryManager>(lumo::make<lumo::CMemoryManager>(30));
};

TEST_F(CSharedBufferMemoryManagerTest, ShareableBlocksLieInFreeBuffersOnlyWhenTheyFit)
{
    EXPECT_EQ(bufferOf(m_manager->allocate(1000)), -1) << "any other block is the inner manager's";
    P<lumo::IMemoryBlock> first = m_manager->allocateShareable(1000);
    EXPECT_EQ(bufferOf(first), 0);
    EXPECT_EQ(first->getCapacity(), 1000);
    EXPECT_EQ(bufferOf(m_manager->allocateShareable(1001)), -1);
    first = nullptr;
    EXPECT_EQ(bufferOf(m_manager->allocateShareable(500)), 0) << "a buffer is free again when its block goes";
}

TEST_F(CSharedBufferMemoryManagerTest, PicturesInABufferGoOverAsTheyLieOthersAreCopiedIntoAFreeOne)
{
    const P<lumo::IMemoryBlock> inBuffer = m_manager->allocateShareable(800);
    std::memset(inBuffer->getData(), 7, 800);
    EXPECT_EQ(m_manager->handOver(inBuffer->getData(), 800), 0);
    // Handed over twice, the master would release it twice: the second goes as a copy.
    EXPECT_EQ(m_manager->handOver(inBuffer->getData(), 800), 1);
    EXPECT_EQ(std::memcmp(m_buffers[1]->getData(), inBuffer->getData(), 800), 0);

    const std::vector<uint8_t> elsewhere(900, 9);
    EXPECT_EQ(m_manager->handOver(elsewhere.data(), 900), 2);
    EXPECT_EQ(std::memcmp(m_buffers[2]->getData(), elsewhere.data(), 900), 0);
    EXPECT_EQ(m_manager->handOver(elsewhere.data(), 900), CSharedBufferMemoryManager::noBuffer) << "all held";
    EXPECT_EQ(m_manager->handOver(elsewhere.data(), 1001), CSharedBufferMemoryManager::noBuffer);

    // Released by the master, buffer 0 still holds the slave's block; bit 3 names no buffer.
    m_manager->releaseToSlave(0b1101);
    EXPECT_EQ(m_manager->handOver(elsewhere.data(), 900), 2);
    EXPECT_EQ(m_manager->handOver(inBuffer->getData(), 800), 0);
    EXPECT_EQ(bufferOf(m_manager->allocateShareable(800)), -1) << "held by the master";
}

TEST_F(CSharedBufferMemoryManagerTest, ABlockThatOutgrowsItsBufferMovesWithItsBytesAndFreesIt)
{
    const P<lumo::IMemoryBlock> block = m_manager->allocateShareable(600);
    ASSERT_EQ(bufferOf(block), 0);
    block->reserve(1000);
    EXPECT_EQ(bufferOf(block), 0);
    std::memset(block->getData(), 5, 1000);
    block->setSize(1000);
    EXPECT_THROW(block->setSize(1001), lumo::CInvalidArgError);
    block->reserve(5000);
    EXPECT_EQ(bufferOf(block), -1);
    EXPECT_GE(block->getCapacity(), 5000);
    ASSERT_EQ(block->getSize(), 1000);
    EXPECT_EQ(std::vector<uint8_t>(block->getData(), block->getData() + 1000), std::vector<uint8_t>(1000, 5));
    block->setSize(5000);
    EXPECT_EQ(bufferOf(m_manager->allocateShareable(600)), 0);
}

TEST(CSharedBufferMemoryManagerBuffersTest, TakesOneRingOfOneSizeOnce)
{
    const struct {
        std::vector<P<lumo::ISharedMemory>> buffers;
        bool bTaken;
    } cases[] = {
        {{}, false},
        {makeBuffers(32, 1), false},
        {{lumo::createSharedMemory(10), lumo::createSharedMemory(11)}, false},
        {makeBuffers(31, 1), true},
    };
    for (const auto& c : cases) {
        const P<CSharedBufferMemoryManager> manager =
            lumo::make<CSharedBufferMemoryManager>(lumo::make<lumo::CMemoryManager>(30));
        EXPECT_EQ(manager->takeBuffers(c.buffers), c.bTaken) << c.buffers.size();
        EXPECT_EQ(manager->takeBuffers(makeBuffers(1, 1)), !c.bTaken) << "a ring after " << c.buffers.size();
    }
}

} // namespace
} // namespace nebo::common
