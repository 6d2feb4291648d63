// Threads of either backend, made by the thread manager; each backend's test checks its priority levels.
#include "CCountedProbe.h"
#include "foundation/CError.h"
#include "foundation/sync/ISignalFactory.h"
#include "platform/CThreadCallable.h"
#include "platform/IThread.h"
#include "platform/IThreadManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace lumo {
namespace {

// Waits until it is let go, then notes whether joining its own thread, when given it, is refused.
class CTarget : public CCountedProbe {
public:
    explicit CTarget(std::atomic<int>& destructions) : CCountedProbe(destructions) {}

    void run()
    {
        m_go->wait(ISignal::noTimeout);
        try {
            if (m_self)
                m_self->join();
        } catch (const CError&) {
            m_selfJoinRefused = true;
        }
        m_self = nullptr;
        m_ran = true;
    }

    P<ISignal> m_go = getSignalFactory()->createSignal();
    P<IThread> m_self;
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
}

TEST_F(CThreadImplTest, EveryLevelAndUnknownOnesAreTakenWhileTheThreadRunsAndAfter)
{
    P<CTarget> target = makeTarget();
    P<IThread> thread = start(target);
    const int levels[] = {IThread::priorityIdle, IThread::priorityNormal, IThread::priorityTimeCritical, 9};
    for (int level : levels)
        EXPECT_NO_THROW(thread->setPriority(level)) << level;
    target->m_go->set();
    thread->join();
    for (int level : levels)
        EXPECT_NO_THROW(thread->setPriority(level)) << level;
}

} // namespace
} // namespace lumo
