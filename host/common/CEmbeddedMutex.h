#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"

namespace nebo::common {

// One of several typed views of an object that share one mutex, so that
// calls through any view are taken one at a time. Only the owner sets the
// target, while no one else uses it.
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
