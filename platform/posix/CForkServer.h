#pragma once

#include "foundation/CObject.h"
#include "platform/IForkServer.h"
#include "platform/posix/CFileDescriptor.h"
#include "platform/posix/forkServerWire.h"

#include <optional>
#include <sys/types.h>
#include <vector>

namespace lumo::posix {

// See IForkServer. One child is always forked ahead, the spare: it waits
// for a request on a socket pair of its own, so that a request waits for no
// fork (with a large plugin loaded, copying the address space is most of a
// child's start). The spare is named spareName until it is handed a request
// and ends, unreported, when the launcher closes its socket. Watches each
// child through a process descriptor and reaps it with wait4, reporting its
// status and cost; a child the system gives no descriptor is looked at every
// pollWithoutDescriptorMs. The children start no process of their own (their
// filter refuses it) and stay in the launcher's group; the launcher's end
// takes them along (they are in its process-number namespace where the
// system permits, and ask for a kill on their parent's death otherwise).
class CForkServer : public CObject, public virtual IForkServer {
public:
    static constexpr int pollWithoutDescriptorMs = 50;
    // The process name of a spare, which serves no master yet.
    static constexpr const char* spareName = "nebo_spare";

    // `control` is the connected pipe client; it stays its owner's, whose
    // streams must not be used beside the server.
    explicit CForkServer(P<IPipeClient> control);

    std::optional<SChildStart> serve() override;

private:
    struct SChild {
        pid_t pid;
        // The master's number of the request it serves; none for the spare.
        std::optional<uint32_t> number;
        CFileDescriptor ending;
    };

    // Reads one request from `socket`; false when it closed or sent a short
    // request. `pipe` gets the first descriptor that came along; any other
    // is closed.
    static bool readRequest(int socket, SRequest& request, CFileDescriptor& pipe);
    // In the launcher: forks the spare when there is none and returns
    // nothing. In the spare: waits for its request and returns its start,
    // or ends the process when the launcher closes its socket first.
    std::optional<SChildStart> readySpare();
    // Sends `request` and its `pipe` to the spare, which then is a child
    // serving that request; false with errno set when there was no spare
    // or it could not be reached.
    bool handToSpare(const SRequest& request, CFileDescriptor pipe);
    void reportFailure(uint32_t number, int errorCode);
    // In the spare, right after the fork; false when it is to end at once.
    bool leaveLauncher();
    // In the spare, once handed its request; false when it is to end at once.
    bool becomeChild(const SRequest& request);
    // Reaps the children that ended and reports those that served a request.
    void collectEnded();
    void sendReport(const SWireReport& report);

    P<IPipeClient> m_control;
    int m_controlSocket;
    pid_t m_launcher;
    bool m_bClosed = false;
    std::vector<SChild> m_children;
    // The launcher's end of the spare's socket; invalid while there is no spare.
    CFileDescriptor m_spareSocket;
    // Why the last spare could not be forked.
    int m_spareError = 0;
};

} // namespace lumo::posix
