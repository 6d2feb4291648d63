#include "platform/posix/CThreadImpl.h"

#include "foundation/CError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/posix/CMutexImpl.h"
#include "foundation/sync/posix/CSignalImpl.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/CThreadLocalStorageManager.h"

#include <cerrno>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace lumo::posix {

namespace {

struct SPriority {
    int policy;
    int nice;
};

SPriority getPriority(int level)
{
    switch (level) {
    case IThread::priorityIdle:
        return {SCHED_IDLE, 0};
    case IThread::priorityLowest:
        return {SCHED_OTHER, 10};
    case IThread::priorityBelowNormal:
        return {SCHED_OTHER, 5};
    case IThread::priorityAboveNormal:
        return {SCHED_OTHER, -5};
    case IThread::priorityHighest:
        return {SCHED_OTHER, -10};
    case IThread::priorityTimeCritical:
        return {SCHED_OTHER, -20};
    default:
        return {SCHED_OTHER, 0};
    }
}

// Outcome of one step of setting a priority: done, refused for want of
// privilege (the thread stays as it is), or failed.
enum class EStep { done, notPermitted, failed };

EStep classify(int error)
{
    if (error == 0)
        return EStep::done;
    return error == EPERM || error == EACCES ? EStep::notPermitted : EStep::failed;
}

EStep setPolicy(pthread_t thread, int wanted)
{
    int policy = 0;
    sched_param parameters{};
    if (int result = pthread_getschedparam(thread, &policy, &parameters))
        return classify(result);
    if (policy == wanted)
        return EStep::done;
    parameters.sched_priority = 0;
    return classify(pthread_setschedparam(thread, wanted, &parameters));
}

EStep setNice(pid_t kernelID, int nice)
{
    // Linux keeps the nice value per thread, addressed by kernel identity.
    return classify(setpriority(PRIO_PROCESS, static_cast<id_t>(kernelID), nice) == 0 ? 0 : errno);
}

} // namespace

CThreadImpl::CThreadImpl(const CThreadCallable& callable)
    : m_callable(callable), m_started(make<CSignalImpl>()), m_stateLock(make<CMutexImpl>()),
      m_joinLock(make<CMutexImpl>())
{
    // The running thread's own reference, dropped when it ends.
    addRef();
    if (int result = pthread_create(&m_thread, nullptr, &CThreadImpl::threadMain, this)) {
        release();
        throwSystemError("Error creating thread (%ERRORDESC%).", result);
    }
}

CThreadImpl::~CThreadImpl()
{
    if (!m_joined)
        pthread_detach(m_thread);
}

void CThreadImpl::join()
{
    // Checked before the lock, which another joiner may hold while it waits
    // for this very thread.
    if (pthread_equal(m_thread, pthread_self()))
        throwSystemError("Error joining thread (%ERRORDESC%).", EDEADLK);
    CScopedLock lock(m_joinLock);
    if (m_joined)
        return;
    if (int result = pthread_join(m_thread, nullptr))
        throwSystemError("Error joining thread (%ERRORDESC%).", result);
    m_joined = true;
}

void CThreadImpl::setPriority(int level)
{
    // The kernel identity is known once the thread has run its first step.
    m_started->wait(ISignal::noTimeout);
    CScopedLock lock(m_stateLock);
    if (m_ended)
        return;
    const SPriority priority = getPriority(level);
    EStep step = setPolicy(m_thread, priority.policy);
    if (step == EStep::done && priority.policy == SCHED_OTHER)
        step = setNice(m_kernelID, priority.nice);
    if (step == EStep::failed)
        throw CError("Error setting thread priority");
}

void* CThreadImpl::threadMain(void* argument)
{
    auto* self = static_cast<CThreadImpl*>(argument);
    self->m_kernelID = gettid();
    self->m_started->set();
    self->m_callable.run();
    getThreadLocalStorageManager()->releaseThread();
    {
        CScopedLock lock(self->m_stateLock);
        self->m_ended = true;
    }
    self->release();
    return nullptr;
}

} // namespace lumo::posix
