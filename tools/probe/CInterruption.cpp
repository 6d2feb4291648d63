#include "tools/probe/CInterruption.h"

#include <chrono>
#include <csignal>

namespace nebo::probe {

namespace {

// Lock-free, so that the signal handler may set it.
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// How often the watch looks at the flag: the handler may do no more than
// set it, and a person pressing Ctrl-C does not notice 20 ms.
constexpr std::chrono::milliseconds lookInterval{20};

extern "C" void noteInterrupt(int)
{
    requested = true;
    // The next Ctrl-C ends the process, whatever the probe still waits for.
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

CInterruption::CInterruption(std::function<void()> onInterrupt) : m_onInterrupt(std::move(onInterrupt))
{
    std::signal(SIGINT, noteInterrupt);
    m_watcher = std::thread([this] {
        while (!m_bEnding) {
            if (requested) {
                m_onInterrupt();
                return;
            }
            std::this_thread::sleep_for(lookInterval);
        }
    });
}

CInterruption::~CInterruption()
{
    m_bEnding = true;
    m_watcher.join();
    if (!requested)
        std::signal(SIGINT, SIG_DFL);
}

bool CInterruption::isRequested() { return requested; }

} // namespace nebo::probe
