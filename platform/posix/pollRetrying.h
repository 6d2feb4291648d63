#pragma once

#include <cerrno>
#include <poll.h>

namespace lumo::posix {

// poll(2) that goes on waiting when a signal interrupts it. An interrupted
// wait starts its timeout anew; callers use timeouts only as a pace for
// periodic checks, never as a deadline. Returns what poll returns.
inline int pollRetrying(pollfd* descriptors, nfds_t count, int timeoutMs)
{
    int result;
    while ((result = ::poll(descriptors, count, timeoutMs)) < 0 && errno == EINTR) {
    }
    return result;
}

} // namespace lumo::posix
