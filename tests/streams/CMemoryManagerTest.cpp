#include "streams/CMemoryManager.h"

#include "foundation/CInvalidArgError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <thread>
#include <vector>

namespace lumo {
namespace {

TEST(CMemoryManagerTest, SizeClassIsTheWholePartOfLog2)
{
    const struct {
        int32_t capacity;
        int32_t sizeClass;
    } cases[] = {{-5, -1}, {0, -1}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {1023, 9}, {1024, 10},
                 {std::numeric_limits<int32_t>::max(), 30}};
    for (const auto& c : cases)
        EXPECT_EQ(CMemoryManager::getSizeClass(c.capacity), c.sizeClass) << c.capacity;
}

TEST(CMemoryManagerTest, ReleasedBlockServesTheNextRequestOfItsClass)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30);
    P<IMemoryBlock> block = manager->allocate(100); // class 6
    IMemoryBlock* const first = block.get();
    std::memcpy(block->getData(), "xyz", 3);
    block->setSize(3);
    block = nullptr;
    EXPECT_EQ(manager->getCachedBytes(), 64);

    P<IMemoryBlock> again = manager->allocate(120);
    EXPECT_EQ(again.get(), first);
    EXPECT_EQ(again->getSize(), 0);
    EXPECT_GE(again->getCapacity(), 120);
    EXPECT_EQ(manager->getCachedBytes(), 0);
}

TEST(CMemoryManagerTest, OtherClassesAreNotServedFromTheBucket)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30);
    manager->allocate(100);
    P<IMemoryBlock> smaller = manager->allocate(63);
    P<IMemoryBlock> larger = manager->allocate(128);
    EXPECT_EQ(manager->getCachedBytes(), 64);
}

TEST(CMemoryManagerTest, GrownBlockReturnsToTheClassOfItsCapacity)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30);
    P<IMemoryBlock> block = manager->allocate(16);
    block->reserve(300);
    const int32_t capacity = block->getCapacity();
    block = nullptr;
    EXPECT_EQ(manager->getCachedBytes(), int64_t(1) << CMemoryManager::getSizeClass(capacity));
}

TEST(CMemoryManagerTest, PlainBlocksBelowOneByteAndBeyondTheBuckets)
{
    P<CMemoryManager> manager = make<CMemoryManager>(4);
    for (int32_t capacity : {0, -3, 16, 1000}) {
        P<IMemoryBlock> block = manager->allocate(capacity);
        EXPECT_GE(block->getCapacity(), capacity < 0 ? 0 : capacity);
    }
    EXPECT_EQ(manager->getCachedBytes(), 0);
    manager->allocate(15);
    EXPECT_EQ(manager->getCachedBytes(), 8);
}

TEST(CMemoryManagerTest, NeverCachesPastItsLimit)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30, 2048);
    {
        std::vector<P<IMemoryBlock>> blocks;
        for (int i = 0; i < 3; ++i)
            blocks.push_back(manager->allocate(1024));
        blocks.push_back(manager->allocate(4096));
    }
    EXPECT_EQ(manager->getCachedBytes(), 2048);
    manager->purge();
    EXPECT_EQ(manager->getCachedBytes(), 0);
}

TEST(CMemoryManagerTest, BlockInUseOutlivesItsManager)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30);
    P<IMemoryBlock> block = manager->allocate(32);
    manager = nullptr;
    block->reserve(64);
    block->setSize(64);
    std::memset(block->getData(), 7, 64);
    block = nullptr; // ends the manager, with the block it then caches
}

TEST(CMemoryManagerTest, ConcurrentUseKeepsTheCountWithinTheLimit)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30, 16 * 1024);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&manager, t] {
            for (int i = 0; i < 2000; ++i) {
                P<IMemoryBlock> block = manager->allocate(1 + (i * 37 + t) % 5000);
                block->setSize(1);
                block->getData()[0] = static_cast<uint8_t>(i);
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_GT(manager->getCachedBytes(), 0);
    EXPECT_LE(manager->getCachedBytes(), 16 * 1024);
}

TEST(CMemoryManagerTest, RefusesNegativeSettings)
{
    EXPECT_THROW(make<CMemoryManager>(-1), CInvalidArgError);
    EXPECT_THROW(make<CMemoryManager>(30, -1), CInvalidArgError);
}

} // namespace
} // namespace lumo
