#include "platform/posix/CThreadManager.h"

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace lumo::posix {
namespace {

// On another thread too, so that an identity kept once for the whole process shows.
TEST(CThreadManagerTest, ThreadIdentityIsTheKernels)
{
    const auto expectKernelsID = [] {
        EXPECT_EQ(static_cast<uint64_t>(syscall(SYS_gettid)), getThreadManager()->getCurrentThreadID());
    };
    expectKernelsID();
    std::thread(expectKernelsID).join();
}

} // namespace
} // namespace lumo::posix
