#pragma once

#include "foundation/sync/IMutex.h"

#include <thread>

namespace lumo {

// Asks from another thread whether the mutex is free.
inline bool isFreeForOthers(IMutex& mutex)
{
    bool taken = false;
    std::thread([&] {
        taken = mutex.tryLock(0);
        if (taken)
            mutex.unlock();
    }).join();
    return taken;
}

} // namespace lumo
