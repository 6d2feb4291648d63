#include "platform/posix/CPathes.h"

#include "CScopedPipeFolder.h"
#include "foundation/CURIFormatError.h"

#include <gtest/gtest.h>

namespace lumo::posix {
namespace {

std::string nativePathOf(const std::string& uri, bool bOtherSchemesAsText)
{
    return CPathes().getNativePath(*make<CURI>(String::fromUTF8(uri)), bOtherSchemesAsText).toUTF8();
}

TEST(CPathesTest, NativePathsOfURIs)
{
    const std::string longName(300, 'n');
    // The same whether or not other schemes are asked for as text.
    const struct {
        std::string uri;
        std::string path;
    } cases[] = {
        {"", ""},
        {"file:///tmp/a%20b.txt", "/tmp/a b.txt"},
        {"FILE://LocalHost/x/y", "/x/y"},
        {"file://server/share/x", "//server/share/x"},
        {"file:///C:/temp/a%20b.txt", "/C:/temp/a b.txt"},
        {"file:///a%5Cb/c", "/a\\b/c"},
        {"file:///" + longName, "/" + longName},
        {"dir/a%20b.txt", "dir/a b.txt"},
    };
    for (const auto& test : cases)
        for (const bool bOtherSchemesAsText : {false, true})
            EXPECT_EQ(nativePathOf(test.uri, bOtherSchemesAsText), test.path) << test.uri;
    for (const char* cut : {"file:///a%00b", "a%00b"})
        EXPECT_THROW(nativePathOf(cut, false), CURIFormatError) << cut;
    // Here a backslash is part of a name, not a separator, and must come back as such.
    CPathes pathes;
    for (const char* path : {"/a\\b", "/with?question"})
        EXPECT_EQ(pathes.getNativePath(*pathes.getURIOfNativePath(String::fromUTF8(path)), false).toUTF8(), path);
}

TEST(CPathesTest, ExpandsSetVariablesOnly)
{
    CScopedEnvironment alpha("NEBO_TEST_ALPHA", "alpha");
    CScopedEnvironment pointer("NEBO_TEST_POINTER", "%NEBO_TEST_ALPHA%");
    CScopedEnvironment umlaut("NEBO_TEST_UMLAUT", "\xC3\xBC");
    CScopedEnvironment unset("NEBO_TEST_UNSET", nullptr);
    const struct {
        const char* text;
        const char* expanded;
    } cases[] = {
        {"x%NEBO_TEST_ALPHA%y%NEBO_TEST_UMLAUT%", "xalphay\xC3\xBC"},
        {"%NEBO_TEST_POINTER%", "%NEBO_TEST_ALPHA%"},
        {"%NEBO_TEST_UNSET%", "%NEBO_TEST_UNSET%"},
        {"50% of %NEBO_TEST_ALPHA%", "50% of alpha"},
    };
    CPathes pathes;
    for (const auto& test : cases)
        EXPECT_EQ(pathes.expandEnvironmentStrings(String::fromUTF8(test.text)).toUTF8(), test.expanded) << test.text;
}

TEST(CPathesTest, UnexpandsTheHomeFolderAtAPathBoundary)
{
    const struct {
        const char* home;
        const char* text;
        const char* unexpanded;
    } cases[] = {
        {"/home/tester", "/home/tester", "%HOME%"},
        {"/home/tester/", "/home/tester/x", "%HOME%/x"},
        {"/home/tester", "/home/testers/x", "/home/testers/x"},
        {"/home/tester", "/other/home/tester", "/other/home/tester"},
        {"/", "/x", "/x"},
        {nullptr, "/home/tester", "/home/tester"},
    };
    CPathes pathes;
    for (const auto& test : cases) {
        CScopedEnvironment home("HOME", test.home);
        EXPECT_EQ(pathes.unexpandEnvironmentStrings(String::fromUTF8(test.text)).toUTF8(), test.unexpanded)
            << (test.home ? test.home : "(unset)") << " " << test.text;
    }
}

} // namespace
} // namespace lumo::posix
