#include "platform/windows/CThreadManager.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace lumo::win32 {
namespace {

TEST(CThreadManagerTest, ThreadIdentityIsTheSystems)
{
    EXPECT_EQ(GetCurrentThreadId(), getThreadManager()->getCurrentThreadID());
}

} // namespace
} // namespace lumo::win32
