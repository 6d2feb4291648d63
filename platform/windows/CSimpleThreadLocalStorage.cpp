#include "platform/windows/CSimpleThreadLocalStorage.h"

#include "foundation/sync/throwSystemError.h"

namespace lumo::win32 {

CSimpleThreadLocalStorage::CSimpleThreadLocalStorage() : m_index(TlsAlloc())
{
    if (m_index == TLS_OUT_OF_INDEXES)
        throwSystemError("Error creating thread-local storage (%ERRORDESC%).", static_cast<int>(GetLastError()));
}

CSimpleThreadLocalStorage::~CSimpleThreadLocalStorage() { TlsFree(m_index); }

void CSimpleThreadLocalStorage::setValue(void* value)
{
    if (!TlsSetValue(m_index, value))
        throwSystemError("Error setting thread-local storage (%ERRORDESC%).", static_cast<int>(GetLastError()));
}

void* CSimpleThreadLocalStorage::getValue()
{
    // TlsGetValue clears the last error on success; code that reads a
    // per-thread value between a failed call and GetLastError() must still
    // see that call's error.
    const DWORD lastError = GetLastError();
    void* value = TlsGetValue(m_index);
    SetLastError(lastError);
    return value;
}

} // namespace lumo::win32
