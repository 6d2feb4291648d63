#include "platform/posix/CPipeServer.h"

#include "foundation/CException.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/ISignalFactory.h"
#include "foundation/sync/getTickCount.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/CThreadCallable.h"
#include "platform/IThreadManager.h"
#include "platform/posix/pollRetrying.h"
#include "streams/streamArguments.h"

#include <cerrno>

namespace lumo::posix {

namespace {

// Shared by every server of the process.
std::atomic<int32_t> connectionCounter{0};

} // namespace

CPipeServer::CPipeServer(const String& name)
    : m_name(name),
      m_address(name),
      m_mutex(getMutexFactory()->createMutex()),
      m_listeners(make<TFrailArray<IPipeServerListener>>()),
      m_connected(getSignalFactory()->createSignal()),
      m_disconnected(getSignalFactory()->createSignal()),
      m_waiting(getSignalFactory()->createSignal())
{
}

CPipeServer::~CPipeServer()
{
    try {
        stop();
    } catch (const std::exception&) {
        // Only joining the loop from its own thread fails, which the class
        // contract rules out; a destructor must not throw in any case.
    }
}

void CPipeServer::start()
{
    if (isStarted())
        return;
    m_connected->reset();
    m_waiting->reset();
    m_disconnected->reset();
    m_listening.emplace(m_address);
    if (!m_listening->isListening()) {
        m_listening.reset();
        throw CException("Error starting Pipe Server", String());
    }
    m_stopEvent.consume();
    m_waiting->set();
    try {
        // Weak: the destructor stops the loop, so the loop must not keep
        // the server alive.
        P<IThread> thread = getThreadManager()->createThread(CThreadCallable(this, &CPipeServer::runAcceptLoop, false));
        CScopedLock lock(m_mutex);
        m_thread = thread;
    } catch (...) {
        m_waiting->reset();
        m_listening.reset();
        throw;
    }
}

void CPipeServer::runAcceptLoop()
{
    for (bool bBackingOff = false;;) {
        const EWakeUp wakeUp = waitForWakeUp(bBackingOff);
        if (wakeUp == EWakeUp::stop || (wakeUp == EWakeUp::timeout && isPastEndTick()))
            break;
        bBackingOff = false;
        try {
            if (wakeUp == EWakeUp::client) {
                CFileDescriptor peer = m_listening->acceptPeer();
                if (peer.isValid())
                    addConnection(std::move(peer));
            }
            checkConnections();
        } catch (const std::exception&) {
            // A failing listener or a system short of descriptors must not
            // end the process; the loop tries again after one interval.
            bBackingOff = true;
        }
    }
    m_listening.reset();
    m_waiting->reset();
}

CPipeServer::EWakeUp CPipeServer::waitForWakeUp(bool bStopOnly)
{
    pollfd watched[] = {{m_stopEvent.getDescriptor(), POLLIN, 0}, {m_listening->getDescriptor(), POLLIN, 0}};
    if (pollRetrying(watched, bStopOnly ? 1 : 2, m_waitInterval) <= 0)
        return EWakeUp::timeout;
    return watched[0].revents ? EWakeUp::stop : EWakeUp::client;
}

bool CPipeServer::isPastEndTick() const
{
    const int64_t endTick = m_endTick;
    return endTick > 0 && getTickCount() >= endTick;
}

P<IPipeClient> CPipeServer::acceptClient(IPipeCreatedListener* listener)
{
    m_waiting->reset();
    CListeningSocket listening(m_address);
    if (!listening.isListening() || (listener && !listener->pipeCreated()))
        return nullptr;
    const auto isExpected = [listener](uint32_t processID) { return !listener || listener->isExpectedPeer(processID); };
    for (;;) {
        pollfd watched{listening.getDescriptor(), POLLIN, 0};
        const int ready = pollRetrying(&watched, 1, m_waitInterval);
        if (ready < 0)
            throwSystemError("Error accepting a pipe client (%ERRORDESC%).", errno);
        if (ready > 0)
            if (CFileDescriptor peer = listening.acceptPeer(isExpected); peer.isValid())
                return addConnection(std::move(peer));
        // Also after dropped strangers, so that a stream of them cannot
        // keep the wait going past the end tick.
        if (isPastEndTick() || (listener && !listener->isStillAwaited()))
            return nullptr;
    }
}

P<CPipeClient> CPipeServer::addConnection(CFileDescriptor socket)
{
    P<CPipeClient> client = make<CPipeClient>(std::move(socket));
    {
        CScopedLock lock(m_mutex);
        m_connections.emplace_back(connectionCounter++, client);
        notifyListeners(&IPipeServerListener::clientConnected, *client);
    }
    m_connected->set();
    return client;
}

void CPipeServer::stop()
{
    P<IThread> thread;
    {
        CScopedLock lock(m_mutex);
        thread = m_thread;
    }
    if (thread) {
        m_stopEvent.set();
        thread->join();
    }
    CScopedLock lock(m_mutex);
    m_thread = nullptr;
    for (const CConnection& connection : m_connections)
        connection.getClient()->disconnect();
    m_connections.clear();
}

void CPipeServer::setEndTick(int64_t tick)
{
    m_endTick = tick;
}

bool CPipeServer::isStarted()
{
    CScopedLock lock(m_mutex);
    return m_thread != nullptr;
}

void CPipeServer::lock()
{
    m_mutex->lock();
}

void CPipeServer::unlock()
{
    m_mutex->unlock();
}

int32_t CPipeServer::getConnectionCount()
{
    CScopedLock lock(m_mutex);
    return static_cast<int32_t>(m_connections.size());
}

const CPipeServer::CConnection& CPipeServer::getConnectionAt(int32_t index, const char* method)
{
    if (index < 0 || index >= static_cast<int32_t>(m_connections.size()))
        throw CInvalidArgError("the connection index is out of range", String::fromLatin1(method), this);
    return m_connections[static_cast<size_t>(index)];
}

P<IPipeClient> CPipeServer::getConnection(int32_t index)
{
    CScopedLock lock(m_mutex);
    return getConnectionAt(index, "getConnection").getClient();
}

int32_t CPipeServer::getConnectionNumber(int32_t index)
{
    CScopedLock lock(m_mutex);
    return getConnectionAt(index, "getConnectionNumber").getNumber();
}

P<ISignal> CPipeServer::getConnectedSignal()
{
    return m_connected;
}

P<ISignal> CPipeServer::getDisconnectedSignal()
{
    return m_disconnected;
}

P<ISignal> CPipeServer::getWaitingSignal()
{
    return m_waiting;
}

void CPipeServer::writeToAll(const void* data, int32_t count)
{
    checkTransfer(data, count, "writeToAll", this);
    std::vector<P<CPipeClient>> clients;
    {
        CScopedLock lock(m_mutex);
        if (m_connections.empty())
            throw CException("Error write to server clients. No clients connected.", String());
        for (const CConnection& connection : m_connections)
            clients.push_back(connection.getClient());
    }
    for (const P<CPipeClient>& client : clients)
        if (client->isConnected())
            client->writeFully(data, count);
}

void CPipeServer::checkConnections()
{
    CScopedLock lock(m_mutex);
    for (size_t i = m_connections.size(); i-- > 0;) {
        const P<CPipeClient> client = m_connections[i].getClient();
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

void CPipeServer::notifyListeners(void (IPipeServerListener::*notification)(IPipeServer&, IPipeClient&),
                                  IPipeClient& client)
{
    m_listeners->forEachBackwards([&](IPipeServerListener* listener) { (listener->*notification)(*this, client); });
}

void CPipeServer::setWaitInterval(int32_t ms)
{
    if (ms < 1)
        throw CInvalidArgError("the wait interval must be at least 1 ms", "setWaitInterval", this);
    m_waitInterval = ms;
}

String CPipeServer::getPipePath()
{
    return String("\\\\.\\pipe\\") + m_name;
}

P<IPipeOutStream> CPipeServer::getOutStream()
{
    CScopedLock lock(m_mutex);
    if (m_connections.empty())
        return nullptr;
    return make<COutStream>(P<CPipeServer>(this));
}

void CPipeServer::addListener(IPipeServerListener* listener)
{
    CScopedLock lock(m_mutex);
    m_listeners->add(listener);
}

void CPipeServer::removeListener(IPipeServerListener* listener)
{
    CScopedLock lock(m_mutex);
    m_listeners->remove(listener);
}

CPipeServer::COutStream::COutStream(P<CPipeServer> server) : m_server(std::move(server))
{
}

void CPipeServer::COutStream::write(const void* data, int32_t count)
{
    m_server->writeToAll(data, count);
}

bool CPipeServer::COutStream::isClosed()
{
    return m_server->getConnectionCount() == 0;
}

} // namespace lumo::posix
