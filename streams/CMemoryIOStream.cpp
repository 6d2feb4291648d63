#include "streams/CMemoryIOStream.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "streams/CEndOfStreamError.h"
#include "streams/CMemoryManager.h"
#include "streams/CStreamClosedError.h"
#include "streams/growBlock.h"
#include "streams/streamArguments.h"
#include "streams/streamCopy.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lumo {

namespace {

constexpr int32_t maximumSize = std::numeric_limits<int32_t>::max();

} // namespace

CMemoryIOStream::CMemoryIOStream(P<IMemoryManager> manager, P<IURI> uri, int32_t initialCapacity)
    : m_mutex(getMutexFactory()->createMutex()), m_uri(std::move(uri))
{
    if (!manager)
        manager = getMemoryManager();
    m_block = manager->allocate(initialCapacity);
}

int64_t CMemoryIOStream::getPosition()
{
    CScopedLock lock(m_mutex);
    return m_position;
}

int64_t CMemoryIOStream::getSize()
{
    CScopedLock lock(m_mutex);
    return m_block->getSize();
}

bool CMemoryIOStream::isClosed()
{
    CScopedLock lock(m_mutex);
    return m_bClosed;
}

void CMemoryIOStream::close()
{
    CScopedLock lock(m_mutex);
    m_bClosed = true;
}

P<IURI> CMemoryIOStream::getURI() { return m_uri; }

void CMemoryIOStream::checkOpen()
{
    CScopedLock lock(m_mutex);
    if (m_bClosed)
        throw CStreamClosedError(m_uri.get());
}

void CMemoryIOStream::copyTo(IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    CScopedLock lock(m_mutex);
    checkOpen();
    copyStream(*this, out, buffer, bufferSize, abort, false);
}

void CMemoryIOStream::copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    CScopedLock lock(m_mutex);
    checkOpen();
    copyStream(in, *this, buffer, bufferSize, abort, true);
}

int32_t CMemoryIOStream::advance(void* target, int32_t count)
{
    const int32_t moved = static_cast<int32_t>(std::min<int64_t>(count, m_block->getSize() - m_position));
    if (target && moved > 0)
        std::memcpy(target, m_block->getData() + m_position, static_cast<size_t>(moved));
    m_position += moved;
    return moved;
}

int32_t CMemoryIOStream::readChecked(void* buffer, int32_t count, const char* method)
{
    CScopedLock lock(m_mutex);
    checkOpen();
    checkTransfer(buffer, count, method, this);
    return advance(buffer, count);
}

int32_t CMemoryIOStream::skipChecked(int32_t count, const char* method)
{
    CScopedLock lock(m_mutex);
    checkOpen();
    checkCount(count, method, this);
    return advance(nullptr, count);
}

int32_t CMemoryIOStream::read(void* buffer, int32_t count) { return readChecked(buffer, count, "read"); }

int32_t CMemoryIOStream::skip(int32_t count) { return skipChecked(count, "skip"); }

void CMemoryIOStream::readFully(void* buffer, int32_t count)
{
    if (readChecked(buffer, count, "readFully") != count)
        throw CEndOfStreamError(m_uri.get());
}

void CMemoryIOStream::skipFully(int32_t count)
{
    if (skipChecked(count, "skipFully") != count)
        throw CEndOfStreamError(m_uri.get());
}

bool CMemoryIOStream::isEOF()
{
    CScopedLock lock(m_mutex);
    return m_bClosed || m_position == m_block->getSize();
}

void CMemoryIOStream::write(const void* data, int32_t count)
{
    CScopedLock lock(m_mutex);
    checkOpen();
    checkTransfer(data, count, "write", this);
    if (count == 0)
        return;
    const int64_t end = m_position + count;
    if (end > maximumSize)
        throw CInvalidArgError("a memory stream holds at most 2147483647 bytes", "write", this);
    const int32_t size = m_block->getSize();
    growBlock(*m_block, static_cast<int32_t>(end), maximumSize);
    std::memcpy(m_block->getData() + m_position, data, static_cast<size_t>(count));
    m_position = end;
    if (m_position > size)
        m_block->setSize(static_cast<int32_t>(m_position));
}

int32_t CMemoryIOStream::writeCounted(const void* data, int32_t count)
{
    write(data, count);
    return count;
}

P<IStreamMarker> CMemoryIOStream::createMarker()
{
    CScopedLock lock(m_mutex);
    checkOpen();
    return make<CMarker>(this, m_position);
}

void CMemoryIOStream::resetToMarker(IStreamMarker& marker)
{
    CScopedLock lock(m_mutex);
    checkOpen();
    moveTo(0, CMarker::getPositionFor(marker, this), "resetToMarker");
}

void CMemoryIOStream::seek(int64_t position)
{
    CScopedLock lock(m_mutex);
    moveTo(0, position, "seek");
}

void CMemoryIOStream::seekFromEnd(int64_t delta)
{
    CScopedLock lock(m_mutex);
    moveTo(m_block->getSize(), delta, "seekFromEnd");
}

void CMemoryIOStream::seekRelative(int64_t delta)
{
    CScopedLock lock(m_mutex);
    moveTo(m_position, delta, "seekRelative");
}

void CMemoryIOStream::moveTo(int64_t base, int64_t delta, const char* method)
{
    checkOpen();
    m_position = getSeekTarget(base, delta, m_block->getSize(), method, this);
}

void CMemoryIOStream::clear()
{
    CScopedLock lock(m_mutex);
    checkOpen();
    m_block->setSize(0);
    m_position = 0;
}

} // namespace lumo
