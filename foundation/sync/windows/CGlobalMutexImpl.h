#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "foundation/sync/IMutex.h"

#include <atomic>
#include <string>
#include <windows.h>

namespace lumo::win32 {

// A recursive lock shared by every process that names it: a named kernel
// mutex in the global namespace, which lives as long as a handle to it is
// open. When its owner dies holding it, the next thread to wait takes it
// over (the system reports it abandoned).
class CGlobalMutexImpl : public CObject, public virtual IMutex {
public:
    // Opens the lock of this name, making it when no process has it open.
    // Throws CException "Error createing global mutex <name>", also for a
    // name too long for the system (its kernel name beyond MAX_PATH).
    explicit CGlobalMutexImpl(const String& name);
    // A lock still held by the destroying thread is released first.
    ~CGlobalMutexImpl() override;

    // Both throw CException "Error locking global mutex <name>" when the
    // wait fails; the lock is then not owned.
    void lock() override;
    bool tryLock(uint32_t timeoutMs) override;
    void unlock() override;

    // The kernel object's name of a lock name: a fixed prefix and the name,
    // with "\" (which would name a namespace) and "%" escaped as "%5C" and
    // "%25", so that distinct names stay distinct.
    static std::wstring getKernelName(const String& name);

private:
    // Waits on the mutex; true when owned, false when the timeout ran out.
    bool wait(DWORD timeoutMs);

    String m_name;
    HANDLE m_mutex;
    // How often this object holds the lock, so that destruction can let go.
    std::atomic<int> m_depth{0};
};

} // namespace lumo::win32
