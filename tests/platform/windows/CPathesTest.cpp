#include "platform/windows/CPathes.h"

#include "foundation/CURIFormatError.h"
#include "foundation/windows/toWide.h"

#include <gtest/gtest.h>

#include <optional>
#include <windows.h>

namespace lumo::win32 {
namespace {

std::string nativePathOf(const std::string& uri)
{
    return CPathes().getNativePath(*make<CURI>(String::fromUTF8(uri)), false).toUTF8();
}

// Sets (or, for null, clears) an environment variable for one scope.
class CScopedVariable {
public:
    CScopedVariable(const wchar_t* name, const wchar_t* value) : m_name(name)
    {
        wchar_t previous[32767];
        const DWORD length = GetEnvironmentVariableW(name, previous, 32767);
        if (length > 0 && length < 32767)
            m_previous = std::wstring(previous, length);
        SetEnvironmentVariableW(name, value);
    }
    ~CScopedVariable() { SetEnvironmentVariableW(m_name, m_previous ? m_previous->c_str() : nullptr); }
    CScopedVariable(const CScopedVariable&) = delete;
    CScopedVariable& operator=(const CScopedVariable&) = delete;

private:
    const wchar_t* m_name;
    std::optional<std::wstring> m_previous;
};

TEST(CPathesTest, NativePathsOfURIs)
{
    const std::string name235(235, 'n');
    const std::string name236(236, 'n');
    const struct {
        std::string uri;
        std::string path;
    } cases[] = {
        {"file:///C:/temp/a%20b.txt", "C:\\temp\\a b.txt"},
        {"FILE://LocalHost/d:/x/y/", "d:\\x\\y\\"},
        {"file://server/share/x", "\\\\server\\share\\x"},
        {"file:///a/b", "\\a\\b"},
        {"dir/a%20b.txt", "dir\\a b.txt"},
        // 239 characters stay as they are, 240 take the long form.
        {"file:///C:/" + name235 + "/", "C:\\" + name235 + "\\"},
        {"file:///C:/" + name236 + "/", "\\\\?\\C:\\" + name236 + "\\"},
        {"file://server/" + name236, "\\\\?\\UNC\\server\\" + name236},
    };
    for (const auto& test : cases)
        EXPECT_EQ(nativePathOf(test.uri), test.path) << test.uri;
    EXPECT_THROW(nativePathOf("file:///a%00b"), CURIFormatError);
    EXPECT_THROW(nativePathOf("file:///" + std::string(300, 'n') + "/x"), CException);
}

TEST(CPathesTest, URIsOfNativePaths)
{
    const std::string name(300, 'n');
    const struct {
        std::string path;
        std::string uri;
    } cases[] = {
        {"C:\\temp\\a b.txt", "file:///C:/temp/a%20b.txt"},
        {"C:/temp/./x/../y", "file:///C:/temp/y"},
        {"\\\\server\\share\\x", "file://server/share/x"},
        {"\\\\?\\C:\\" + name, "file:///C:/" + name},
        {"\\\\?\\UNC\\server\\share\\" + name, "file://server/share/" + name},
    };
    for (const auto& test : cases)
        EXPECT_EQ(CPathes().getURIOfNativePath(String::fromUTF8(test.path))->getText().toUTF8(), test.uri) << test.path;
}

TEST(CPathesTest, ExpandsSetVariablesOnly)
{
    CScopedVariable alpha(L"NEBO_TEST_ALPHA", L"alpha");
    CScopedVariable umlaut(L"NEBO_TEST_UMLAUT", L"\u00FC");
    CScopedVariable unset(L"NEBO_TEST_UNSET", nullptr);
    const struct {
        const char* text;
        const char* expanded;
    } cases[] = {
        {"x%NEBO_TEST_ALPHA%y%NEBO_TEST_UMLAUT%", "xalphay\xC3\xBC"},
        {"%NEBO_TEST_UNSET%", "%NEBO_TEST_UNSET%"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(CPathes().expandEnvironmentStrings(String::fromUTF8(test.text)).toUTF8(), test.expanded) << test.text;
}

TEST(CPathesTest, UnexpandsTheLongestWellKnownFolderAtAPathBoundary)
{
    CScopedVariable profile(L"USERPROFILE", L"C:\\Users\\tester");
    CScopedVariable appData(L"APPDATA", L"C:\\Users\\tester\\AppData\\Roaming\\");
    CScopedVariable drive(L"SystemDrive", L"C:");
    CScopedVariable others[] = {{L"LOCALAPPDATA", nullptr},
                                {L"ALLUSERSPROFILE", nullptr},
                                {L"ProgramFiles", nullptr},
                                {L"SystemRoot", nullptr}};
    const struct {
        const char* text;
        const char* unexpanded;
    } cases[] = {
        {"C:\\Users\\tester", "%USERPROFILE%"},
        {"c:\\users\\TESTER\\x", "%USERPROFILE%\\x"},
        {"C:\\Users\\tester\\AppData\\Roaming\\y", "%APPDATA%\\y"},
        {"C:\\Users\\testers\\x", "%SystemDrive%\\Users\\testers\\x"},
        {"C:x", "C:x"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(CPathes().unexpandEnvironmentStrings(String::fromUTF8(test.text)).toUTF8(), test.unexpanded)
            << test.text;
}

} // namespace
} // namespace lumo::win32
