#include "foundation/sync/posix/CMutexImpl.h"

#include "foundation/sync/throwSystemError.h"

namespace lumo::posix {

CMutexImpl::CMutexImpl()
{
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    int result = pthread_mutex_init(&m_mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
    if (result != 0)
        throwSystemError("Error creating mutex (%ERRORDESC%).", result);
}

CMutexImpl::~CMutexImpl() { pthread_mutex_destroy(&m_mutex); }

void CMutexImpl::lock()
{
    if (int result = pthread_mutex_lock(&m_mutex))
        throwSystemError("Error locking mutex (%ERRORDESC%).", result);
}

void CMutexImpl::unlock() { pthread_mutex_unlock(&m_mutex); }

bool CMutexImpl::tryLock(uint32_t) { return pthread_mutex_trylock(&m_mutex) == 0; }

} // namespace lumo::posix
