#include "platform/windows/CSystem.h"

#include "foundation/CError.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/CStringFormat.h"
#include "foundation/CURIError.h"
#include "foundation/IStringLocalizer.h"
#include "foundation/sync/throwSystemError.h"
#include "foundation/windows/readGrowingText.h"
#include "platform/CRandomGenerator.h"
#include "platform/windows/CPathes.h"

#include <string>
#include <windows.h>

namespace lumo::win32 {

namespace {

constexpr int maxUniqueNameTries = 10000;

int lastError()
{
    return static_cast<int>(GetLastError());
}

[[noreturn]] void throwFailure(const String& descriptionTemplate, int error)
{
    throw CError(descriptionTemplate.replace("%ERRORDESC%", getSystemErrorText(error)));
}

[[noreturn]] void throwFileFailure(const String& key, const String& defaultText, const IURI& file, int error)
{
    // The URI comes from the caller, so it is filled in last: whatever it
    // holds is never taken for a placeholder.
    const String description = localize(key, defaultText).replace("%MSG%", getSystemErrorText(error));
    throw CError(description.replace("%FILE%", file.getText()));
}

bool meansNotFound(int error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The folder part of a module's file name, its last "\" included.
std::wstring folderOf(const std::wstring& file)
{
    return file.substr(0, file.find_last_of(L"\\/") + 1);
}

// Reads a folder from the system call `fill` (see readGrowingText).
template <class Fill> P<CURI> readFolder(Fill fill, const char* key, const char* defaultText)
{
    std::wstring path;
    if (!readGrowingText(fill, path))
        throwFailure(localize(String::fromLatin1(key), String::fromLatin1(defaultText)), lastError());
    return CPathes::folderURIOf(path);
}

P<CURI> moduleFolder(HMODULE module, const char* key, const char* defaultText)
{
    std::wstring file;
    if (!readGrowingText([&](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(module, buffer, size); }, file))
        throwFailure(localize(String::fromLatin1(key), String::fromLatin1(defaultText)), lastError());
    return CPathes::folderURIOf(folderOf(file));
}

// False (with the error in `error`) when the entry does not exist or cannot
// be examined.
bool readAttributes(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& attributes, int& error)
{
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes))
        return true;
    error = lastError();
    return false;
}

bool isFolder(const WIN32_FILE_ATTRIBUTE_DATA& attributes)
{
    return (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// What sets creating a unique file apart from creating a unique folder.
struct UniqueEntryKind {
    const char* nameFormat;
    const char* errorKey;
    const char* errorText;
    // 0 when the entry was made, otherwise the error code.
    int (*create)(const std::wstring& path);
};

int createEmptyFile(const std::wstring& path)
{
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    CloseHandle(file);
    return 0;
}

int createFolder(const std::wstring& path)
{
    return CreateDirectoryW(path.c_str(), nullptr) ? 0 : lastError();
}

bool meansExists(int error)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

const UniqueEntryKind uniqueFile{"%s%08X%s", "lumo.CSystem.CreateUniqueFileFailed", "Error creating unique file name.",
                                 &createEmptyFile};
const UniqueEntryKind uniqueFolder{"%s%08X%s/", "lumo.CSystem.CreateUniqueFolderFailed",
                                   "Error creating unique folder name.", &createFolder};

P<CURI> createUniqueEntry(const IURI& folder, const String& prefix, const String& suffix, const UniqueEntryKind& kind)
{
    CPathes::systemPathOf(folder); // refuses a folder that is not local before any try
    int error = ERROR_FILE_EXISTS;
    for (int tries = 0; tries < maxUniqueNameTries && meansExists(error); ++tries) {
        const String name = CStringFormat(String::fromLatin1(kind.nameFormat))
                                .pushString(prefix)
                                .pushInteger(getRandomGenerator()->next(), false)
                                .pushString(suffix)
                                .getResult();
        P<CURI> candidate = make<CURI>(CURI::escape(name, "/"), &folder);
        error = kind.create(CPathes::systemPathOf(*candidate));
        if (error == 0)
            return candidate;
    }
    throwFailure(localize(String::fromLatin1(kind.errorKey), String::fromLatin1(kind.errorText)) + " %ERRORDESC%",
                 error);
}

} // namespace

P<CURI> CSystem::getTempDirectory()
{
    return readFolder([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); },
                      "lumo.CSystem.TempDirectoryUnknown", "The folder for temporary files is unknown (%ERRORDESC%).");
}

P<CURI> CSystem::getExecutableDirectory()
{
    return moduleFolder(nullptr, "lumo.CSystem.ExecutableDirectoryUnknown",
                        "The folder of the running program is unknown (%ERRORDESC%).");
}

P<CURI> CSystem::getLibraryDirectory()
{
    HMODULE library = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&createSystem), &library))
        throwFailure(localize("lumo.CSystem.LibraryDirectoryUnknown",
                              "The folder of the lumo library is unknown (%ERRORDESC%)."),
                     lastError());
    return moduleFolder(library, "lumo.CSystem.LibraryDirectoryUnknown",
                        "The folder of the lumo library is unknown (%ERRORDESC%).");
}

P<CURI> CSystem::getCurrentDirectory()
{
    return readFolder([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); },
                      "lumo.CSystem.CurrentDirectoryUnknown", "The current folder is unknown (%ERRORDESC%).");
}

bool CSystem::fileExists(const IURI& file)
{
    std::wstring path;
    try {
        path = CPathes::systemPathOf(file);
    } catch (const CURIError&) {
        return false;
    }
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    int error = 0;
    return readAttributes(path, attributes, error) && !isFolder(attributes);
}

int64_t CSystem::getFileSize(const IURI& file)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    int error = 0;
    if (!readAttributes(CPathes::systemPathOf(file), attributes, error)) {
        if (meansNotFound(error))
            throw CFileNotFoundError(&file);
        throwFileFailure("lumo.CSystem.GetFileSizeFailed", "Error reading the size of the file '%FILE%' (%MSG%).", file,
                         error);
    }
    if (isFolder(attributes))
        throw CFileNotFoundError(&file);
    return static_cast<int64_t>((static_cast<uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow);
}

bool CSystem::deleteFile(const IURI& file)
{
    const std::wstring path = CPathes::systemPathOf(file);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileW(path.c_str()))
        return true;
    const int error = lastError();
    if (readOnly)
        SetFileAttributesW(path.c_str(), attributes);
    if (meansNotFound(error))
        return false;
    throwFileFailure("lumo.CSystem.DeleteFileFailed", "Error deleting the file '%FILE%' (%MSG%).", file, error);
}

P<CURI> CSystem::createUniqueFile(const IURI& folder, const String& prefix, const String& suffix)
{
    return createUniqueEntry(folder, prefix, suffix, uniqueFile);
}

P<CURI> CSystem::createUniqueFolder(const IURI& folder, const String& prefix, const String& suffix)
{
    return createUniqueEntry(folder, prefix, suffix, uniqueFolder);
}

} // namespace lumo::win32

namespace lumo {

P<ISystem> createSystem()
{
    return make<win32::CSystem>();
}

} // namespace lumo
