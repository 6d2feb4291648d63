#include "platform/posix/CDiskStream.h"

#include "foundation/CFileAccessDeniedError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/throwSystemError.h"
#include "streams/CStreamClosedError.h"
#include "streams/streamArguments.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lumo::posix {

namespace {

constexpr mode_t newFileMode = 0666;
constexpr int32_t skipChunkSize = 64 * 1024;

bool isPositionInterface(const std::type_info& type)
{
    return type == typeid(IResetableStream) || type == typeid(ISeekableStream) ||
           type == typeid(IResetableInStream) || type == typeid(ISeekableInStream) ||
           type == typeid(IResetableOutStream) || type == typeid(ISeekableOutStream) ||
           type == typeid(IResetableIOStream) || type == typeid(ISeekableIOStream);
}

} // namespace

CDiskStream::CDiskStream(const P<IURI>& uri, int openFlags)
    : m_mutex(getMutexFactory()->createMutex()), m_uri(uri)
{
    if (!uri)
        throw CInvalidArgError("the URI must not be null", "CDiskStream");
    const std::string path = uri->getNativePath().toUTF8();
    int fd;
    while ((fd = ::open(path.c_str(), openFlags | O_CLOEXEC, newFileMode)) < 0 && errno == EINTR) {
    }
    if (fd < 0)
        throwFileError("opening", errno);
    struct stat status {};
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        const int errorCode = S_ISDIR(status.st_mode) ? EISDIR : errno;
        ::close(fd);
        throwFileError("opening", errorCode);
    }
    m_fd = fd;
    // Only a regular file has a size that tells where its end is.
    m_bSeekable = S_ISREG(status.st_mode);
    if (m_bSeekable)
        m_position = 0;
}

CDiskStream::~CDiskStream()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CDiskStream::getInterface(const std::type_info& type, P<IBase>& redirect, Candidates& candidates)
{
    if (!m_bSeekable && isPositionInterface(type))
        return false;
    return CObject::getInterface(type, redirect, candidates);
}

const P<IMutex>& CDiskStream::getMutex() const
{
    return m_mutex;
}

void CDiskStream::throwFileError(const char* action, int errorCode)
{
    if (errorCode == EACCES || errorCode == EPERM)
        throw CFileAccessDeniedError(m_uri.get());
    throwSystemError(String("Error ") + String::fromLatin1(action) + String(" the file '") +
                         m_uri->getDisplayText() + String("' (%ERRORDESC%)."),
                     errorCode, m_uri.get());
}

int64_t CDiskStream::getPosition()
{
    CScopedLock lock(m_mutex);
    return m_position;
}

int64_t CDiskStream::getSize()
{
    CScopedLock lock(m_mutex);
    return getSizeLocked();
}

int64_t CDiskStream::getSizeLocked()
{
    if (m_fd < 0)
        return m_closedSize;
    if (!m_bSeekable)
        return -1;
    struct stat status {};
    if (fstat(m_fd, &status) != 0)
        throwFileError("examining", errno);
    return status.st_size;
}

bool CDiskStream::isClosed()
{
    CScopedLock lock(m_mutex);
    return m_fd < 0;
}

void CDiskStream::close()
{
    CScopedLock lock(m_mutex);
    if (m_fd < 0)
        return;
    m_closedSize = getSizeLocked();
    // Linux frees the descriptor even when close() is interrupted, so it is
    // never retried; the data went to the system with each write.
    ::close(m_fd);
    m_fd = -1;
}

P<IURI> CDiskStream::getURI()
{
    return m_uri;
}

void CDiskStream::ensureOpen()
{
    CScopedLock lock(m_mutex);
    if (m_fd < 0)
        throw CStreamClosedError(m_uri.get());
}

void CDiskStream::ensureSeekable()
{
    if (!m_bSeekable)
        throwFileError("seeking in", ESPIPE);
}

int32_t CDiskStream::readOnce(void* buffer, int32_t count)
{
    if (count == 0)
        return 0;
    ssize_t got;
    while ((got = ::read(m_fd, buffer, static_cast<size_t>(count))) < 0 && errno == EINTR) {
    }
    if (got < 0)
        throwFileError("reading", errno);
    if (got == 0)
        m_bEnded = true;
    if (m_bSeekable)
        m_position += got;
    return static_cast<int32_t>(got);
}

int32_t CDiskStream::readFillLocked(void* buffer, int32_t count)
{
    int32_t done = 0;
    while (done < count) {
        const int32_t got = readOnce(static_cast<uint8_t*>(buffer) + done, count - done);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

int32_t CDiskStream::readSome(void* buffer, int32_t count, const char* method)
{
    CScopedLock lock(m_mutex);
    ensureOpen();
    checkTransfer(buffer, count, method, this);
    return readOnce(buffer, count);
}

int32_t CDiskStream::readFill(void* buffer, int32_t count, const char* method)
{
    CScopedLock lock(m_mutex);
    ensureOpen();
    checkTransfer(buffer, count, method, this);
    return readFillLocked(buffer, count);
}

int32_t CDiskStream::skipFill(int32_t count, const char* method)
{
    CScopedLock lock(m_mutex);
    ensureOpen();
    checkCount(count, method, this);
    if (m_bSeekable) {
        const int32_t skipped = static_cast<int32_t>(std::clamp<int64_t>(getSizeLocked() - m_position, 0, count));
        moveTo(m_position, skipped, method);
        return skipped;
    }
    std::vector<uint8_t> scratch(static_cast<size_t>(std::min(count, skipChunkSize)));
    int32_t done = 0;
    while (done < count) {
        const int32_t got = readFillLocked(scratch.data(), std::min(count - done, skipChunkSize));
        done += got;
        if (got == 0)
            break;
    }
    return done;
}

bool CDiskStream::isAtEnd()
{
    CScopedLock lock(m_mutex);
    if (m_fd < 0)
        return true;
    return m_bSeekable ? m_position >= getSizeLocked() : m_bEnded;
}

void CDiskStream::writeAll(const void* data, int32_t count, const char* method)
{
    CScopedLock lock(m_mutex);
    ensureOpen();
    checkTransfer(data, count, method, this);
    const uint8_t* next = static_cast<const uint8_t*>(data);
    for (int32_t left = count; left > 0;) {
        const ssize_t written = ::write(m_fd, next, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            throwFileError("writing", errno);
        next += written;
        left -= static_cast<int32_t>(written);
        if (m_bSeekable)
            m_position += written;
    }
}

P<IStreamMarker> CDiskStream::createMarker()
{
    CScopedLock lock(m_mutex);
    ensureOpen();
    ensureSeekable();
    return make<CMarker>(this, m_position);
}

void CDiskStream::resetToMarker(IStreamMarker& marker)
{
    CScopedLock lock(m_mutex);
    ensureOpen();
    moveTo(0, CMarker::getPositionFor(marker, this), "resetToMarker");
}

void CDiskStream::seek(int64_t position)
{
    CScopedLock lock(m_mutex);
    moveTo(0, position, "seek");
}

void CDiskStream::seekFromEnd(int64_t delta)
{
    CScopedLock lock(m_mutex);
    moveTo(getSizeLocked(), delta, "seekFromEnd");
}

void CDiskStream::seekRelative(int64_t delta)
{
    CScopedLock lock(m_mutex);
    moveTo(m_position, delta, "seekRelative");
}

void CDiskStream::moveTo(int64_t base, int64_t delta, const char* method)
{
    ensureOpen();
    ensureSeekable();
    const int64_t target = getSeekTarget(base, delta, getSizeLocked(), method, this);
    if (::lseek(m_fd, target, SEEK_SET) < 0)
        throwFileError("seeking in", errno);
    m_position = target;
}

} // namespace lumo::posix
