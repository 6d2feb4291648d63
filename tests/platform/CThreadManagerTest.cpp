// The thread manager of either backend; each backend's test checks the identity is the system's own.
#include "platform/IThreadManager.h"

#include <gtest/gtest.h>

#include <thread>

namespace lumo {
namespace {

TEST(CThreadManagerTest, ThreadIdentityStaysWithItsThreadAndDiffersBetweenThreads)
{
    P<IThreadManager> manager = getThreadManager();
    uint64_t first = 0;
    uint64_t second = 0;
    std::thread([&] {
        first = manager->getCurrentThreadID();
        manager->yield(false);
        second = manager->getCurrentThreadID();
    }).join();
    EXPECT_EQ(first, second);
    EXPECT_NE(manager->getCurrentThreadID(), first);
    EXPECT_EQ(manager->getCurrentThreadID(), manager->getCurrentThreadID());
}

} // namespace
} // namespace lumo
