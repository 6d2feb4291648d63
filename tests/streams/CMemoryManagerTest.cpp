#include "streams/CMemoryManager.h"

#include "foundation/CInvalidArgError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumo {
namespace {

TEST(CMemoryManagerTest, ReleasedSmallBlockServesTheNextRequestOfItsClassOnly)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30);
    P<IMemoryBlock> block = manager->allocate(100); // class 6
    IMemoryBlock* const first = block.get();
    block->setSize(3);
    block = nullptr;
    EXPECT_EQ(manager->getCachedBytes(), 64);
    P<IMemoryBlock> smaller = manager->allocate(63), larger = manager->allocate(128);
    EXPECT_EQ(manager->getCachedBytes(), 64);

    P<IMemoryBlock> again = manager->allocate(120);
    EXPECT_EQ(again.get(), first);
    EXPECT_EQ(again->getSize(), 0);
    EXPECT_EQ(manager->getCachedBytes(), 0);

    // A block that grew in use goes back by what it holds now.
    again->reserve(300);
    const int32_t capacity = again->getCapacity();
    again = nullptr;
    EXPECT_EQ(manager->getCachedBytes(), int64_t(1) << CMemoryManager::getSizeClass(capacity));
}

// A request of a MiB or more takes a block of the class above its own, no further; a smaller one its own only.
TEST(CMemoryManagerTest, LargeRequestsTakeABlockOfTheClassAbove)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30);
    const struct {
        int32_t cached, asked;
        bool bTaken;
    } cases[] = {{3 << 20, 3 << 19, true}, {1 << 20, (1 << 20) - 1, false}, {4 << 20, 3 << 19, false}};
    for (const auto& c : cases) {
        const IMemoryBlock* const cached = manager->allocate(c.cached).get(); // back in the cache at once
        EXPECT_EQ(manager->allocate(c.asked).get() == cached, c.bTaken) << c.cached << " for " << c.asked;
        manager->purge();
    }
}

TEST(CMemoryManagerTest, PlainBlocksBelowOneByteAndBeyondTheBuckets)
{
    P<CMemoryManager> manager = make<CMemoryManager>(4);
    for (int32_t capacity : {0, -3, 16, 1000})
        EXPECT_GE(manager->allocate(capacity)->getCapacity(), capacity < 0 ? 0 : capacity);
    EXPECT_EQ(manager->getCachedBytes(), 0);
    manager->allocate(15);
    EXPECT_EQ(manager->getCachedBytes(), 8);
    EXPECT_THROW(make<CMemoryManager>(-1), CInvalidArgError);
    EXPECT_THROW(make<CMemoryManager>(30, -1), CInvalidArgError);
}

TEST(CMemoryManagerTest, NeverCachesPastItsLimit)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30, 2048);
    {
        std::vector<P<IMemoryBlock>> blocks;
        for (int32_t capacity : {1024, 1024, 1024, 4096})
            blocks.push_back(manager->allocate(capacity));
    }
    EXPECT_EQ(manager->getCachedBytes(), 2048);
    manager->purge();
    EXPECT_EQ(manager->getCachedBytes(), 0);
}

TEST(CMemoryManagerTest, BlockInUseOutlivesItsManager)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30);
    P<IMemoryBlock> block = manager->allocate(32);
    std::memset(block->getData(), 7, 32);
    block->setSize(32);
    manager = nullptr;
    // Growing asks the manager for memory; its bytes move along.
    block->reserve(64);
    ASSERT_GE(block->getCapacity(), 64);
    std::memset(block->getData() + 32, 7, 32);
    EXPECT_EQ(std::count(block->getData(), block->getData() + 64, 7), 64);
    block = nullptr; // ends the manager, with the block it then caches
}

} // namespace
} // namespace lumo
