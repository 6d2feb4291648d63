#include "platform/windows/CDiskStream.h"

#include "foundation/CFileAccessDeniedError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/windows/CPathes.h"
#include "streams/CStreamClosedError.h"
#include "streams/streamArguments.h"

#include <algorithm>
#include <vector>

namespace lumo::win32 {

namespace {

constexpr int32_t skipChunkSize = 64 * 1024;
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool isPositionInterface(const std::type_info& type)
{
    return type == typeid(IResetableStream) || type == typeid(ISeekableStream) ||
           type == typeid(IResetableInStream) || type == typeid(ISeekableInStream) ||
           type == typeid(IResetableOutStream) || type == typeid(ISeekableOutStream) ||
           type == typeid(IResetableIOStream) || type == typeid(ISeekableIOStream);
}

// The writing end of a pipe going away is the end of the data, not a failure.
bool meansEnd(DWORD errorCode)
{
    return errorCode == ERROR_BROKEN_PIPE || errorCode == ERROR_HANDLE_EOF;
}

bool isFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

CDiskStream::CDiskStream(const P<IURI>& uri, const OpenMode& mode)
    : m_mutex(getMutexFactory()->createMutex()), m_uri(uri)
{
    if (!uri)
        throw CInvalidArgError("the URI must not be null", "CDiskStream");
    const std::wstring path = CPathes::systemPathOf(*uri);
    const HANDLE file =
        CreateFileW(path.c_str(), mode.access, shareAll, nullptr, mode.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD errorCode = GetLastError();
        // The system refuses to open a folder as "access denied"; it is no
        // file, whatever the rights.
        throwFileError("opening", errorCode == ERROR_ACCESS_DENIED && isFolder(path) ? ERROR_DIRECTORY : errorCode);
    }
    m_file = file;
    // Only a disk file has a size that tells where its end is.
    m_bSeekable = GetFileType(file) == FILE_TYPE_DISK;
    if (m_bSeekable)
        m_position = 0;
}

CDiskStream::~CDiskStream()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
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

void CDiskStream::throwFileError(const char* action, DWORD errorCode)
{
    if (errorCode == ERROR_ACCESS_DENIED || errorCode == ERROR_WRITE_PROTECT)
        throw CFileAccessDeniedError(m_uri.get());
    throwSystemError(String("Error ") + String::fromLatin1(action) + String(" the file '") +
                         m_uri->getDisplayText() + String("' (%ERRORDESC%)."),
                     static_cast<int>(errorCode), m_uri.get());
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
    if (m_file == INVALID_HANDLE_VALUE)
        return m_closedSize;
    if (!m_bSeekable)
        return -1;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_file, &size))
        throwFileError("examining", GetLastError());
    return size.QuadPart;
}

bool CDiskStream::isClosed()
{
    CScopedLock lock(m_mutex);
    return m_file == INVALID_HANDLE_VALUE;
}

void CDiskStream::close()
{
    CScopedLock lock(m_mutex);
    if (m_file == INVALID_HANDLE_VALUE)
        return;
    m_closedSize = getSizeLocked();
    // The data went to the system with each write.
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
}

P<IURI> CDiskStream::getURI()
{
    return m_uri;
}

void CDiskStream::ensureOpen()
{
    CScopedLock lock(m_mutex);
    if (m_file == INVALID_HANDLE_VALUE)
        throw CStreamClosedError(m_uri.get());
}

void CDiskStream::ensureSeekable()
{
    if (!m_bSeekable)
        throwFileError("seeking in", ERROR_SEEK_ON_DEVICE);
}

int32_t CDiskStream::readOnce(void* buffer, int32_t count)
{
    if (count == 0)
        return 0;
    DWORD got = 0;
    if (!ReadFile(m_file, buffer, static_cast<DWORD>(count), &got, nullptr)) {
        const DWORD errorCode = GetLastError();
        if (!meansEnd(errorCode))
            throwFileError("reading", errorCode);
        got = 0;
    }
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
    if (m_file == INVALID_HANDLE_VALUE)
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
        DWORD written = 0;
        if (!WriteFile(m_file, next, static_cast<DWORD>(left), &written, nullptr))
            throwFileError("writing", GetLastError());
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
    LARGE_INTEGER distance{};
    distance.QuadPart = target;
    if (!SetFilePointerEx(m_file, distance, nullptr, FILE_BEGIN))
        throwFileError("seeking in", GetLastError());
    m_position = target;
}

} // namespace lumo::win32
