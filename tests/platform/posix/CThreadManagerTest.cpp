#include "platform/posix/CThreadManager.h"

#include "platform/CThreadCallable.h"
#include "platform/IThread.h"

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

namespace lumo::posix {
namespace {

class CIdentityProbe : public CObject {
public:
    void run()
    {
        m_reported = getThreadManager()->getCurrentThreadID();
        m_kernel = static_cast<uint64_t>(syscall(SYS_gettid));
    }

    uint64_t m_reported = 0;
    uint64_t m_kernel = 0;
};

TEST(CThreadManagerTest, ThreadIdentityIsTheKernelsAndDiffersBetweenThreads)
{
    P<IThreadManager> manager = getThreadManager();
    EXPECT_EQ(static_cast<uint64_t>(syscall(SYS_gettid)), manager->getCurrentThreadID());
    P<CIdentityProbe> probe = make<CIdentityProbe>();
    manager->createThread(CThreadCallable(probe, &CIdentityProbe::run))->join();
    EXPECT_EQ(probe->m_kernel, probe->m_reported);
    EXPECT_NE(manager->getCurrentThreadID(), probe->m_reported);
}

} // namespace
} // namespace lumo::posix
