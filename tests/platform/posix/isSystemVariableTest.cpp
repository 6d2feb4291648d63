#include "platform/isSystemVariable.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(isSystemVariableTest, KnowsTheSearchPathTemporaryFolderAndLocaleByTheirExactNames)
{
    for (const char* name : {"PATH", "TMPDIR", "LANG", "TZ", "LC_ALL", "LC_TIME"})
        EXPECT_TRUE(isSystemVariable(name)) << name;
    for (const char* name : {"Path", "HOME", "LD_LIBRARY_PATH", "LD_PRELOAD", "LCX", "MASTER_SECRET", ""})
        EXPECT_FALSE(isSystemVariable(name)) << name;
}

} // namespace
} // namespace lumo
