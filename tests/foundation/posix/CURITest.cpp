#include "foundation/CURI.h"

#include "foundation/CInvalidArgError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Native paths are POSIX paths so far; drives and backslashes come with the
// Windows path services.
namespace lumo {
namespace {

std::string u8(const String& text) { return text.toUTF8(); }

TEST(CURITest, NativePathsRoundTrip)
{
    for (const char* path : {"/tmp/a b/\xC3\xBC.txt", "/tmp/100%/#1?;x", "/", "/C:\\x"}) {
        P<CURI> uri = CURI::fromNativePath(String::fromUTF8(path));
        EXPECT_EQ(u8(uri->getNativePath()), path);
        EXPECT_EQ(u8(uri->getDisplayText()), path);
        EXPECT_EQ(u8(make<CURI>(uri->getText())->getNativePath()), path);
    }
    EXPECT_EQ(u8(CURI::fromNativePath(String::fromUTF8("/tmp/a b/\xC3\xBC.txt"))->getText()),
              "file:///tmp/a%20b/\xC3\xBC.txt");
    EXPECT_EQ(u8(CURI::fromNativePath(String("/a/./b/../c"))->getText()), "file:///a/c");

    const std::string here = std::filesystem::current_path().string();
    const std::string folder = here == "/" ? here : here + "/";
    EXPECT_EQ(u8(CURI::fromNativePath(String("rel/x y"))->getNativePath()), folder + "rel/x y");
    EXPECT_THROW(CURI::fromNativePath(String()), CInvalidArgError);
}

} // namespace
} // namespace lumo
