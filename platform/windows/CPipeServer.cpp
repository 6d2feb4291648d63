#include "platform/windows/CPipeServer.h"

#include "foundation/CException.h"
#include "foundation/windows/toWide.h"
#include "platform/buildSecurityDescriptorText.h"
#include "platform/windows/COverlappedPipeIO.h"
#include "platform/windows/CPipeClient.h"
#include "platform/windows/toPipePath.h"

#include <sddl.h>

namespace lumo::win32 {

namespace {

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
    : CPipeServerBase(name), m_path(toPipePath(name)), m_stopEvent(CPipeHandle::makeEvent(true)),
      m_loopConnectEvent(CPipeHandle::makeEvent(true))
{
}

CPipeServer::~CPipeServer() { stopQuietly(); }

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

void CPipeServer::openLoopPipe()
{
    m_loopInstance = createInstance(isIdle());
    if (!m_loopInstance.isValid())
        throw CException("Error starting Pipe Server", String());
}

void CPipeServer::closeLoopPipe() { m_loopInstance.reset(); }

void CPipeServer::wakeLoopToStop() { SetEvent(m_stopEvent.get()); }

void CPipeServer::clearStopRequest() { ResetEvent(m_stopEvent.get()); }

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
            (WaitForSingleObject(m_stopEvent.get(), static_cast<DWORD>(getWaitInterval())) == WAIT_OBJECT_0 ||
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
            addInstance(std::exchange(instance, std::move(next)));
            bBackingOff = false;
        } catch (const std::exception&) {
            // A failing listener or a system short of handles must not end
            // the process; the loop tries again after one interval.
        }
    }
}

P<IPipeClient> CPipeServer::acceptClient(IPipeCreatedListener* listener)
{
    getWaitingSignal()->reset();
    CPipeHandle instance = createInstance(isIdle());
    if (!instance.isValid() || (listener && !listener->pipeCreated()))
        return nullptr;
    const CPipeHandle connectedEvent = CPipeHandle::makeEvent(true);
    const GoOn goOn = [this, listener] { return !isPastEndTick() && (!listener || listener->isStillAwaited()); };
    if (awaitClient(instance.get(), connectedEvent.get(), false, goOn, listener) != EAccept::client)
        return nullptr;
    return addInstance(std::move(instance));
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
            switch (WaitForMultipleObjects(bStoppable ? 2 : 1, events, FALSE, static_cast<DWORD>(getWaitInterval()))) {
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

P<IPipeClient> CPipeServer::addInstance(CPipeHandle pipe)
{
    P<IPipeClient> client = make<CPipeClient>(std::move(pipe));
    addConnection(client);
    return client;
}

} // namespace lumo::win32
