#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace nebo::probe {

// Ctrl-C as the probe takes it. The first interrupt (SIGINT) sets a flag
// that the probe looks at before each medium and each step, and runs
// `onInterrupt` once on a thread of the watch's own, where it may end the
// slaves that the probe's threads wait for; a second interrupt ends the
// process at once, as it would without the watch. One watch at a time;
// `onInterrupt` must not throw.
class CInterruption {
public:
    explicit CInterruption(std::function<void()> onInterrupt);
    ~CInterruption();
    CInterruption(const CInterruption&) = delete;
    CInterruption& operator=(const CInterruption&) = delete;

    // True once an interrupt came while a watch ran. Any thread.
    static bool isRequested();

private:
    std::function<void()> m_onInterrupt;
    std::atomic<bool> m_bEnding{false};
    std::thread m_watcher;
};

} // namespace nebo::probe
