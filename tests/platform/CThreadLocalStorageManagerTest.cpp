#include "platform/CThreadLocalStorageManager.h"

#include "CCountedProbe.h"

#include <gtest/gtest.h>

#include <thread>

namespace lumo {
namespace {

// A manager of the test's own, and probes that count their destructions.
class CThreadLocalStorageManagerTest : public ::testing::Test {
protected:
    P<IBase> probe() { return make<CCountedProbe>(m_destructions); }

    std::atomic<int> m_destructions{0};
    P<CThreadLocalStorageManager> m_manager = make<CThreadLocalStorageManager>();
};

TEST_F(CThreadLocalStorageManagerTest, HandsOutTheLowestFreeIndexAndLowersTheCountPastFreedOnes)
{
    for (int32_t expected : {0, 1, 2, 3})
        EXPECT_EQ(expected, m_manager->allocateIndex());
    m_manager->freeIndex(0);
    m_manager->freeIndex(1);
    EXPECT_EQ(4, m_manager->getIndexCount());
    EXPECT_EQ(0, m_manager->allocateIndex()) << "the lowest, not the last freed";
    m_manager->freeIndex(2);
    m_manager->freeIndex(3);
    EXPECT_EQ(1, m_manager->getIndexCount());
    // The indices lowered past are new again, not handed out twice.
    EXPECT_EQ(1, m_manager->allocateIndex());
    EXPECT_EQ(2, m_manager->allocateIndex());
    EXPECT_EQ(3, m_manager->getIndexCount());
}

TEST_F(CThreadLocalStorageManagerTest, ValuesBelongToTheirThread)
{
    int32_t index = m_manager->allocateIndex();
    int mine = 0;
    int theirs = 0;
    m_manager->setValue(index, &mine);
    m_manager->setObject(index, probe().get());
    void* seenValue = &mine;
    P<IBase> seenObject;
    std::thread([&] {
        seenValue = m_manager->getValue(index);
        seenObject = m_manager->getObject(index);
        m_manager->setValue(index, &theirs);
    }).join();
    EXPECT_EQ(nullptr, seenValue);
    EXPECT_FALSE(seenObject);
    EXPECT_EQ(&mine, m_manager->getValue(index));
    EXPECT_TRUE(m_manager->getObject(index));
}

TEST_F(CThreadLocalStorageManagerTest, FreeingAnIndexOrTheManagerReleasesTheObjectsOfEveryThread)
{
    int32_t index = m_manager->allocateIndex();
    int32_t kept = m_manager->allocateIndex();
    std::thread([&] {
        m_manager->setObject(index, probe().get());
        m_manager->setObject(kept, probe().get());
    }).join();
    m_manager->setObject(index, probe().get());
    m_manager->freeIndex(index);
    EXPECT_EQ(2, m_destructions);
    EXPECT_FALSE(m_manager->getObject(index));
    EXPECT_EQ(index, m_manager->allocateIndex());
    EXPECT_FALSE(m_manager->getObject(index));
    m_manager = nullptr;
    EXPECT_EQ(3, m_destructions);
}

// An object whose destructor stores another object for its thread.
class CLateWriter : public CObject {
public:
    CLateWriter(CThreadLocalStorageManager& manager, int32_t index, P<IBase> late)
        : m_manager(manager), m_index(index), m_late(std::move(late))
    {
    }
    ~CLateWriter() override { m_manager.setObject(m_index, m_late.get()); }

private:
    CThreadLocalStorageManager& m_manager;
    int32_t m_index;
    P<IBase> m_late;
};

TEST_F(CThreadLocalStorageManagerTest, ReplacingOrReleasingAThreadReleasesItsObjectsOnly)
{
    int32_t index = m_manager->allocateIndex();
    std::thread([&] { m_manager->setObject(index, probe().get()); }).join();
    m_manager->setObject(index, probe().get());
    m_manager->setObject(index, probe().get());
    EXPECT_EQ(1, m_destructions) << "the replaced one";
    int value = 0;
    m_manager->setValue(index, &value);
    m_manager->releaseThread();
    EXPECT_EQ(2, m_destructions);
    EXPECT_EQ(nullptr, m_manager->getValue(index));
    EXPECT_FALSE(m_manager->getObject(index));

    // What a destructor stores while the thread is released is released too.
    m_manager->setObject(index, make<CLateWriter>(*m_manager, index, probe()).get());
    m_manager->releaseThread();
    EXPECT_EQ(3, m_destructions);
    EXPECT_FALSE(m_manager->getObject(index));
}

} // namespace
} // namespace lumo
