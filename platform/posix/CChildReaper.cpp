#include "platform/posix/CChildReaper.h"

#include "foundation/TSingleton.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/CThreadCallable.h"
#include "platform/IThreadManager.h"
#include "platform/posix/openProcessDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lumo::posix {

namespace {

// How long the watcher rests after the system refused it something, so
// that a lasting shortage does not make it spin.
constexpr std::chrono::milliseconds restAfterFailure{100};

// True when the child's status has been collected, here or elsewhere.
bool reap(pid_t child)
{
    int status = 0;
    pid_t result;
    do
        result = waitpid(child, &status, WNOHANG);
    while (result < 0 && errno == EINTR);
    return result == child || (result < 0 && errno == ECHILD);
}

P<CChildReaper> createChildReaper() { return make<CChildReaper>(); }

TSingleton<CChildReaper> holder(&createChildReaper);

} // namespace

CChildReaper::CChildReaper() : m_mutex(getMutexFactory()->createMutex())
{
    m_wakeDescriptor = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeDescriptor < 0)
        throwSystemError("Error creating the child process watcher (%ERRORDESC%).", errno);
    try {
        // The thread keeps this object alive for the rest of the process.
        m_thread = getThreadManager()->createThread(CThreadCallable(this, &CChildReaper::run));
    } catch (...) {
        close(m_wakeDescriptor);
        throw;
    }
}

CChildReaper::~CChildReaper()
{
    for (const SChild& child : m_children)
        close(child.descriptor);
    close(m_wakeDescriptor);
}

void CChildReaper::adopt(pid_t child)
{
    // The identity stays reserved until the child is reaped, so the
    // descriptor cannot name another process.
    const int descriptor = openProcessDescriptor(child);
    if (descriptor < 0)
        throwSystemError("Error watching a child process (%ERRORDESC%).", errno);
    CScopedLock lock(m_mutex);
    m_children.push_back({child, descriptor});
    wake();
}

void CChildReaper::run()
{
    for (;;) {
        try {
            std::vector<pollfd> watched = getWatchList();
            if (poll(watched.data(), watched.size(), -1) < 0) {
                if (errno != EINTR)
                    std::this_thread::sleep_for(restAfterFailure);
                continue;
            }
            if (watched.front().revents)
                clearWake();
            reapEnded(watched);
        } catch (...) {
            std::this_thread::sleep_for(restAfterFailure);
        }
    }
}

std::vector<pollfd> CChildReaper::getWatchList()
{
    CScopedLock lock(m_mutex);
    std::vector<pollfd> watched;
    watched.reserve(m_children.size() + 1);
    watched.push_back({m_wakeDescriptor, POLLIN, 0});
    for (const SChild& child : m_children)
        watched.push_back({child.descriptor, POLLIN, 0});
    return watched;
}

void CChildReaper::reapEnded(const std::vector<pollfd>& watched)
{
    CScopedLock lock(m_mutex);
    for (auto polled = watched.begin() + 1; polled != watched.end(); ++polled) {
        if (!polled->revents)
            continue;
        const auto child = std::find_if(m_children.begin(), m_children.end(),
                                        [&](const SChild& known) { return known.descriptor == polled->fd; });
        if (child == m_children.end() || !reap(child->pid))
            continue;
        close(child->descriptor);
        m_children.erase(child);
    }
}

void CChildReaper::wake()
{
    const uint64_t one = 1;
    while (write(m_wakeDescriptor, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void CChildReaper::clearWake()
{
    uint64_t count = 0;
    while (read(m_wakeDescriptor, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

P<CChildReaper> getChildReaper() { return holder.get(); }

} // namespace lumo::posix
