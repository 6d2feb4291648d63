#pragma once

#include "foundation/CObject.h"
#include "platform/CThreadCallable.h"
#include "platform/IThread.h"

#include <pthread.h>
#include <sys/types.h>

namespace lumo {
class IMutex;
class ISignal;
} // namespace lumo

namespace lumo::posix {

// A system thread running a callable. The thread holds a reference to this
// object until it ends, so dropping the object never cuts a thread short.
// When the callable returns, the thread's thread-local values are released.
class CThreadImpl : public CObject, public virtual IThread {
public:
    // Starts the thread at once. Throws CError "Error creating thread
    // (%ERRORDESC%)." when the system refuses; no thread is left behind.
    explicit CThreadImpl(const CThreadCallable& callable);
    ~CThreadImpl() override;

    void join() override;
    // Idle runs the thread only when nothing else wants the processor; the
    // other levels are nice values from 10 (lowest) to -20 (time critical).
    void setPriority(int level) override;

private:
    static void* threadMain(void* self);

    CThreadCallable m_callable;
    P<ISignal> m_started;
    // Guards m_ended, so that the thread's kernel identity is only used
    // while the thread is alive.
    P<IMutex> m_stateLock;
    // Lets one joiner at a time wait for the system thread.
    P<IMutex> m_joinLock;
    pthread_t m_thread{};
    pid_t m_kernelID = 0;
    bool m_ended = false;
    bool m_joined = false;
};

} // namespace lumo::posix
