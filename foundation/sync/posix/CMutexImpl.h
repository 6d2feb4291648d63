#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"

#include <pthread.h>

namespace lumo::posix {

// A recursive lock of this process.
class CMutexImpl : public CObject, public virtual IMutex {
public:
    // Throws CError when the system cannot make the lock.
    CMutexImpl();
    ~CMutexImpl() override;

    // Throws CError when the owner has taken the lock too often.
    void lock() override;
    void unlock() override;
    // Tries once, whatever the timeout.
    bool tryLock(uint32_t timeoutMs) override;

private:
    pthread_mutex_t m_mutex;
};

} // namespace lumo::posix
