#pragma once

#include "foundation/IBase.h"

#include <cstdint>

namespace lumo {

// A lock made by IMutexFactory. A lock is owned by the thread that took it;
// the owner may take it again and must release it as often.
class IMutex : public virtual IBase {
public:
    // Waits without limit.
    static constexpr uint32_t noTimeout = 0xFFFFFFFFu;

    // Waits without limit. Throws CException when the lock cannot be taken.
    virtual void lock() = 0;
    // Releases one level of ownership. Never throws: a release by a thread
    // that does not own the lock is ignored.
    virtual void unlock() = 0;
    // True when the lock was taken within the timeout; all ones waits without
    // limit. A process-local mutex tries once and ignores the timeout.
    virtual bool tryLock(uint32_t timeoutMs) = 0;
};

} // namespace lumo
