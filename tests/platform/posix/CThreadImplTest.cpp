#include "platform/posix/CThreadImpl.h"

#include "foundation/sync/posix/CSignalImpl.h"
#include "platform/IThreadManager.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/resource.h>

namespace lumo::posix {
namespace {

// Waits until it is let go, then notes how the system schedules it.
class CScheduleProbe : public CObject {
public:
    void run()
    {
        m_go->wait(ISignal::noTimeout);
        m_nice = getpriority(PRIO_PROCESS, 0);
        m_policy = sched_getscheduler(0);
    }

    P<ISignal> m_go = make<CSignalImpl>();
    int m_nice = 0;
    int m_policy = -1;
};

// Runs a probe at the given priorities and answers it as it ended up.
P<CScheduleProbe> runAt(std::initializer_list<int> levels)
{
    P<CScheduleProbe> probe = make<CScheduleProbe>();
    P<IThread> thread = getThreadManager()->createThread(CThreadCallable(probe, &CScheduleProbe::run));
    for (int level : levels)
        thread->setPriority(level);
    probe->m_go->set();
    thread->join();
    return probe;
}

TEST(CThreadImplPriorityTest, LevelsSetNiceValuesAndIdleItsOwnPolicyAndUnknownLevelsAreNormal)
{
    EXPECT_EQ(10, runAt({IThread::priorityLowest})->m_nice);
    EXPECT_EQ(5, runAt({IThread::priorityBelowNormal})->m_nice);
    EXPECT_EQ(SCHED_IDLE, runAt({IThread::priorityIdle})->m_policy);
    // Coming back up may need a privilege; either way an unknown level must end where normal ends.
    P<CScheduleProbe> normal = runAt({IThread::priorityBelowNormal, IThread::priorityNormal});
    P<CScheduleProbe> unknown = runAt({IThread::priorityBelowNormal, 9});
    EXPECT_EQ(normal->m_nice, unknown->m_nice);
    EXPECT_EQ(SCHED_OTHER, unknown->m_policy);
}

} // namespace
} // namespace lumo::posix
