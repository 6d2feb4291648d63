#include "foundation/nativeFilePath.h"

#include "foundation/CError.h"
#include "foundation/equalsIgnoringASCIICase.h"
#include "foundation/sync/throwSystemError.h"
#include "foundation/windows/readGrowingText.h"
#include "foundation/windows/toWide.h"

#include <algorithm>

namespace lumo {

namespace {

const std::wstring longPrefix = L"\\\\?\\";
const std::wstring longUNCPrefix = L"\\\\?\\UNC\\";

bool startsWith(const std::wstring& text, const std::wstring& start)
{
    return text.compare(0, start.size(), start) == 0;
}

std::wstring withoutLongPrefix(const std::wstring& path)
{
    if (startsWith(path, longUNCPrefix))
        return L"\\\\" + path.substr(longUNCPrefix.size());
    if (startsWith(path, longPrefix))
        return path.substr(longPrefix.size());
    return path;
}

std::wstring fullPathOf(const std::wstring& path)
{
    std::wstring full;
    const auto fill = [&](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    };
    if (!win32::readGrowingText(fill, full)) {
        const int error = static_cast<int>(GetLastError());
        throw CError(String("Error finding the full path of '") + win32::fromWide(path) + String("' (") +
                     getSystemErrorText(error) + String(")."));
    }
    return full;
}

bool isDrivePath(const std::string& path)
{
    const char letter = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
    return path.size() >= 2 && path[1] == ':' && letter >= 'a' && letter <= 'z';
}

} // namespace

// A drive path "C:\a b" is the URI path "/C:/a b"; a network path
// "\\server\share\x" has the host "server" and the path "/share/x". The long
// forms "\\?\" and "\\?\UNC\" are the same paths.
SFileURIParts toFileURIParts(const std::string& nativePath)
{
    std::wstring full = fullPathOf(withoutLongPrefix(win32::toWide(String::fromUTF8(nativePath))));
    std::replace(full.begin(), full.end(), L'\\', L'/');
    SFileURIParts parts;
    if (startsWith(full, L"//")) {
        const size_t shareStart = std::min(full.find(L'/', 2), full.size());
        parts.host = win32::fromWide(full.substr(2, shareStart - 2)).toUTF8();
        full.erase(0, shareStart);
    } else {
        full.insert(0, 1, L'/');
    }
    parts.path = win32::fromWide(full).toUTF8();
    return parts;
}

// A path without a drive letter ("/a/b") stays rooted, "\a\b", on the
// current drive.
bool toNativeFilePath(const std::string& authority, const std::string& path, std::string& nativePath)
{
    if (!authority.empty() && !equalsIgnoringASCIICase(authority, "localhost"))
        nativePath = "//" + authority + path;
    else if (isDrivePath(path.substr(std::min<size_t>(path.size(), 1))))
        nativePath = path.substr(1);
    else
        nativePath = path;
    std::replace(nativePath.begin(), nativePath.end(), '/', '\\');
    return true;
}

} // namespace lumo
