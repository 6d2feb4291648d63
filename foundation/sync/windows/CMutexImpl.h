#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"

#include <atomic>
#include <windows.h>

namespace lumo::win32 {

// A recursive lock of this process, on a critical section.
class CMutexImpl : public CObject, public virtual IMutex {
public:
    CMutexImpl();
    ~CMutexImpl() override;

    // Never throws: a critical section cannot fail to be entered.
    void lock() override;
    void unlock() override;
    // Tries once, whatever the timeout.
    bool tryLock(uint32_t timeoutMs) override;

private:
    // Called by the thread that has just entered the section.
    void own();

    CRITICAL_SECTION m_section;
    // The owning thread and its depth. Leaving a section another thread owns
    // is undefined, so unlock asks first; only the owner writes either field.
    std::atomic<DWORD> m_owner{0};
    int m_depth = 0;
};

} // namespace lumo::win32
