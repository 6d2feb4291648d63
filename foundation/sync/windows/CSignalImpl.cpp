#include "foundation/sync/windows/CSignalImpl.h"

#include "foundation/sync/throwSystemError.h"

namespace lumo::win32 {

CSignalImpl::CSignalImpl() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    if (!m_event)
        throwSystemError("Error creating event (%ERRORDESC%).", static_cast<int>(GetLastError()));
}

CSignalImpl::~CSignalImpl() { CloseHandle(m_event); }

void CSignalImpl::set() { SetEvent(m_event); }

void CSignalImpl::reset() { ResetEvent(m_event); }

bool CSignalImpl::isSet() { return wait(0); }

bool CSignalImpl::wait(uint64_t timeoutMs)
{
    // The low 32 bits, of which all ones (ISignal::noTimeout) is INFINITE.
    return WaitForSingleObject(m_event, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

} // namespace lumo::win32
