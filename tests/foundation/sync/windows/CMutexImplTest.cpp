#include "foundation/sync/windows/CMutexImpl.h"

#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/windows/CSignalImpl.h"

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

TEST(CMutexImplTest, TryLockOnAMutexHeldElsewhereFailsWithoutWaitingAndScopedLocksLetGo)
{
    P<IMutex> mutex = make<CMutexImpl>();
    P<ISignal> held = make<CSignalImpl>();
    P<ISignal> answered = make<CSignalImpl>();
    std::thread holder([&] {
        CScopedLock lock(mutex);
        held->set();
        // Had tryLock honoured its timeout, it would get the lock when this
        // wait runs out and answer true.
        answered->wait(5000);
    });
    held->wait(ISignal::noTimeout);
    EXPECT_FALSE(mutex->tryLock(60000));
    answered->set();
    holder.join();
    EXPECT_TRUE(isFreeForOthers(*mutex));
}

} // namespace
} // namespace lumo::win32
