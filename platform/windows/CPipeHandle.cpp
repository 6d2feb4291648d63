#include "platform/windows/CPipeHandle.h"

#include "foundation/sync/throwSystemError.h"

namespace lumo::win32 {

CPipeHandle CPipeHandle::makeEvent(bool bManualReset)
{
    CPipeHandle event(CreateEventW(nullptr, bManualReset, FALSE, nullptr));
    if (!event.isValid())
        throwSystemError("Error creating event (%ERRORDESC%).", static_cast<int>(GetLastError()));
    return event;
}

} // namespace lumo::win32
