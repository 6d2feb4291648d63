#include "foundation/sync/windows/CMutexImpl.h"

#include <gtest/gtest.h>

#include <thread>

namespace lumo::win32 {
namespace {

// Asks from another thread whether the mutex is free.
bool isFreeForOthers(IMutex& mutex)
{
    bool taken = false;
    std::thread([&] {
        taken = mutex.tryLock(0);
        if (taken)
            mutex.unlock();
    }).join();
    return taken;
}

TEST(CMutexImplTest, OwnerMayLockAgainAndMustUnlockAsOftenWhileOthersCannot)
{
    P<IMutex> mutex = make<CMutexImpl>();
    mutex->lock();
    EXPECT_TRUE(mutex->tryLock(0));
    mutex->lock();
    mutex->unlock();
    mutex->unlock();
    EXPECT_FALSE(isFreeForOthers(*mutex));
    std::thread([&] { mutex->unlock(); }).join();
    EXPECT_FALSE(isFreeForOthers(*mutex)) << "an unlock by another thread is ignored";
    mutex->unlock();
    EXPECT_TRUE(isFreeForOthers(*mutex));
    mutex->unlock();
    EXPECT_TRUE(isFreeForOthers(*mutex)) << "an unlock of a free mutex is ignored";
}

} // namespace
} // namespace lumo::win32
