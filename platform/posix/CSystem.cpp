#include "platform/CSystem.h"

#include "foundation/IStringLocalizer.h"
#include "platform/posix/CFileDescriptor.h"

#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo {

namespace {

// Repeats a system call that a signal interrupted.
template <class Call> int retryingInterrupts(Call call)
{
    int result;
    while ((result = call()) < 0 && errno == EINTR) {
    }
    return result;
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
std::string localPathOf(const IURI& uri) { return uri.getNativePath().toUTF8(); }

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
            return folderURIOf(buffer.substr(0, buffer.rfind('/') + 1));
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The folder of the file this code was loaded from, as the loader found it,
// with its links resolved.
P<CURI> CSystem::getLibraryDirectory()
{
    const auto throwUnknown = [](int error) {
        throwFailure(localize("lumo.CSystem.LibraryDirectoryUnknown",
                              "The folder of the lumo library is unknown (%ERRORDESC%)."),
                     error);
    };
    Dl_info info = {};
    if (::dladdr(reinterpret_cast<const void*>(&createSystem), &info) == 0 || !info.dli_fname)
        throwUnknown(ENOENT);
    char* resolved = ::realpath(info.dli_fname, nullptr);
    if (!resolved)
        throwUnknown(errno);
    const std::string library(resolved);
    std::free(resolved);
    return folderURIOf(library.substr(0, library.rfind('/') + 1));
}

P<CURI> CSystem::getCurrentDirectory()
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
    return folderURIOf(buffer);
}

int CSystem::readEntry(const IURI& file, SEntry& entry)
{
    const std::string path = localPathOf(file);
    struct stat status {};
    if (retryingInterrupts([&] { return ::stat(path.c_str(), &status); }) != 0)
        return errno;
    entry.bFolder = S_ISDIR(status.st_mode);
    entry.size = static_cast<int64_t>(status.st_size);
    return 0;
}

int CSystem::removeFile(const IURI& file)
{
    const std::string path = localPathOf(file);
    return retryingInterrupts([&] { return ::unlink(path.c_str()); }) == 0 ? 0 : errno;
}

int CSystem::createEntry(const IURI& entry, bool bFolder)
{
    const std::string path = localPathOf(entry);
    if (bFolder)
        return retryingInterrupts([&] { return ::mkdir(path.c_str(), 0700); }) == 0 ? 0 : errno;
    posix::CFileDescriptor file(
        retryingInterrupts([&] { return ::open(path.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600); }));
    return file.isValid() ? 0 : errno;
}

bool CSystem::meansNotFound(int error) { return error == ENOENT || error == ENOTDIR; }

bool CSystem::meansExists(int error) { return error == EEXIST; }

P<ISystem> createSystem() { return make<CSystem>(); }

} // namespace lumo
