#include "platform/CPipeClientBase.h"

#include "foundation/CTimeoutError.h"
#include "foundation/IURI.h"
#include "foundation/sync/getTickCount.h"
#include "streams/streamArguments.h"
#include "streams/streamCopy.h"

#include <algorithm>
#include <cstring>

namespace lumo {

CPipeClientBase::CPipeClientBase() : m_readAhead(new uint8_t[readAheadSize]) {}

void CPipeClientBase::readFully(void* buffer, int32_t count)
{
    checkTransfer(buffer, count, "readFully", this);
    receive(static_cast<uint8_t*>(buffer), count, true);
}

int32_t CPipeClientBase::read(void* buffer, int32_t count)
{
    checkTransfer(buffer, count, "read", this);
    return receive(static_cast<uint8_t*>(buffer), count, false);
}

void CPipeClientBase::skipFully(int32_t count)
{
    checkCount(count, "skipFully", this);
    receive(nullptr, count, true);
}

int32_t CPipeClientBase::skip(int32_t count)
{
    checkCount(count, "skip", this);
    return receive(nullptr, count, false);
}

int32_t CPipeClientBase::takeBuffered(uint8_t* buffer, int32_t count)
{
    const int32_t taken = std::min<int32_t>(count, m_buffered);
    if (buffer)
        std::memcpy(buffer, m_readAhead.get() + m_readOffset, static_cast<size_t>(taken));
    m_readOffset += taken;
    m_buffered -= taken;
    return taken;
}

void CPipeClientBase::setDeadline(int64_t tick) { m_deadline = tick; }

int64_t CPipeClientBase::getTimeLeftMs() const
{
    const int64_t deadline = m_deadline;
    if (deadline <= 0)
        return -1;
    const int64_t left = deadline - getTickCount();
    if (left <= 0)
        throw CTimeoutError("Pipe wait timed out");
    return left;
}

bool CPipeClientBase::hasTimeLeft() const
{
    const int64_t deadline = m_deadline;
    return deadline <= 0 || deadline > getTickCount();
}

P<IPipeInStream> CPipeClientBase::getInStream() { return make<CInStream>(P<CPipeClientBase>(this)); }

P<IPipeOutStream> CPipeClientBase::getOutStream() { return make<COutStream>(P<CPipeClientBase>(this)); }

CPipeClientBase::CInStream::CInStream(P<CPipeClientBase> client) : m_client(std::move(client)) {}

bool CPipeClientBase::CInStream::getInterface(const std::type_info&, P<IBase>&, Candidates& candidates)
{
    candidates.push_back(m_client);
    return true;
}

void CPipeClientBase::CInStream::copyTo(IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    copyStream(*this, out, buffer, bufferSize, abort, true);
}

void CPipeClientBase::CInStream::readFully(void* buffer, int32_t count) { m_client->readFully(buffer, count); }

int32_t CPipeClientBase::CInStream::read(void* buffer, int32_t count) { return m_client->read(buffer, count); }

void CPipeClientBase::CInStream::skipFully(int32_t count) { m_client->skipFully(count); }

int32_t CPipeClientBase::CInStream::skip(int32_t count) { return m_client->skip(count); }

bool CPipeClientBase::CInStream::isEOF() { return false; }

int64_t CPipeClientBase::CInStream::getPosition() { return -1; }

int64_t CPipeClientBase::CInStream::getSize() { return -1; }

bool CPipeClientBase::CInStream::isClosed() { return !m_client->isConnected(); }

void CPipeClientBase::CInStream::close() { m_client->disconnect(); }

P<IURI> CPipeClientBase::CInStream::getURI() { return nullptr; }

void CPipeClientBase::CInStream::abortRead(uint64_t threadID) { m_client->abortRead(threadID); }

int32_t CPipeClientBase::CInStream::getAvailable() { return m_client->getAvailable(); }

CPipeClientBase::COutStream::COutStream(P<CPipeClientBase> client) : m_client(std::move(client)) {}

bool CPipeClientBase::COutStream::getInterface(const std::type_info&, P<IBase>&, Candidates& candidates)
{
    candidates.push_back(m_client);
    return true;
}

void CPipeClientBase::COutStream::write(const void* data, int32_t count) { m_client->writeFully(data, count); }

bool CPipeClientBase::COutStream::isClosed() { return !m_client->isConnected(); }

} // namespace lumo
