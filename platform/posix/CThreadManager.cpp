#include "platform/posix/CThreadManager.h"

#include "foundation/sync/sleepMilliseconds.h"
#include "platform/posix/CThreadImpl.h"

#include <sched.h>
#include <unistd.h>

namespace lumo::posix {

P<IThread> CThreadManager::createThread(const CThreadCallable& callable) { return make<CThreadImpl>(callable); }

void CThreadManager::yield(bool bShort)
{
    if (bShort)
        sleep(1);
    else
        sched_yield();
}

void CThreadManager::sleep(uint32_t ms) { sleepMilliseconds(ms); }

uint64_t CThreadManager::getCurrentThreadID() { return static_cast<uint64_t>(gettid()); }

} // namespace lumo::posix

namespace lumo {

P<IThreadManager> createThreadManager() { return make<posix::CThreadManager>(); }

} // namespace lumo
