#pragma once

#include "platform/IProcess.h"

#include <chrono>
#include <functional>
#include <thread>

namespace lumo {

// Polls until `condition` holds; false when it does not within a bound far above any normal wait.
inline bool waitUntil(const std::function<bool()>& condition)
{
    for (int i = 0; i < 2000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// Waits for a started program to end, within the same bound.
inline bool waitForEnd(IProcess& process) { return process.waitForEnd(20000); }

} // namespace lumo
