#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"

namespace nebo::common {

// One view of an object that several views share a lock for: locking any
// view locks the one shared mutex, so that every call into the object,
// through whichever view, is taken one at a time. The view itself is read
// and replaced by the owner, which keeps it from changing while others use
// it.
template <class T> class CEmbeddedMutex : public lumo::CObject, public virtual lumo::IMutex {
public:
    explicit CEmbeddedMutex(lumo::P<lumo::IMutex> shared) : m_shared(std::move(shared)) {}

    void lock() override { m_shared->lock(); }
    void unlock() override { m_shared->unlock(); }
    bool tryLock(uint32_t timeoutMs) override { return m_shared->tryLock(timeoutMs); }

    // Null while there is no object.
    const lumo::P<T>& get() const { return m_target; }
    void set(lumo::P<T> target) { m_target = std::move(target); }

private:
    lumo::P<lumo::IMutex> m_shared;
    lumo::P<T> m_target;
};

} // namespace nebo::common
