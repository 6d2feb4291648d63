#pragma once

#include "platform/IProcess.h"

#include <chrono>
#include <thread>

namespace lumo {

// Waits for a started program to end; false when it runs past a bound far
// above any normal run.
inline bool waitForEnd(IProcess& process)
{
    for (int i = 0; i < 2000; ++i) {
        if (process.hasTerminated())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace lumo
