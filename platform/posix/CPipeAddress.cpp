#include "platform/posix/CPipeAddress.h"

#include "foundation/CException.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/String.h"
#include "foundation/sync/throwSystemError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::posix {

namespace {

constexpr mode_t folderMode = 0700;
constexpr size_t longestSocketPath = sizeof(sockaddr_un::sun_path) - 1;

std::string getEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool isPlainWord(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

[[noreturn]] void throwFolderError(const std::string& folder, const String& reason)
{
    throw CException(String("The pipe folder '") + String::fromUTF8(folder) + String("' ") + reason, String());
}

} // namespace

std::string CPipeAddress::folderOfThisProcess()
{
    std::string folder = getEnvironment("NEBO_PIPE_DIR");
    if (!folder.empty())
        return folder;
    folder = getEnvironment("XDG_RUNTIME_DIR");
    if (!folder.empty())
        return folder + "/nebo";
    return "/tmp/nebo-" + std::to_string(geteuid());
}

CPipeAddress::CPipeAddress(const String& name) : m_folder(folderOfThisProcess())
{
    const std::string word = name.toUTF8();
    if (!isPlainWord(word))
        throw CInvalidArgError("the pipe name must be one word without '/'", "CPipeAddress");
    m_socketPath = m_folder + "/" + word;
    if (m_socketPath.size() > longestSocketPath)
        throw CException(String("The pipe path '") + String::fromUTF8(m_socketPath) + String("' is longer than the ") +
                             String::fromInt(longestSocketPath) + String(" bytes that a local socket address holds"),
                         String());
}

sockaddr_un CPipeAddress::getSocketAddress() const
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, m_socketPath.c_str(), m_socketPath.size() + 1);
    return address;
}

void CPipeAddress::ensureFolder() const
{
    if (::mkdir(m_folder.c_str(), folderMode) == 0)
        ::chmod(m_folder.c_str(), folderMode); // whatever the umask took away
    else if (errno != EEXIST)
        throwFolderError(m_folder, String("cannot be created (") + getSystemErrorText(errno) + String(")"));
    struct stat status {};
    if (::lstat(m_folder.c_str(), &status) != 0)
        throwFolderError(m_folder, String("cannot be examined (") + getSystemErrorText(errno) + String(")"));
    if (!S_ISDIR(status.st_mode))
        throwFolderError(m_folder, "is not a folder");
    if (status.st_uid != geteuid())
        throwFolderError(m_folder, String("belongs to user ") + String::fromInt(status.st_uid) +
                                       String(", not to the calling user ") + String::fromInt(geteuid()));
    if (status.st_mode & (S_IWGRP | S_IWOTH))
        throwFolderError(m_folder, "may be written by group or others");
}

} // namespace lumo::posix
