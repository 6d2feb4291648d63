#pragma once

#include "platform/CPipeServerBase.h"
#include "platform/posix/CListeningSocket.h"
#include "platform/posix/CPipeAddress.h"
#include "platform/posix/CWakeUpEvent.h"

#include <optional>

namespace lumo::posix {

// The listening end of a pipe: a local socket at the pipe's address that
// only peers of the calling user (or root) get through.
class CPipeServer : public CPipeServerBase {
public:
    // A stopped server of the pipe `name`. Throws as CPipeAddress does for
    // the name, and CError when the system refuses an event.
    explicit CPipeServer(const String& name);
    // Stops the accept loop and drops every connection.
    ~CPipeServer() override;

    // Throws the pipe folder's and the pipe path's CException as start()
    // does, and whatever the listener throws, at once. Clients of the
    // calling user (or root) whose process the listener does not expect are
    // dropped. Null when a live server has the name, when the listener says
    // no, or when the end tick passes before the expected client comes.
    P<IPipeClient> acceptClient(IPipeCreatedListener* listener) override;

private:
    enum class EWakeUp { timeout, stop, client };

    // What start() throws: the pipe folder's CException when the folder is
    // refused (see CPipeAddress), CException "The pipe path '<path>' is
    // taken by something that is not a socket" when something else than a
    // socket has the name (it is left alone), and CException "Error
    // starting Pipe Server" when a live server has the name or the system
    // refuses to listen.
    void openLoopPipe() override;
    void closeLoopPipe() override;
    void runAcceptLoop() override;
    void wakeLoopToStop() override;
    void clearStopRequest() override;
    // With bStopOnly the loop backs off after a failure: it waits for the
    // stop event alone.
    EWakeUp waitForWakeUp(bool bStopOnly);
    P<IPipeClient> addPeer(CFileDescriptor socket);

    CPipeAddress m_address;
    // The accept loop's own from start() until the loop ends.
    std::optional<CListeningSocket> m_listening;
    CWakeUpEvent m_stopEvent;
};

} // namespace lumo::posix
