#include "foundation/sync/windows/CMutexImpl.h"

namespace lumo::win32 {

CMutexImpl::CMutexImpl() { InitializeCriticalSection(&m_section); }

CMutexImpl::~CMutexImpl() { DeleteCriticalSection(&m_section); }

void CMutexImpl::lock()
{
    EnterCriticalSection(&m_section);
    own();
}

void CMutexImpl::unlock()
{
    if (m_owner.load() != GetCurrentThreadId())
        return;
    if (--m_depth == 0)
        m_owner.store(0);
    LeaveCriticalSection(&m_section);
}

bool CMutexImpl::tryLock(uint32_t)
{
    if (!TryEnterCriticalSection(&m_section))
        return false;
    own();
    return true;
}

void CMutexImpl::own()
{
    m_owner.store(GetCurrentThreadId());
    ++m_depth;
}

} // namespace lumo::win32
