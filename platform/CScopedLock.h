#pragma once

#include "foundation/P.h"
#include "platform/IMutex.h"

namespace lumo {

// Holds a mutex locked for the lifetime of the scope, also when an exception
// leaves it.
class CScopedLock {
public:
    explicit CScopedLock(P<IMutex> mutex) : m_mutex(std::move(mutex)) { m_mutex->lock(); }
    ~CScopedLock() { m_mutex->unlock(); }
    CScopedLock(const CScopedLock&) = delete;
    CScopedLock& operator=(const CScopedLock&) = delete;

private:
    P<IMutex> m_mutex;
};

} // namespace lumo
