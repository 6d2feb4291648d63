#include "platform/windows/CPipeServer.h"

#include "foundation/CException.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/ISignalFactory.h"
#include "foundation/sync/getTickCount.h"
#include "foundation/windows/toWide.h"
#include "platform/CThreadCallable.h"
#include "platform/IThreadManager.h"
#include "platform/buildSecurityDescriptorText.h"
#include "platform/windows/COverlappedPipeIO.h"
#include "platform/windows/toPipePath.h"
#include "streams/streamArguments.h"

#include <sddl.h>

namespace lumo::win32 {

namespace {

// Shared by every server of the process.
std::atomic<int32_t> connectionCounter{0};

// What each direction of an instance buffers. Pictures of megabytes cross
// the pipe; a larger buffer only saves turns of the two ends, so the
// system may grant less.
constexpr DWORD instanceBufferSize = 64 * 1024;
// For clients that wait for a free instance with the default time-out.
constexpr DWORD defaultClientWaitMs = 1000;

// The server's security descriptor in the system's form, freed with the
// object.
class CPipeSecurity {
public:
    // Throws CException "Could not create DACL for Pipe Server".
    CPipeSecurity()
    {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(toWide(getPipeServerSecurityDescriptorText()).c_str(),
                                                                  SDDL_REVISION_1, &m_descriptor, nullptr))
            throw CException("Could not create DACL for Pipe Server", String());
    }
    CPipeSecurity(const CPipeSecurity&) = delete;
    CPipeSecurity& operator=(const CPipeSecurity&) = delete;
    ~CPipeSecurity() { LocalFree(m_descriptor); }

    PSECURITY_DESCRIPTOR get() const { return m_descriptor; }

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
};

} // namespace

CPipeServer::CPipeServer(const String& name)
    : m_name(name),
      m_path(toPipePath(name)),
      m_mutex(getMutexFactory()->createMutex()),
      m_listeners(make<TFrailArray<IPipeServerListener>>()),
      m_stopEvent(CPipeHandle::makeEvent(true)),
      m_loopConnectEvent(CPipeHandle::makeEvent(true)),
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

CPipeHandle CPipeServer::createInstance(bool bFirst)
{
    const CPipeSecurity security;
    // Not inherited: a slave started with inheritance must not hold the
    // master's end, or it would never see the master close it.
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security.get(), FALSE};
    const DWORD openMode = PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (bFirst ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    const DWORD pipeMode = PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;
    CPipeHandle instance(CreateNamedPipeW(m_path.c_str(), openMode, pipeMode, PIPE_UNLIMITED_INSTANCES,
                                          instanceBufferSize, instanceBufferSize, defaultClientWaitMs, &attributes));
    // Counted as well, for systems that let a first instance join a pipe
    // that exists.
    DWORD instances = 0;
    if (bFirst && instance.isValid() &&
        (!GetNamedPipeHandleStateW(instance.get(), nullptr, &instances, nullptr, nullptr, nullptr, 0) ||
         instances != 1))
        instance.reset();
    return instance;
}

bool CPipeServer::holdsNoInstance()
{
    CScopedLock lock(m_mutex);
    return m_connections.empty() && !m_thread;
}

void CPipeServer::start()
{
    if (isStarted())
        return;
    m_connected->reset();
    m_waiting->reset();
    m_disconnected->reset();
    m_loopInstance = createInstance(holdsNoInstance());
    if (!m_loopInstance.isValid())
        throw CException("Error starting Pipe Server", String());
    ResetEvent(m_stopEvent.get());
    m_waiting->set();
    try {
        // Weak: the destructor stops the loop, so the loop must not keep
        // the server alive.
        P<IThread> thread = getThreadManager()->createThread(CThreadCallable(this, &CPipeServer::runAcceptLoop, false));
        CScopedLock lock(m_mutex);
        m_thread = thread;
    } catch (...) {
        m_waiting->reset();
        m_loopInstance.reset();
        throw;
    }
}

void CPipeServer::runAcceptLoop()
{
    CPipeHandle instance = std::move(m_loopInstance);
    const GoOn goOn = [this] {
        checkConnections();
        return !isPastEndTick();
    };
    for (bool bBackingOff = false;;) {
        // After a failure the loop waits one interval for the stop event
        // alone, so that a failing system is not asked again at once.
        if (bBackingOff &&
            (WaitForSingleObject(m_stopEvent.get(), static_cast<DWORD>(m_waitInterval.load())) == WAIT_OBJECT_0 ||
             isPastEndTick()))
            break;
        bBackingOff = true;
        try {
            if (!instance.isValid())
                instance = createInstance(getConnectionCount() == 0);
            if (!instance.isValid())
                continue;
            const EAccept result = awaitClient(instance.get(), m_loopConnectEvent.get(), true, goOn, nullptr);
            if (result == EAccept::stopped || result == EAccept::gaveUp)
                break;
            if (result == EAccept::failed) {
                instance.reset();
                continue;
            }
            // The next instance exists before this one is handed over, so
            // that the name is never free for another process to take.
            CPipeHandle next = createInstance(false);
            addConnection(std::exchange(instance, std::move(next)));
            bBackingOff = false;
        } catch (const std::exception&) {
            // A failing listener or a system short of handles must not end
            // the process; the loop tries again after one interval.
        }
    }
    m_waiting->reset();
}

P<IPipeClient> CPipeServer::acceptClient(IPipeCreatedListener* listener)
{
    m_waiting->reset();
    CPipeHandle instance = createInstance(holdsNoInstance());
    if (!instance.isValid() || (listener && !listener->pipeCreated()))
        return nullptr;
    const CPipeHandle connectedEvent = CPipeHandle::makeEvent(true);
    const GoOn goOn = [this, listener] { return !isPastEndTick() && (!listener || listener->isStillAwaited()); };
    if (awaitClient(instance.get(), connectedEvent.get(), false, goOn, listener) != EAccept::client)
        return nullptr;
    return addConnection(std::move(instance));
}

CPipeServer::EAccept CPipeServer::awaitClient(HANDLE instance, HANDLE connectedEvent, bool bStoppable, const GoOn& goOn,
                                              IPipeCreatedListener* listener)
{
    const HANDLE events[] = {connectedEvent, m_stopEvent.get()};
    for (bool bDropped = false;; bDropped = true) {
        COverlappedPipeIO io(instance, connectedEvent);
        DWORD error = io.start(ConnectNamedPipe(instance, io.get()));
        // Asked once the instance listens again after a dropped client, so
        // that a stream of strangers cannot keep the wait going past the
        // end tick, and the awaited client finds the pipe open.
        if (bDropped && !goOn())
            return EAccept::gaveUp;
        for (bool bWaiting = !error; bWaiting;) {
            switch (WaitForMultipleObjects(bStoppable ? 2 : 1, events, FALSE,
                                           static_cast<DWORD>(m_waitInterval.load()))) {
            case WAIT_OBJECT_0:
                bWaiting = false;
                break;
            case WAIT_OBJECT_0 + 1:
                return EAccept::stopped;
            case WAIT_TIMEOUT:
                if (!goOn())
                    return EAccept::gaveUp;
                break;
            default:
                return EAccept::failed;
            }
        }
        DWORD moved = 0;
        if (!error)
            error = io.finish(moved);
        // A client that came between the instance's creation and the
        // connect is as welcome as one that came later.
        const bool bConnected = error == 0 || error == ERROR_PIPE_CONNECTED;
        if (bConnected && isExpectedPeer(instance, listener))
            return EAccept::client;
        // ERROR_NO_DATA: a client that came and went again.
        if (!bConnected && error != ERROR_NO_DATA)
            return EAccept::failed;
        // Cut off, so that the instance can listen again.
        DisconnectNamedPipe(instance);
    }
}

bool CPipeServer::isExpectedPeer(HANDLE instance, IPipeCreatedListener* listener)
{
    ULONG processID = 0;
    if (!GetNamedPipeClientProcessId(instance, &processID))
        return false;
    return !listener || listener->isExpectedPeer(static_cast<uint32_t>(processID));
}

bool CPipeServer::isPastEndTick() const
{
    const int64_t endTick = m_endTick;
    return endTick > 0 && getTickCount() >= endTick;
}

P<CPipeClient> CPipeServer::addConnection(CPipeHandle pipe)
{
    P<CPipeClient> client = make<CPipeClient>(std::move(pipe));
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
        SetEvent(m_stopEvent.get());
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

} // namespace lumo::win32
