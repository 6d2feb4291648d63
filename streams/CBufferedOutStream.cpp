#include "streams/CBufferedOutStream.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "foundation/IURI.h"
#include "streams/streamArguments.h"
#include "streams/streamCopy.h"

#include <cstring>
#include <typeinfo>

namespace lumo {

namespace {

template <class T> P<T> requireNotNull(P<T> object, const char* what)
{
    if (!object)
        throw CInvalidArgError(String(what), "CBufferedOutStream", nullptr, &typeid(CBufferedOutStream));
    return object;
}

} // namespace

CBufferedOutStream::CBufferedOutStream(P<IOutStream> stream, P<IMemoryBlock> buffer)
    : m_stream(requireNotNull(std::move(stream), "The wrapped stream is null.")),
      m_buffer(requireNotNull(std::move(buffer), "The buffer block is null."))
{
    m_buffer->setSize(0);
}

void CBufferedOutStream::beginMessage()
{
    m_buffer->setSize(0);
    m_bInMessage = true;
}

void CBufferedOutStream::flush()
{
    m_bInMessage = false;
    sendGathered();
}

void CBufferedOutStream::discard() noexcept
{
    m_bInMessage = false;
    m_buffer->setSize(0);
}

bool CBufferedOutStream::isInMessage() const { return m_bInMessage; }

void CBufferedOutStream::setBuffer(P<IMemoryBlock> buffer)
{
    if (m_bInMessage)
        throw CInvalidObjectStateError("the buffer cannot be replaced during a message", this);
    m_buffer = requireNotNull(std::move(buffer), "The buffer block is null.");
    m_buffer->setSize(0);
}

P<IMemoryBlock> CBufferedOutStream::getBuffer() const { return m_buffer; }

int64_t CBufferedOutStream::getPosition() { return -1; }

int64_t CBufferedOutStream::getSize() { return -1; }

bool CBufferedOutStream::isClosed() { return m_stream->isClosed(); }

void CBufferedOutStream::close()
{
    discard();
    m_stream->close();
}

P<IURI> CBufferedOutStream::getURI() { return m_stream->getURI(); }

void CBufferedOutStream::copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    copyStream(in, *this, buffer, bufferSize, abort, true);
}

void CBufferedOutStream::write(const void* data, int32_t count)
{
    checkTransfer(data, count, "write", this);
    if (!m_bInMessage) {
        m_stream->write(data, count);
        return;
    }
    const int32_t capacity = m_buffer->getCapacity();
    if (count > capacity - m_buffer->getSize())
        sendGathered();
    if (count >= capacity)
        m_stream->write(data, count);
    else
        append(data, count);
}

int32_t CBufferedOutStream::writeCounted(const void* data, int32_t count)
{
    write(data, count);
    return count;
}

void CBufferedOutStream::checkOpen() { m_stream->checkOpen(); }

void CBufferedOutStream::sendGathered()
{
    const int32_t size = m_buffer->getSize();
    if (size == 0)
        return;
    // Emptied first: whatever the write does, these bytes must not go out twice.
    m_buffer->setSize(0);
    m_stream->write(m_buffer->getData(), size);
}

void CBufferedOutStream::append(const void* data, int32_t count)
{
    const int32_t size = m_buffer->getSize();
    if (count > 0)
        std::memcpy(m_buffer->getData() + size, data, static_cast<size_t>(count));
    m_buffer->setSize(size + count);
}

} // namespace lumo
