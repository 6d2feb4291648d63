#include "platform/windows/CPathes.h"

#include "foundation/CError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CURIFormatError.h"
#include "foundation/equalsIgnoringASCIICase.h"
#include "foundation/windows/readGrowingText.h"
#include "foundation/windows/toWide.h"

#include <algorithm>
#include <windows.h>

namespace lumo::win32 {

namespace {

// From this length on a path needs the long form: the system's limit of
// MAX_PATH (260) leaves room for a file name that a caller appends.
constexpr size_t longPathLength = 240;
const std::wstring longPrefix = L"\\\\?\\";
const std::wstring longUNCPrefix = L"\\\\?\\UNC\\";

const wchar_t* const wellKnownFolderVariables[] = {L"APPDATA",      L"LOCALAPPDATA", L"USERPROFILE", L"ALLUSERSPROFILE",
                                                   L"ProgramFiles", L"SystemRoot",   L"SystemDrive"};

bool isSeparator(wchar_t unit) { return unit == L'\\' || unit == L'/'; }

bool isDrivePath(const std::wstring& path)
{
    const wchar_t letter = static_cast<wchar_t>(path.empty() ? 0 : path[0] | 0x20);
    return path.size() >= 2 && path[1] == L':' && letter >= L'a' && letter <= L'z';
}

bool isUNCPath(const std::wstring& path) { return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]); }

bool isFileURI(const IURI& uri) { return equalsIgnoringASCIICase(uri.getScheme().toUTF8(), "file"); }

std::wstring checkedPath(const IURI& uri, const String& path)
{
    if (path->indexOfChar(0) >= 0)
        throw CURIFormatError(&uri);
    return toWide(path);
}

std::wstring withBackslashes(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring inLongFormWhenLong(const std::wstring& path)
{
    if (path.size() < longPathLength)
        return path;
    if (isUNCPath(path))
        return longUNCPrefix + path.substr(2);
    if (isDrivePath(path))
        return longPrefix + path;
    throw CException(String("Error: Windows path is longer than MAX_PATH and the limit cannot be circumvented ") +
                         String("(path='") + fromWide(path) + String("')."),
                     String());
}

// An unset variable gives nothing.
std::wstring environmentValueOf(const wchar_t* name)
{
    std::wstring value;
    const auto fill = [&](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(name, buffer, size); };
    return readGrowingText(fill, value) ? value : std::wstring();
}

bool startsWithFolder(const std::wstring& text, const std::wstring& folder)
{
    if (folder.empty() || text.size() < folder.size())
        return false;
    const bool same = CompareStringOrdinal(text.data(), static_cast<int>(folder.size()), folder.data(),
                                           static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
    return same && (text.size() == folder.size() || isSeparator(text[folder.size()]));
}

} // namespace

String CPathes::getNativePath(const IURI& uri, bool bOtherSchemesAsText)
{
    if (uri.getText().isEmpty())
        return String();
    if (uri.isRelative())
        return fromWide(withBackslashes(checkedPath(uri, uri.getPath())));
    if (!isFileURI(uri))
        return bOtherSchemesAsText ? uri.getText() : String();
    return fromWide(systemPathOf(uri));
}

std::wstring CPathes::systemPathOf(const IURI& uri) { return inLongFormWhenLong(toWide(uri.getNativePath())); }

std::wstring CPathes::systemPathOf(const String& nativePath)
{
    const std::wstring path = withBackslashes(toWide(nativePath));
    const bool bLongForm = path.compare(0, longPrefix.size(), longPrefix) == 0;
    return !bLongForm && (isDrivePath(path) || isUNCPath(path)) ? inLongFormWhenLong(path) : path;
}

P<CURI> CPathes::getURIOfNativePath(const String& path)
{
    if (path->indexOfChar(0) >= 0)
        throw CInvalidArgError("The path holds a zero character.", "CPathes::getURIOfNativePath");
    return CURI::fromNativePath(path);
}

P<CURI> CPathes::folderURIOf(std::wstring path)
{
    if (path.empty() || !isSeparator(path.back()))
        path += L'\\';
    return CPathes().getURIOfNativePath(fromWide(path));
}

String CPathes::expandEnvironmentStrings(const String& text)
{
    const std::wstring source = toWide(text);
    std::wstring expanded(source.size() + 1, L'\0');
    for (;;) {
        const DWORD needed =
            ExpandEnvironmentStringsW(source.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
        if (needed == 0)
            throw CError(String("error expanding environmental string"));
        // The answer counts the terminating zero.
        if (needed <= expanded.size()) {
            expanded.resize(needed - 1);
            return fromWide(expanded);
        }
        expanded.resize(needed);
    }
}

String CPathes::unexpandEnvironmentStrings(const String& text)
{
    const std::wstring source = toWide(text);
    const wchar_t* bestName = nullptr;
    size_t bestLength = 0;
    for (const wchar_t* name : wellKnownFolderVariables) {
        std::wstring folder = environmentValueOf(name);
        while (!folder.empty() && isSeparator(folder.back()))
            folder.pop_back();
        if (folder.size() > bestLength && startsWithFolder(source, folder)) {
            bestName = name;
            bestLength = folder.size();
        }
    }
    if (!bestName)
        return text;
    return fromWide(L"%" + std::wstring(bestName) + L"%" + source.substr(bestLength));
}

} // namespace lumo::win32

namespace lumo {

P<IPathes> createPathes() { return make<win32::CPathes>(); }

} // namespace lumo
