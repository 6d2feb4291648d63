#include "platform/windows/toPipePath.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/String.h"

#include <gtest/gtest.h>

namespace lumo::win32 {
namespace {

TEST(toPipePathTest, PutsOneWordUnderThePipeFolderAndRefusesAnythingElse)
{
    EXPECT_EQ(L"\\\\.\\pipe\\nebo_slave-0000002a-00000001-deadbeef",
              toPipePath(String("nebo_slave-0000002a-00000001-deadbeef")));
    // The longest name that the system's 256 characters of path hold.
    const std::string longest(256 - 9, 'n');
    EXPECT_EQ(256u, toPipePath(String(longest.c_str())).size());
    const std::string refused[] = {"", "a\\b", "\\", std::string("a\0b", 3), longest + "n"};
    for (const std::string& name : refused)
        EXPECT_THROW(toPipePath(String::fromUTF8(name)), CInvalidArgError) << name;
}

} // namespace
} // namespace lumo::win32
