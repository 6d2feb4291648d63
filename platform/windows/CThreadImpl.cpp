#include "platform/windows/CThreadImpl.h"

#include "foundation/CError.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/CThreadLocalStorageManager.h"

#include <process.h>

namespace lumo::win32 {

namespace {

int getSystemPriority(int level)
{
    switch (level) {
    case IThread::priorityIdle:
        return THREAD_PRIORITY_IDLE;
    case IThread::priorityLowest:
        return THREAD_PRIORITY_LOWEST;
    case IThread::priorityBelowNormal:
        return THREAD_PRIORITY_BELOW_NORMAL;
    case IThread::priorityAboveNormal:
        return THREAD_PRIORITY_ABOVE_NORMAL;
    case IThread::priorityHighest:
        return THREAD_PRIORITY_HIGHEST;
    case IThread::priorityTimeCritical:
        return THREAD_PRIORITY_TIME_CRITICAL;
    default:
        return THREAD_PRIORITY_NORMAL;
    }
}

bool meansNotPermitted(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_PRIVILEGE_NOT_HELD; }

} // namespace

CThreadImpl::CThreadImpl(const CThreadCallable& callable) : m_callable(callable)
{
    // The running thread's own reference, dropped when it ends.
    addRef();
    SetLastError(0);
    m_thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CThreadImpl::threadMain, this, 0, nullptr));
    if (!m_thread) {
        const DWORD error = GetLastError();
        release();
        if (error == 0)
            throw CError("Error creating thread.");
        throwSystemError("Error creating thread (%ERRORDESC%).", static_cast<int>(error));
    }
}

CThreadImpl::~CThreadImpl() { CloseHandle(m_thread); }

void CThreadImpl::join()
{
    if (GetThreadId(m_thread) == GetCurrentThreadId())
        throwSystemError("Error joining thread (%ERRORDESC%).", ERROR_POSSIBLE_DEADLOCK);
    // Any number of threads may wait on the handle at once.
    if (WaitForSingleObject(m_thread, INFINITE) != WAIT_OBJECT_0)
        throwSystemError("Error joining thread (%ERRORDESC%).", static_cast<int>(GetLastError()));
}

void CThreadImpl::setPriority(int level)
{
    if (SetThreadPriority(m_thread, getSystemPriority(level)))
        return;
    // Asked after the failure: a thread that ended meanwhile is left alone.
    const DWORD error = GetLastError();
    if (!meansNotPermitted(error) && !hasEnded())
        throw CError("Error setting thread priority");
}

bool CThreadImpl::hasEnded() const { return WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0; }

unsigned __stdcall CThreadImpl::threadMain(void* argument)
{
    auto* self = static_cast<CThreadImpl*>(argument);
    self->m_callable.run();
    getThreadLocalStorageManager()->releaseThread();
    self->release();
    return 0;
}

} // namespace lumo::win32
