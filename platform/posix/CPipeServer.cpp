#include "platform/posix/CPipeServer.h"

#include "foundation/CException.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/posix/CPipeClient.h"
#include "platform/posix/pollRetrying.h"

#include <cerrno>

namespace lumo::posix {

CPipeServer::CPipeServer(const String& name) : CPipeServerBase(name), m_address(name) {}

CPipeServer::~CPipeServer() { stopQuietly(); }

void CPipeServer::openLoopPipe()
{
    m_listening.emplace(m_address);
    if (!m_listening->isListening()) {
        m_listening.reset();
        throw CException("Error starting Pipe Server", String());
    }
}

void CPipeServer::closeLoopPipe() { m_listening.reset(); }

void CPipeServer::wakeLoopToStop() { m_stopEvent.set(); }

void CPipeServer::clearStopRequest() { m_stopEvent.consume(); }

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
                    addPeer(std::move(peer));
            }
            checkConnections();
        } catch (const std::exception&) {
            // A failing listener or a system short of descriptors must not
            // end the process; the loop tries again after one interval.
            bBackingOff = true;
        }
    }
    m_listening.reset();
}

CPipeServer::EWakeUp CPipeServer::waitForWakeUp(bool bStopOnly)
{
    pollfd watched[] = {{m_stopEvent.getDescriptor(), POLLIN, 0}, {m_listening->getDescriptor(), POLLIN, 0}};
    if (pollRetrying(watched, bStopOnly ? 1 : 2, getWaitInterval()) <= 0)
        return EWakeUp::timeout;
    return watched[0].revents ? EWakeUp::stop : EWakeUp::client;
}

P<IPipeClient> CPipeServer::acceptClient(IPipeCreatedListener* listener)
{
    getWaitingSignal()->reset();
    CListeningSocket listening(m_address);
    if (!listening.isListening() || (listener && !listener->pipeCreated()))
        return nullptr;
    const auto isExpected = [listener](uint32_t processID) { return !listener || listener->isExpectedPeer(processID); };
    for (;;) {
        pollfd watched{listening.getDescriptor(), POLLIN, 0};
        const int ready = pollRetrying(&watched, 1, getWaitInterval());
        if (ready < 0)
            throwSystemError("Error accepting a pipe client (%ERRORDESC%).", errno);
        if (ready > 0)
            if (CFileDescriptor peer = listening.acceptPeer(isExpected); peer.isValid())
                return addPeer(std::move(peer));
        // Also after dropped strangers, so that a stream of them cannot
        // keep the wait going past the end tick.
        if (isPastEndTick() || (listener && !listener->isStillAwaited()))
            return nullptr;
    }
}

P<IPipeClient> CPipeServer::addPeer(CFileDescriptor socket)
{
    P<IPipeClient> client = make<CPipeClient>(std::move(socket));
    addConnection(client);
    return client;
}

} // namespace lumo::posix
