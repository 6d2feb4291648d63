#include "platform/posix/CThreadManager.h"

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

namespace lumo::posix {
namespace {

TEST(CThreadManagerTest, ThreadIdentityIsTheKernels)
{
    EXPECT_EQ(static_cast<uint64_t>(syscall(SYS_gettid)), getThreadManager()->getCurrentThreadID());
}

} // namespace
} // namespace lumo::posix
