#include "foundation/CURI.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

std::string u8(const String& text) { return text.toUTF8(); }

TEST(CURITest, FileURIsNameDrivePathsAndNetworkShares)
{
    const std::pair<const char*, const char*> paths[] = {
        {"file:///C:/temp/a%20b%25.txt", "C:\\temp\\a b%.txt"},
        {"FILE://LocalHost/d:/x/", "d:\\x\\"},
        {"file://server/share/x%20y", "\\\\server\\share\\x y"},
        {"file:///x/y", "\\x\\y"},
    };
    for (const auto& [text, path] : paths) {
        EXPECT_EQ(u8(make<CURI>(String(text))->getNativePath()), path) << text;
        EXPECT_EQ(u8(make<CURI>(String(text))->getDisplayText()), path) << text;
    }
}

TEST(CURITest, NativePathsRoundTrip)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\tmp\\a b\\\xC3\xBC.txt", "file:///C:/tmp/a%20b/\xC3\xBC.txt"},
        {"C:\\tmp\\100%\\#1;x", "file:///C:/tmp/100%25/%231;x"},
        {"\\\\server\\share\\x", "file://server/share/x"},
        {"C:\\", "file:///C:/"},
    };
    for (const auto& [path, text] : cases) {
        P<CURI> uri = CURI::fromNativePath(String::fromUTF8(path));
        EXPECT_EQ(u8(uri->getText()), text) << path;
        EXPECT_EQ(u8(uri->getNativePath()), path) << path;
    }
    // The long forms name the same files, and "/" separates too.
    EXPECT_EQ(u8(CURI::fromNativePath(String("\\\\?\\C:\\a\\.\\b\\..\\c"))->getText()), "file:///C:/a/c");
    EXPECT_EQ(u8(CURI::fromNativePath(String("\\\\?\\UNC\\server\\share"))->getText()), "file://server/share");
    EXPECT_EQ(u8(CURI::fromNativePath(String("C:/a/b"))->getText()), "file:///C:/a/b");
}

} // namespace
} // namespace lumo
