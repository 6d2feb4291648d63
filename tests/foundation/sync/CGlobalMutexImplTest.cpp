// The global mutex of either backend, reached through its factory.
#include "foundation/sync/IMutexFactory.h"
#include "isFreeForOthers.h"
#include "support/forgetGlobalMutex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>

namespace lumo {
namespace {

// A lock name of this test run and test.
class CGlobalMutexTest : public ::testing::Test {
protected:
    ~CGlobalMutexTest() override { forgetGlobalMutex(m_name); }

    P<IMutex> open() { return getMutexFactory()->createGlobalMutex(m_name); }

    String m_name = String::fromUTF8("lumo test lock " + std::to_string(std::random_device()()) + " " +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(CGlobalMutexTest, ObjectsOfOneNameAreOneRecursiveLockThatGoesWithItsHolder)
{
    P<IMutex> first = open();
    P<IMutex> second = open();
    first->lock();
    EXPECT_TRUE(first->tryLock(0));
    EXPECT_FALSE(isFreeForOthers(*second));
    bool taken = true;
    std::thread([&] { taken = second->tryLock(20); }).join();
    EXPECT_FALSE(taken) << "a timed try gives up";
    first->unlock();
    EXPECT_FALSE(isFreeForOthers(*second));
    first->unlock();
    EXPECT_TRUE(isFreeForOthers(*second));
    first->unlock();
    EXPECT_TRUE(isFreeForOthers(*second)) << "an unlock of a free lock is ignored";

    first->lock();
    first->lock();
    first = nullptr;
    EXPECT_TRUE(isFreeForOthers(*second)) << "destroying the object lets go of its hold";
}

TEST_F(CGlobalMutexTest, IsTakenOverFromAnOwnerThatEndedHoldingIt)
{
    P<IMutex> mutex = open();
    std::thread([&] {
        mutex->lock();
        mutex->lock();
    }).join();
    EXPECT_NO_THROW(mutex->lock());
    EXPECT_FALSE(isFreeForOthers(*mutex));
    mutex->unlock();
    EXPECT_TRUE(isFreeForOthers(*mutex));
}

} // namespace
} // namespace lumo
