#include "platform/CDiskFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo {

namespace {

constexpr mode_t newFileMode = 0666;

int openFlagsOf(CDiskFile::EMode mode)
{
    switch (mode) {
    case CDiskFile::EMode::read:
        return O_RDONLY;
    case CDiskFile::EMode::write:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case CDiskFile::EMode::readWrite:
        break;
    }
    return O_RDWR | O_CREAT;
}

} // namespace

CDiskFile::CDiskFile(const P<IURI>& uri, EMode mode) : m_uri(uri)
{
    const std::string path = uri->getNativePath().toUTF8();
    int fd;
    while ((fd = ::open(path.c_str(), openFlagsOf(mode) | O_CLOEXEC, newFileMode)) < 0 && errno == EINTR) {
    }
    if (fd < 0)
        throwError("opening", errno);
    struct stat status {};
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        const int errorCode = S_ISDIR(status.st_mode) ? EISDIR : errno;
        ::close(fd);
        throwError("opening", errorCode);
    }
    m_handle = fd;
    m_bSeekable = S_ISREG(status.st_mode);
}

CDiskFile::~CDiskFile() { close(); }

void CDiskFile::close()
{
    if (!isOpen())
        return;
    // Linux frees the descriptor even when close() is interrupted, so it is
    // never retried; the data went to the system with each write.
    ::close(static_cast<int>(m_handle));
    m_handle = closedHandle;
}

int32_t CDiskFile::readSome(void* buffer, int32_t count)
{
    ssize_t got;
    while ((got = ::read(static_cast<int>(m_handle), buffer, static_cast<size_t>(count))) < 0 && errno == EINTR) {
    }
    if (got < 0)
        throwError("reading", errno);
    return static_cast<int32_t>(got);
}

int32_t CDiskFile::writeSome(const void* data, int32_t count)
{
    ssize_t written;
    while ((written = ::write(static_cast<int>(m_handle), data, static_cast<size_t>(count))) < 0 && errno == EINTR) {
    }
    if (written < 0)
        throwError("writing", errno);
    return static_cast<int32_t>(written);
}

int64_t CDiskFile::getSize()
{
    struct stat status {};
    if (fstat(static_cast<int>(m_handle), &status) != 0)
        throwError("examining", errno);
    return status.st_size;
}

void CDiskFile::seekTo(int64_t position)
{
    if (::lseek(static_cast<int>(m_handle), position, SEEK_SET) < 0)
        throwError("seeking in", errno);
}

void CDiskFile::throwNotSeekable() const { throwError("seeking in", ESPIPE); }

bool CDiskFile::meansAccessDenied(int errorCode) { return errorCode == EACCES || errorCode == EPERM; }

} // namespace lumo
