#include "platform/windows/CDynamicLibrary.h"

#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumo::win32 {
namespace {

TEST(CDynamicLibraryTest, AbsolutePathsLoadWithEitherSeparator)
{
    std::string path = (nebo::test::binFolder() / "platform-tests" / "platform_test_library.dll").string();
    for (char separator : {'\\', '/'}) {
        std::replace(path.begin(), path.end(), separator == '/' ? '\\' : '/', separator);
        P<CDynamicLibrary> library = make<CDynamicLibrary>(String::fromUTF8(path));
        ASSERT_TRUE(library->isLoaded()) << path;
        EXPECT_NE(library->getSymbol(String("lumo_sampleAnswer")), nullptr);
    }
}

} // namespace
} // namespace lumo::win32
