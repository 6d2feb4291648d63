#include "platform/posix/CSimpleThreadLocalStorage.h"

#include "foundation/sync/throwSystemError.h"

namespace lumo::posix {

CSimpleThreadLocalStorage::CSimpleThreadLocalStorage()
{
    if (int result = pthread_key_create(&m_key, nullptr))
        throwSystemError("Error creating thread-local storage (%ERRORDESC%).", result);
}

CSimpleThreadLocalStorage::~CSimpleThreadLocalStorage() { pthread_key_delete(m_key); }

void CSimpleThreadLocalStorage::setValue(void* value)
{
    if (int result = pthread_setspecific(m_key, value))
        throwSystemError("Error setting thread-local storage (%ERRORDESC%).", result);
}

void* CSimpleThreadLocalStorage::getValue() { return pthread_getspecific(m_key); }

} // namespace lumo::posix
