#pragma once

#include "foundation/CObject.h"
#include "platform/CThreadCallable.h"
#include "platform/IThread.h"

#include <windows.h>

namespace lumo::win32 {

// A system thread running a callable, started through the C runtime so that
// its per-thread data exists. The thread holds a reference to this object
// until it ends, so dropping the object never cuts a thread short. When the
// callable returns, the thread's thread-local values are released.
class CThreadImpl : public CObject, public virtual IThread {
public:
    // Starts the thread at once. Throws CError "Error creating thread
    // (%ERRORDESC%)." when the system refuses ("Error creating thread." when
    // it gives no reason); no thread is left behind.
    explicit CThreadImpl(const CThreadCallable& callable);
    // Closes the handle without waiting for the thread.
    ~CThreadImpl() override;

    void join() override;
    // The levels map to THREAD_PRIORITY_IDLE ... THREAD_PRIORITY_TIME_CRITICAL.
    void setPriority(int level) override;

private:
    static unsigned __stdcall threadMain(void* self);
    bool hasEnded() const;

    CThreadCallable m_callable;
    HANDLE m_thread = nullptr;
};

} // namespace lumo::win32
