// The thread manager of either backend; each backend's test checks that the
// identity is the system's own.
#include "foundation/CObject.h"
#include "platform/CThreadCallable.h"
#include "platform/IThread.h"
#include "platform/IThreadManager.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class CIdentityProbe : public CObject {
public:
    void run()
    {
        m_first = getThreadManager()->getCurrentThreadID();
        getThreadManager()->yield(false);
        m_second = getThreadManager()->getCurrentThreadID();
    }

    uint64_t m_first = 0;
    uint64_t m_second = 0;
};

TEST(CThreadManagerTest, ThreadIdentityStaysWithItsThreadAndDiffersBetweenThreads)
{
    P<IThreadManager> manager = getThreadManager();
    P<CIdentityProbe> probe = make<CIdentityProbe>();
    manager->createThread(CThreadCallable(probe, &CIdentityProbe::run))->join();
    EXPECT_EQ(probe->m_first, probe->m_second);
    EXPECT_NE(manager->getCurrentThreadID(), probe->m_first);
    EXPECT_EQ(manager->getCurrentThreadID(), manager->getCurrentThreadID());
}

} // namespace
} // namespace lumo
