#include "platform/CSystem.h"

#include "foundation/IStringLocalizer.h"
#include "foundation/windows/readGrowingText.h"
#include "platform/windows/CPathes.h"

#include <string>
#include <windows.h>

namespace lumo {

using win32::CPathes;

namespace {

int lastError() { return static_cast<int>(GetLastError()); }

// The folder part of a module's file name, its last "\" included.
std::wstring folderOf(const std::wstring& file) { return file.substr(0, file.find_last_of(L"\\/") + 1); }

} // namespace

P<CURI> CSystem::getTempDirectory()
{
    std::wstring path;
    if (!win32::readGrowingText([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); }, path))
        throwFailure(
            localize("lumo.CSystem.TempDirectoryUnknown", "The folder for temporary files is unknown (%ERRORDESC%)."),
            lastError());
    return CPathes::folderURIOf(path);
}

P<CURI> CSystem::getExecutableDirectory()
{
    std::wstring file;
    const auto fill = [](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); };
    if (!win32::readGrowingText(fill, file))
        throwFailure(localize("lumo.CSystem.ExecutableDirectoryUnknown",
                              "The folder of the running program is unknown (%ERRORDESC%)."),
                     lastError());
    return CPathes::folderURIOf(folderOf(file));
}

P<CURI> CSystem::getLibraryDirectory()
{
    HMODULE library = nullptr;
    std::wstring file;
    const auto fill = [&](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(library, buffer, size); };
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&createSystem), &library) ||
        !win32::readGrowingText(fill, file))
        throwFailure(localize("lumo.CSystem.LibraryDirectoryUnknown",
                              "The folder of the lumo library is unknown (%ERRORDESC%)."),
                     lastError());
    return CPathes::folderURIOf(folderOf(file));
}

P<CURI> CSystem::getCurrentDirectory()
{
    std::wstring path;
    if (!win32::readGrowingText([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); }, path))
        throwFailure(localize("lumo.CSystem.CurrentDirectoryUnknown", "The current folder is unknown (%ERRORDESC%)."),
                     lastError());
    return CPathes::folderURIOf(path);
}

int CSystem::readEntry(const IURI& file, SEntry& entry)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!GetFileAttributesExW(CPathes::systemPathOf(file).c_str(), GetFileExInfoStandard, &attributes))
        return lastError();
    entry.bFolder = (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.size =
        static_cast<int64_t>((static_cast<uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow);
    return 0;
}

int CSystem::removeFile(const IURI& file)
{
    const std::wstring path = CPathes::systemPathOf(file);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileW(path.c_str()))
        return 0;
    const int error = lastError();
    if (readOnly)
        SetFileAttributesW(path.c_str(), attributes);
    return error;
}

int CSystem::createEntry(const IURI& entry, bool bFolder)
{
    const std::wstring path = CPathes::systemPathOf(entry);
    if (bFolder)
        return CreateDirectoryW(path.c_str(), nullptr) ? 0 : lastError();
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    CloseHandle(file);
    return 0;
}

bool CSystem::meansNotFound(int error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool CSystem::meansExists(int error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

P<ISystem> createSystem() { return make<CSystem>(); }

} // namespace lumo
