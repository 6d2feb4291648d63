#pragma once

#include "platform/posix/CFileDescriptor.h"

namespace lumo::posix {

// A descriptor that a thread blocked in poll(2) watches, so that another
// thread can wake it: set() makes it readable until consume(). Safe from any
// thread.
class CWakeUpEvent {
public:
    // Throws CError "Error creating event (%ERRORDESC%)." when the system
    // refuses.
    CWakeUpEvent();

    void set() noexcept;
    // Makes the event unreadable again; true when it had been set.
    bool consume() noexcept;
    // For poll(2) only; the event keeps the descriptor.
    int getDescriptor() const noexcept { return m_event.get(); }

private:
    CFileDescriptor m_event;
};

} // namespace lumo::posix
