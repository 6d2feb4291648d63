#include "platform/CPipeServerBase.h"

#include "foundation/CException.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/ISignalFactory.h"
#include "foundation/sync/getTickCount.h"
#include "platform/CThreadCallable.h"
#include "platform/IThreadManager.h"
#include "streams/streamArguments.h"

namespace lumo {

namespace {

// Shared by every server of the process.
std::atomic<int32_t> connectionCounter{0};

} // namespace

CPipeServerBase::CPipeServerBase(const String& name)
    : m_name(name), m_mutex(getMutexFactory()->createMutex()), m_listeners(make<TFrailArray<IPipeServerListener>>()),
      m_connected(getSignalFactory()->createSignal()), m_disconnected(getSignalFactory()->createSignal()),
      m_waiting(getSignalFactory()->createSignal())
{
}

void CPipeServerBase::start()
{
    if (isStarted())
        return;
    m_connected->reset();
    m_waiting->reset();
    m_disconnected->reset();
    openLoopPipe();
    clearStopRequest();
    m_waiting->set();
    try {
        // Weak: the destructor stops the loop, so the loop must not keep
        // the server alive.
        P<IThread> thread =
            getThreadManager()->createThread(CThreadCallable(this, &CPipeServerBase::serveAcceptLoop, false));
        CScopedLock lock(m_mutex);
        m_thread = thread;
    } catch (...) {
        m_waiting->reset();
        closeLoopPipe();
        throw;
    }
}

void CPipeServerBase::serveAcceptLoop()
{
    runAcceptLoop();
    m_waiting->reset();
}

void CPipeServerBase::stop()
{
    P<IThread> thread;
    {
        CScopedLock lock(m_mutex);
        thread = m_thread;
    }
    if (thread) {
        wakeLoopToStop();
        thread->join();
    }
    CScopedLock lock(m_mutex);
    m_thread = nullptr;
    for (const CConnection& connection : m_connections)
        connection.getClient()->disconnect();
    m_connections.clear();
}

void CPipeServerBase::stopQuietly() noexcept
{
    try {
        stop();
    } catch (const std::exception&) {
        // Only joining the loop from its own thread fails, which the class
        // contract rules out; a destructor must not throw in any case.
    }
}

void CPipeServerBase::addConnection(const P<IPipeClient>& client)
{
    {
        CScopedLock lock(m_mutex);
        m_connections.emplace_back(connectionCounter++, client);
        notifyListeners(&IPipeServerListener::clientConnected, *client);
    }
    m_connected->set();
}

bool CPipeServerBase::isPastEndTick() const
{
    const int64_t endTick = m_endTick;
    return endTick > 0 && getTickCount() >= endTick;
}

bool CPipeServerBase::isIdle()
{
    CScopedLock lock(m_mutex);
    return m_connections.empty() && !m_thread;
}

void CPipeServerBase::setEndTick(int64_t tick) { m_endTick = tick; }

bool CPipeServerBase::isStarted()
{
    CScopedLock lock(m_mutex);
    return m_thread != nullptr;
}

void CPipeServerBase::lock() { m_mutex->lock(); }

void CPipeServerBase::unlock() { m_mutex->unlock(); }

int32_t CPipeServerBase::getConnectionCount()
{
    CScopedLock lock(m_mutex);
    return static_cast<int32_t>(m_connections.size());
}

const CPipeServerBase::CConnection& CPipeServerBase::getConnectionAt(int32_t index, const char* method)
{
    if (index < 0 || index >= static_cast<int32_t>(m_connections.size()))
        throw CInvalidArgError("the connection index is out of range", String::fromLatin1(method), this);
    return m_connections[static_cast<size_t>(index)];
}

P<IPipeClient> CPipeServerBase::getConnection(int32_t index)
{
    CScopedLock lock(m_mutex);
    return getConnectionAt(index, "getConnection").getClient();
}

int32_t CPipeServerBase::getConnectionNumber(int32_t index)
{
    CScopedLock lock(m_mutex);
    return getConnectionAt(index, "getConnectionNumber").getNumber();
}

P<ISignal> CPipeServerBase::getConnectedSignal() { return m_connected; }

P<ISignal> CPipeServerBase::getDisconnectedSignal() { return m_disconnected; }

P<ISignal> CPipeServerBase::getWaitingSignal() { return m_waiting; }

void CPipeServerBase::writeToAll(const void* data, int32_t count)
{
    checkTransfer(data, count, "writeToAll", this);
    std::vector<P<IPipeClient>> clients;
    {
        CScopedLock lock(m_mutex);
        if (m_connections.empty())
            throw CException("Error write to server clients. No clients connected.", String());
        for (const CConnection& connection : m_connections)
            clients.push_back(connection.getClient());
    }
    for (const P<IPipeClient>& client : clients)
        if (client->isConnected())
            client->writeFully(data, count);
}

void CPipeServerBase::checkConnections()
{
    CScopedLock lock(m_mutex);
    for (size_t i = m_connections.size(); i-- > 0;) {
        const P<IPipeClient> client = m_connections[i].getClient();
        if (!client->isConnected()) {
            // Removed before the listeners hear of it, so that they see the
            // list as it will be.
            m_connections.erase(m_connections.begin() + static_cast<std::ptrdiff_t>(i));
            notifyListeners(&IPipeServerListener::clientDisconnected, *client);
            m_disconnected->set();
            return;
        }
        if (client->getAvailable() > 0) {
            notifyListeners(&IPipeServerListener::dataAvailable, *client);
            return;
        }
    }
}

void CPipeServerBase::notifyListeners(void (IPipeServerListener::*notification)(IPipeServer&, IPipeClient&),
                                      IPipeClient& client)
{
    m_listeners->forEachBackwards([&](IPipeServerListener* listener) { (listener->*notification)(*this, client); });
}

void CPipeServerBase::setWaitInterval(int32_t ms)
{
    if (ms < 1)
        throw CInvalidArgError("the wait interval must be at least 1 ms", "setWaitInterval", this);
    m_waitInterval = ms;
}

String CPipeServerBase::getPipePath() { return String("\\\\.\\pipe\\") + m_name; }

P<IPipeOutStream> CPipeServerBase::getOutStream()
{
    CScopedLock lock(m_mutex);
    if (m_connections.empty())
        return nullptr;
    return make<COutStream>(P<CPipeServerBase>(this));
}

void CPipeServerBase::addListener(IPipeServerListener* listener)
{
    CScopedLock lock(m_mutex);
    m_listeners->add(listener);
}

void CPipeServerBase::removeListener(IPipeServerListener* listener)
{
    CScopedLock lock(m_mutex);
    m_listeners->remove(listener);
}

CPipeServerBase::COutStream::COutStream(P<CPipeServerBase> server) : m_server(std::move(server)) {}

void CPipeServerBase::COutStream::write(const void* data, int32_t count) { m_server->writeToAll(data, count); }

bool CPipeServerBase::COutStream::isClosed() { return m_server->getConnectionCount() == 0; }

} // namespace lumo
