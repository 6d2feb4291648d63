#include "platform/windows/CThreadManager.h"

#include "foundation/sync/sleepMilliseconds.h"
#include "platform/windows/CThreadImpl.h"

#include <windows.h>

namespace lumo::win32 {

P<IThread> CThreadManager::createThread(const CThreadCallable& callable) { return make<CThreadImpl>(callable); }

void CThreadManager::yield(bool bShort)
{
    if (bShort)
        sleep(1);
    else
        SleepEx(0, FALSE);
}

void CThreadManager::sleep(uint32_t ms) { sleepMilliseconds(ms); }

uint64_t CThreadManager::getCurrentThreadID() { return GetCurrentThreadId(); }

} // namespace lumo::win32

namespace lumo {

P<IThreadManager> createThreadManager() { return make<win32::CThreadManager>(); }

} // namespace lumo
