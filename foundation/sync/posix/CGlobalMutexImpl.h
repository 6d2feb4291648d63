#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "foundation/sync/IMutex.h"

#include <atomic>
#include <string>

namespace lumo::posix {

// A recursive lock shared by every process of this user that names it. It
// lives in a shared memory object named after the lock, which outlasts the
// processes (as the system's other named objects do until restart). When
// its owner dies holding it, the next thread to wait takes it over.
class CGlobalMutexImpl : public CObject, public virtual IMutex {
public:
    // Opens the lock of this name, making it when no process has yet. Throws
    // CException "Error createing global mutex <name>".
    explicit CGlobalMutexImpl(const String& name);
    // A lock still held by the destroying thread is released first.
    ~CGlobalMutexImpl() override;

    // Both throw CException "Error locking global mutex <name>" when the
    // lock cannot be taken; the lock is then not owned.
    void lock() override;
    bool tryLock(uint32_t timeoutMs) override;
    void unlock() override;

    // The name of the shared memory object behind a lock name: a fixed
    // prefix and the name's UTF-8 bytes, those outside letters, digits, "."
    // "_" and "-" escaped as "%XX"; a name too long for the system is cut
    // and completed by a hash of the whole.
    static std::string getSharedMemoryName(const String& name);

private:
    struct SShared;

    // Turns a lock result into ownership; false when not acquired.
    bool acquired(int result);
    [[noreturn]] void throwLockError() const;

    String m_name;
    SShared* m_shared;
    // How often this object holds the lock, so that destruction can let go.
    std::atomic<int> m_depth{0};
};

} // namespace lumo::posix
