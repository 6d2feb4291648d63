// The process-local mutex of either backend, reached through its factory.
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/ISignalFactory.h"
#include "isFreeForOthers.h"

#include <gtest/gtest.h>

#include <thread>

namespace lumo {
namespace {

TEST(CMutexImplTest, OwnerMayLockAgainAndMustUnlockAsOftenWhileOthersCannot)
{
    P<IMutex> mutex = getMutexFactory()->createMutex();
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

TEST(CMutexImplTest, TryLockOnAMutexHeldElsewhereFailsWithoutWaiting)
{
    P<IMutex> mutex = getMutexFactory()->createMutex();
    P<ISignal> held = getSignalFactory()->createSignal();
    P<ISignal> answered = getSignalFactory()->createSignal();
    std::thread holder([&] {
        mutex->lock();
        held->set();
        // Had tryLock honoured its timeout, it would get the lock when this wait runs out and answer true.
        answered->wait(5000);
        mutex->unlock();
    });
    held->wait(ISignal::noTimeout);
    EXPECT_FALSE(mutex->tryLock(60000));
    answered->set();
    holder.join();
}

} // namespace
} // namespace lumo
