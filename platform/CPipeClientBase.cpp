#include "platform/CPipeClientBase.h"

#include "foundation/IURI.h"
#include "streams/streamCopy.h"

namespace lumo {

P<IPipeInStream> CPipeClientBase::getInStream()
{
    return make<CInStream>(P<CPipeClientBase>(this));
}

P<IPipeOutStream> CPipeClientBase::getOutStream()
{
    return make<COutStream>(P<CPipeClientBase>(this));
}

CPipeClientBase::CInStream::CInStream(P<CPipeClientBase> client) : m_client(std::move(client))
{
}

bool CPipeClientBase::CInStream::getInterface(const std::type_info&, P<IBase>&, Candidates& candidates)
{
    candidates.push_back(m_client);
    return true;
}

void CPipeClientBase::CInStream::copyTo(IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    copyStream(*this, out, buffer, bufferSize, abort, true);
}

void CPipeClientBase::CInStream::readFully(void* buffer, int32_t count)
{
    m_client->readFully(buffer, count);
}

int32_t CPipeClientBase::CInStream::read(void* buffer, int32_t count)
{
    return m_client->read(buffer, count);
}

void CPipeClientBase::CInStream::skipFully(int32_t count)
{
    m_client->skipFully(count);
}

int32_t CPipeClientBase::CInStream::skip(int32_t count)
{
    return m_client->skip(count);
}

bool CPipeClientBase::CInStream::isEOF()
{
    return false;
}

int64_t CPipeClientBase::CInStream::getPosition()
{
    return -1;
}

int64_t CPipeClientBase::CInStream::getSize()
{
    return -1;
}

bool CPipeClientBase::CInStream::isClosed()
{
    return !m_client->isConnected();
}

void CPipeClientBase::CInStream::close()
{
    m_client->disconnect();
}

P<IURI> CPipeClientBase::CInStream::getURI()
{
    return nullptr;
}

void CPipeClientBase::CInStream::abortRead(uint64_t threadID)
{
    m_client->abortRead(threadID);
}

int32_t CPipeClientBase::CInStream::getAvailable()
{
    return m_client->getAvailable();
}

CPipeClientBase::COutStream::COutStream(P<CPipeClientBase> client) : m_client(std::move(client))
{
}

bool CPipeClientBase::COutStream::getInterface(const std::type_info&, P<IBase>&, Candidates& candidates)
{
    candidates.push_back(m_client);
    return true;
}

void CPipeClientBase::COutStream::write(const void* data, int32_t count)
{
    m_client->writeFully(data, count);
}

bool CPipeClientBase::COutStream::isClosed()
{
    return !m_client->isConnected();
}

} // namespace lumo
