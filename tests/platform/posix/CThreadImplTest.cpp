#include "platform/posix/CThreadImpl.h"

#include "CCountedProbe.h"
#include "foundation/CError.h"
#include "foundation/sync/posix/CSignalImpl.h"
#include "platform/IThreadManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sched.h>
#include <sys/resource.h>
#include <thread>

namespace lumo::posix {
namespace {

// A thread target that waits until it is let go, then notes how the system
// schedules it and, when given its own thread, whether joining that is refused.
class CTarget : public CCountedProbe {
public:
    explicit CTarget(std::atomic<int>& destructions) : CCountedProbe(destructions) {}

    void run()
    {
        m_go->wait(ISignal::noTimeout);
        m_nice = getpriority(PRIO_PROCESS, 0);
        m_policy = sched_getscheduler(0);
        try {
            if (m_self)
                m_self->join();
        } catch (const CError&) {
            m_selfJoinRefused = true;
        }
        m_self = nullptr;
        m_ran = true;
    }

    P<ISignal> m_go = make<CSignalImpl>();
    P<IThread> m_self;
    int m_nice = 0;
    int m_policy = -1;
    bool m_selfJoinRefused = false;
    bool m_ran = false;
};

class CThreadImplTest : public ::testing::Test {
protected:
    P<CTarget> makeTarget() { return make<CTarget>(m_destructions); }

    P<IThread> start(const P<CTarget>& target, bool bStrong = true)
    {
        return getThreadManager()->createThread(CThreadCallable(target, &CTarget::run, bStrong));
    }

    // Runs a target at the given priorities and answers it as it ended up.
    P<CTarget> runAt(std::initializer_list<int> levels)
    {
        P<CTarget> target = makeTarget();
        P<IThread> thread = start(target);
        for (int level : levels)
            thread->setPriority(level);
        target->m_go->set();
        thread->join();
        return target;
    }

    std::atomic<int> m_destructions{0};
};

TEST_F(CThreadImplTest, AStrongCallableKeepsItsObjectUntilTheThreadIsGoneEvenWhenDroppedAWeakOneDoesNot)
{
    P<CTarget> target = makeTarget();
    P<ISignal> go = target->m_go;
    P<IThread> thread = start(target);
    target = nullptr;
    EXPECT_EQ(0, m_destructions);
    go->set();
    thread->join();
    EXPECT_EQ(0, m_destructions);
    thread = nullptr;
    EXPECT_EQ(1, m_destructions);

    target = makeTarget();
    thread = start(target, false);
    EXPECT_EQ(1, target->getReferenceCount());
    target->m_go->set();
    thread->join();
    EXPECT_TRUE(target->m_ran);

    // Dropping the thread object does not stop the thread; it lets go of the target when it ends.
    target = makeTarget();
    start(target);
    target->m_go->set();
    while (target->getReferenceCount() > 1)
        getThreadManager()->yield(true);
    EXPECT_TRUE(target->m_ran);
}

TEST_F(CThreadImplTest, JoiningAgainOrFromSeveralThreadsReturnsButFromItselfThrows)
{
    P<CTarget> target = makeTarget();
    P<IThread> thread = start(target);
    target->m_self = thread;
    std::thread other([&] { thread->join(); });
    target->m_go->set();
    thread->join();
    other.join();
    thread->join();
    EXPECT_TRUE(target->m_ran);
    EXPECT_TRUE(target->m_selfJoinRefused);
    EXPECT_NO_THROW(thread->setPriority(IThread::priorityHighest)) << "an ended thread takes a priority";
}

TEST_F(CThreadImplTest, LevelsSetNiceValuesAndIdleItsOwnPolicyAndUnknownLevelsAreNormal)
{
    EXPECT_EQ(10, runAt({IThread::priorityLowest})->m_nice);
    EXPECT_EQ(5, runAt({IThread::priorityBelowNormal})->m_nice);
    EXPECT_EQ(SCHED_IDLE, runAt({IThread::priorityIdle})->m_policy);
    // Whether the system lets a thread come back up depends on privileges;
    // an unknown level must end where normal ends, either way.
    P<CTarget> normal = runAt({IThread::priorityBelowNormal, IThread::priorityNormal});
    P<CTarget> unknown;
    EXPECT_NO_THROW(unknown = runAt({IThread::priorityBelowNormal, 9}));
    EXPECT_EQ(normal->m_nice, unknown->m_nice);
    EXPECT_EQ(SCHED_OTHER, unknown->m_policy);
    EXPECT_NO_THROW(runAt({-1}));
}

} // namespace
} // namespace lumo::posix
