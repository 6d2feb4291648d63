#include "platform/CDiskStream.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "streams/CStreamClosedError.h"
#include "streams/streamArguments.h"

#include <algorithm>
#include <vector>

namespace lumo {

namespace {

constexpr int32_t skipChunkSize = 64 * 1024;

bool isPositionInterface(const std::type_info& type)
{
    return type == typeid(IResetableStream) || type == typeid(ISeekableStream) || type == typeid(IResetableInStream) ||
           type == typeid(ISeekableInStream) || type == typeid(IResetableOutStream) ||
           type == typeid(ISeekableOutStream) || type == typeid(IResetableIOStream) ||
           type == typeid(ISeekableIOStream);
}

const P<IURI>& nonNull(const P<IURI>& uri)
{
    if (!uri)
        throw CInvalidArgError("the URI must not be null", "CDiskStream");
    return uri;
}

} // namespace

CDiskStream::CDiskStream(const P<IURI>& uri, CDiskFile::EMode mode)
    : m_mutex(getMutexFactory()->createMutex()), m_uri(uri), m_file(nonNull(uri), mode)
{
    if (m_file.isSeekable())
        m_position = 0;
}

bool CDiskStream::getInterface(const std::type_info& type, P<IBase>& redirect, Candidates& candidates)
{
    if (!m_file.isSeekable() && isPositionInterface(type))
        return false;
    return CObject::getInterface(type, redirect, candidates);
}

const P<IMutex>& CDiskStream::getMutex() const { return m_mutex; }

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
    if (!m_file.isOpen())
        return m_closedSize;
    if (!m_file.isSeekable())
        return -1;
    return m_file.getSize();
}

bool CDiskStream::isClosed()
{
    CScopedLock lock(m_mutex);
    return !m_file.isOpen();
}

void CDiskStream::close()
{
    CScopedLock lock(m_mutex);
    if (!m_file.isOpen())
        return;
    m_closedSize = getSizeLocked();
    m_file.close();
}

P<IURI> CDiskStream::getURI() { return m_uri; }

void CDiskStream::ensureOpen()
{
    CScopedLock lock(m_mutex);
    if (!m_file.isOpen())
        throw CStreamClosedError(m_uri.get());
}

void CDiskStream::ensureSeekable()
{
    if (!m_file.isSeekable())
        m_file.throwNotSeekable();
}

int32_t CDiskStream::readOnce(void* buffer, int32_t count)
{
    if (count == 0)
        return 0;
    const int32_t got = m_file.readSome(buffer, count);
    if (got == 0)
        m_bEnded = true;
    if (m_file.isSeekable())
        m_position += got;
    return got;
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
    if (m_file.isSeekable()) {
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
    if (!m_file.isOpen())
        return true;
    return m_file.isSeekable() ? m_position >= getSizeLocked() : m_bEnded;
}

void CDiskStream::writeAll(const void* data, int32_t count, const char* method)
{
    CScopedLock lock(m_mutex);
    ensureOpen();
    checkTransfer(data, count, method, this);
    const uint8_t* next = static_cast<const uint8_t*>(data);
    for (int32_t left = count; left > 0;) {
        const int32_t written = m_file.writeSome(next, left);
        next += written;
        left -= written;
        if (m_file.isSeekable())
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
    m_file.seekTo(target);
    m_position = target;
}

} // namespace lumo
