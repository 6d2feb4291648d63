#include "platform/windows/CThreadImpl.h"

#include "foundation/sync/windows/CSignalImpl.h"
#include "platform/IThreadManager.h"

#include <gtest/gtest.h>

namespace lumo::win32 {
namespace {

// Waits until it is let go, then notes its priority as the system has it.
class CPriorityProbe : public CObject {
public:
    void run()
    {
        m_go->wait(ISignal::noTimeout);
        m_priority = GetThreadPriority(GetCurrentThread());
    }

    P<ISignal> m_go = make<CSignalImpl>();
    int m_priority = THREAD_PRIORITY_ERROR_RETURN;
};

TEST(CThreadImplPriorityTest, LevelsSelectTheSystemsPrioritiesAndUnknownLevelsNormal)
{
    const struct {
        int level;
        int priority;
    } cases[] = {
        {IThread::priorityIdle, THREAD_PRIORITY_IDLE},
        {IThread::priorityLowest, THREAD_PRIORITY_LOWEST},
        {IThread::priorityNormal, THREAD_PRIORITY_NORMAL},
        {IThread::priorityTimeCritical, THREAD_PRIORITY_TIME_CRITICAL},
        {9, THREAD_PRIORITY_NORMAL},
    };
    for (const auto& entry : cases) {
        P<CPriorityProbe> probe = make<CPriorityProbe>();
        P<IThread> thread = getThreadManager()->createThread(CThreadCallable(probe, &CPriorityProbe::run));
        // From elsewhere first, so that the level asked for must replace it.
        thread->setPriority(entry.level == IThread::priorityLowest ? IThread::priorityHighest
                                                                   : IThread::priorityLowest);
        thread->setPriority(entry.level);
        probe->m_go->set();
        thread->join();
        EXPECT_EQ(entry.priority, probe->m_priority) << entry.level;
    }
}

} // namespace
} // namespace lumo::win32
