#pragma once

#include "foundation/P.h"

#include <cstdint>

namespace lumo {

class IThread;
class CThreadCallable;

// Threads, sleeping and the identity of the calling thread. Safe from any
// thread.
class IThreadManager : public virtual IBase {
public:
    // Starts a thread at once. Throws CError when the system refuses.
    virtual P<IThread> createThread(const CThreadCallable& callable) = 0;
    // bShort: sleep 1 ms; otherwise give up the rest of the time slice.
    virtual void yield(bool bShort) = 0;
    virtual void sleep(uint32_t ms) = 0;
    // The system's identity of the calling thread.
    virtual uint64_t getCurrentThreadID() = 0;
};

// The platform's manager, made anew on each call.
P<IThreadManager> createThreadManager();
// The process-wide manager.
P<IThreadManager> getThreadManager();

} // namespace lumo
