#include "platform/isSystemVariable.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(isSystemVariableTest, KnowsTheSearchPathTemporaryFoldersAndSystemFoldersInAnyCase)
{
    for (const char* name : {"PATH", "Path", "SystemRoot", "SYSTEMROOT", "SystemDrive", "windir", "TEMP", "tmp"})
        EXPECT_TRUE(isSystemVariable(name)) << name;
    for (const char* name : {"USERPROFILE", "APPDATA", "PATHEXT", "LD_PRELOAD", "MASTER_SECRET", ""})
        EXPECT_FALSE(isSystemVariable(name)) << name;
}

} // namespace
} // namespace lumo
