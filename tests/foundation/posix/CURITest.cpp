#include "foundation/CURI.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CURITypeNotSupportedError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace lumo {
namespace {

std::string u8(const String& text) { return text.toUTF8(); }

TEST(CURITest, NativePathsRoundTrip)
{
    for (const char* path : {"/tmp/a b/\xC3\xBC.txt", "/tmp/100%/#1?;x", "/", "/C:\\x"}) {
        P<CURI> uri = CURI::fromNativePath(String::fromUTF8(path));
        EXPECT_EQ(u8(uri->getNativePath()), path);
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

TEST(CURITest, FileURIsWithoutAHostHaveNativePaths)
{
    const std::pair<const char*, const char*> paths[] = {
        {"file:///C:/x", "/C:/x"}, // no drives here: an ordinary folder named "C:"
        {"file://localhost/tmp/a%20b%25.txt", "/tmp/a b%.txt"},
        {"FILE://LocalHost/x", "/x"},
        {"file:/x", "/x"},
        {"file:///x?q#f", "/x"},
    };
    for (const auto& [text, path] : paths) {
        EXPECT_EQ(u8(make<CURI>(String(text))->getNativePath()), path) << text;
        EXPECT_EQ(u8(make<CURI>(String(text))->getDisplayText()), path) << text;
    }
    for (const char* text : {"file://server/share", "file://u@localhost/x"})
        EXPECT_THROW(make<CURI>(String(text))->getNativePath(), CURITypeNotSupportedError) << text;
    EXPECT_EQ(u8(make<CURI>(String("file://server/share/x%20y"))->getDisplayText()), "file://server/share/x y");
}

} // namespace
} // namespace lumo
