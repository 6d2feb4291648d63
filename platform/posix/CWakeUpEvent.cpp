#include "platform/posix/CWakeUpEvent.h"

#include "foundation/sync/throwSystemError.h"

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>

namespace lumo::posix {

CWakeUpEvent::CWakeUpEvent() : m_event(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (!m_event.isValid())
        throwSystemError("Error creating event (%ERRORDESC%).", errno);
}

void CWakeUpEvent::set() noexcept
{
    const uint64_t one = 1;
    // The only failure left once the descriptor exists is a counter at its
    // limit, which is just as readable.
    while (::write(m_event.get(), &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool CWakeUpEvent::consume() noexcept
{
    uint64_t count = 0;
    ssize_t got;
    while ((got = ::read(m_event.get(), &count, sizeof count)) < 0 && errno == EINTR) {
    }
    return got == static_cast<ssize_t>(sizeof count);
}

} // namespace lumo::posix
