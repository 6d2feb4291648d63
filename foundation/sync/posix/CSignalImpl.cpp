#include "foundation/sync/posix/CSignalImpl.h"

#include "foundation/sync/posix/getMonotonicDeadline.h"
#include "foundation/sync/throwSystemError.h"

#include <cerrno>

namespace lumo::posix {

// Holds the signal's own lock for a scope. That lock guards one flag and is
// never held for long, so locking it cannot fail.
class CSignalImpl::CLock {
public:
    explicit CLock(pthread_mutex_t& mutex) : m_mutex(mutex) { pthread_mutex_lock(&m_mutex); }
    ~CLock() { pthread_mutex_unlock(&m_mutex); }
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;

private:
    pthread_mutex_t& m_mutex;
};

namespace {

int initialiseMonotonicCondition(pthread_cond_t* condition)
{
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    int result = pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    if (result == 0)
        result = pthread_cond_init(condition, &attributes);
    pthread_condattr_destroy(&attributes);
    return result;
}

} // namespace

CSignalImpl::CSignalImpl()
{
    if (int result = pthread_mutex_init(&m_mutex, nullptr))
        throwSystemError("Error creating event (%ERRORDESC%).", result);
    if (int result = initialiseMonotonicCondition(&m_condition)) {
        pthread_mutex_destroy(&m_mutex);
        throwSystemError("Error creating event (%ERRORDESC%).", result);
    }
}

CSignalImpl::~CSignalImpl()
{
    pthread_cond_destroy(&m_condition);
    pthread_mutex_destroy(&m_mutex);
}

void CSignalImpl::set()
{
    CLock lock(m_mutex);
    m_set = true;
    pthread_cond_broadcast(&m_condition);
}

void CSignalImpl::reset()
{
    CLock lock(m_mutex);
    m_set = false;
}

bool CSignalImpl::isSet()
{
    CLock lock(m_mutex);
    return m_set;
}

bool CSignalImpl::wait(uint64_t timeoutMs)
{
    const auto timeout = static_cast<uint32_t>(timeoutMs);
    CLock lock(m_mutex);
    if (timeout == noTimeout) {
        while (!m_set)
            pthread_cond_wait(&m_condition, &m_mutex);
        return true;
    }
    const timespec deadline = getMonotonicDeadline(timeout);
    while (!m_set)
        if (pthread_cond_timedwait(&m_condition, &m_mutex, &deadline) == ETIMEDOUT)
            return m_set;
    return true;
}

} // namespace lumo::posix
