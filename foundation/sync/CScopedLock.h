#pragma once

#include "foundation/P.h"
#include "foundation/sync/IMutex.h"

namespace lumo {

// Holds a mutex locked for the lifetime of the scope, also when an exception
// leaves it. The mutex must outlive the scope; its owner keeps it, so the
// lock takes no reference of its own (this sits on every hot path).
class CScopedLock {
public:
    // Marks a mutex the caller has already locked, e.g. by tryLock: the
    // scope takes that lock over instead of locking once more.
    struct SAdopt {};
    static constexpr SAdopt adopt{};

    explicit CScopedLock(IMutex& mutex) : m_mutex(mutex) { m_mutex.lock(); }
    explicit CScopedLock(const P<IMutex>& mutex) : CScopedLock(*mutex) {}
    CScopedLock(IMutex& mutex, SAdopt) : m_mutex(mutex) {}
    ~CScopedLock() { m_mutex.unlock(); }
    CScopedLock(const CScopedLock&) = delete;
    CScopedLock& operator=(const CScopedLock&) = delete;

private:
    IMutex& m_mutex;
};

} // namespace lumo
