#include "platform/posix/CSystem.h"

#include "foundation/CError.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/CStringFormat.h"
#include "foundation/CURIError.h"
#include "foundation/IStringLocalizer.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/posix/CFileDescriptor.h"
#include "platform/CRandomGenerator.h"

#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::posix {

namespace {

constexpr int maxUniqueNameTries = 10000;

// Repeats a system call that a signal interrupted.
template <class Call> int retryingInterrupts(Call call)
{
    int result;
    while ((result = call()) < 0 && errno == EINTR) {
    }
    return result;
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
    return error == ENOENT || error == ENOTDIR;
}

P<CURI> folderURIOf(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return CURI::fromNativePath(String::fromUTF8(path));
}

bool isFolder(const std::string& path)
{
    struct stat status {};
    return retryingInterrupts([&] { return ::stat(path.c_str(), &status); }) == 0 && S_ISDIR(status.st_mode);
}

// Throws CURITypeNotSupportedError for a URI that names no local file.
std::string localPathOf(const IURI& uri)
{
    return uri.getNativePath().toUTF8();
}

std::string readExecutablePath()
{
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            const int error = errno;
            throwFailure(localize("lumo.CSystem.ExecutableDirectoryUnknown",
                                  "The folder of the running program is unknown (%ERRORDESC%)."),
                         error);
        }
        // A link that fills the buffer may have been cut short.
        if (static_cast<size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<size_t>(length));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

[[noreturn]] void throwLibraryDirectoryUnknown(int error)
{
    throwFailure(
        localize("lumo.CSystem.LibraryDirectoryUnknown", "The folder of the lumo library is unknown (%ERRORDESC%)."),
        error);
}

// The file this code was loaded from, as the loader found it, with its
// links resolved.
std::string readLibraryPath()
{
    Dl_info info = {};
    if (::dladdr(reinterpret_cast<const void*>(&createSystem), &info) == 0 || !info.dli_fname)
        throwLibraryDirectoryUnknown(ENOENT);
    char* resolved = ::realpath(info.dli_fname, nullptr);
    if (!resolved)
        throwLibraryDirectoryUnknown(errno);
    std::string path(resolved);
    std::free(resolved);
    return path;
}

std::string readCurrentPath()
{
    std::string buffer(256, '\0');
    while (!::getcwd(buffer.data(), buffer.size())) {
        const int error = errno;
        if (error != ERANGE)
            throwFailure(
                localize("lumo.CSystem.CurrentDirectoryUnknown", "The current folder is unknown (%ERRORDESC%)."),
                error);
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

// What sets creating a unique file apart from creating a unique folder.
struct UniqueEntryKind {
    const char* nameFormat;
    const char* errorKey;
    const char* errorText;
    // 0 when the entry was made, otherwise the error code.
    int (*create)(const std::string& path);
};

int createEmptyFile(const std::string& path)
{
    CFileDescriptor file(
        retryingInterrupts([&] { return ::open(path.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600); }));
    return file.isValid() ? 0 : errno;
}

int createFolder(const std::string& path)
{
    return retryingInterrupts([&] { return ::mkdir(path.c_str(), 0700); }) == 0 ? 0 : errno;
}

const UniqueEntryKind uniqueFile{"%s%08X%s", "lumo.CSystem.CreateUniqueFileFailed", "Error creating unique file name.",
                                 &createEmptyFile};
const UniqueEntryKind uniqueFolder{"%s%08X%s/", "lumo.CSystem.CreateUniqueFolderFailed",
                                   "Error creating unique folder name.", &createFolder};

P<CURI> createUniqueEntry(const IURI& folder, const String& prefix, const String& suffix, const UniqueEntryKind& kind)
{
    localPathOf(folder); // refuses a folder that is not local before any try
    // Only a name that exists already is worth another try.
    int error = EEXIST;
    for (int tries = 0; tries < maxUniqueNameTries && error == EEXIST; ++tries) {
        const String name = CStringFormat(String::fromLatin1(kind.nameFormat))
                                .pushString(prefix)
                                .pushInteger(getRandomGenerator()->next(), false)
                                .pushString(suffix)
                                .getResult();
        P<CURI> candidate = make<CURI>(CURI::escape(name, "/"), &folder);
        error = kind.create(localPathOf(*candidate));
        if (error == 0)
            return candidate;
    }
    throwFailure(localize(String::fromLatin1(kind.errorKey), String::fromLatin1(kind.errorText)) + " %ERRORDESC%",
                 error);
}

} // namespace

P<CURI> CSystem::getTempDirectory()
{
    const char* configured = std::getenv("TMPDIR");
    if (configured && *configured && isFolder(configured))
        return folderURIOf(configured);
    return folderURIOf("/tmp");
}

P<CURI> CSystem::getExecutableDirectory()
{
    const std::string program = readExecutablePath();
    return folderURIOf(program.substr(0, program.rfind('/') + 1));
}

P<CURI> CSystem::getLibraryDirectory()
{
    const std::string library = readLibraryPath();
    return folderURIOf(library.substr(0, library.rfind('/') + 1));
}

P<CURI> CSystem::getCurrentDirectory()
{
    return folderURIOf(readCurrentPath());
}

bool CSystem::fileExists(const IURI& file)
{
    std::string path;
    try {
        path = localPathOf(file);
    } catch (const CURIError&) {
        return false;
    }
    struct stat status {};
    return retryingInterrupts([&] { return ::stat(path.c_str(), &status); }) == 0 && !S_ISDIR(status.st_mode);
}

int64_t CSystem::getFileSize(const IURI& file)
{
    const std::string path = localPathOf(file);
    struct stat status {};
    if (retryingInterrupts([&] { return ::stat(path.c_str(), &status); }) != 0) {
        const int error = errno;
        if (meansNotFound(error))
            throw CFileNotFoundError(&file);
        throwFileFailure("lumo.CSystem.GetFileSizeFailed", "Error reading the size of the file '%FILE%' (%MSG%).", file,
                         error);
    }
    if (S_ISDIR(status.st_mode))
        throw CFileNotFoundError(&file);
    return static_cast<int64_t>(status.st_size);
}

bool CSystem::deleteFile(const IURI& file)
{
    const std::string path = localPathOf(file);
    if (retryingInterrupts([&] { return ::unlink(path.c_str()); }) == 0)
        return true;
    const int error = errno;
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

} // namespace lumo::posix

namespace lumo {

P<ISystem> createSystem()
{
    return make<posix::CSystem>();
}

} // namespace lumo
