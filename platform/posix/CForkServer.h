#pragma once

#include "foundation/CObject.h"
#include "platform/IForkServer.h"
#include "platform/posix/CFileDescriptor.h"
#include "platform/posix/forkServerWire.h"

#include <sys/types.h>
#include <vector>

namespace lumo::posix {

// See IForkServer. Watches each child through a process descriptor and
// reaps it with wait4, reporting its status and cost; a child the system
// gives no descriptor is looked at every pollWithoutDescriptorMs. The
// children start no process of their own (their filter refuses it) and
// stay in the launcher's group; the launcher's end takes them along (they
// are in its process-number namespace where the system permits, and ask
// for a kill on their parent's death otherwise).
class CForkServer : public CObject, public virtual IForkServer {
public:
    static constexpr int pollWithoutDescriptorMs = 50;

    // `control` is the connected pipe client; it stays its owner's, whose
    // streams must not be used beside the server.
    explicit CForkServer(P<IPipeClient> control);

    std::optional<SChildStart> serve() override;

private:
    struct SChild {
        pid_t pid;
        uint32_t number;
        CFileDescriptor ending;
    };

    // False when the master closed the connection or sent a short request.
    // `pipe` gets the first descriptor that came along; any other is closed.
    bool readRequest(SRequest& request, CFileDescriptor& pipe);
    // In the parent: starts a child for `request`, which keeps `pipe`; true
    // in the child.
    bool forkFor(const SRequest& request);
    void reportFailure(uint32_t number, int errorCode);
    // In the child, right after the fork; false when it is to end at once.
    bool becomeChild(const SRequest& request);
    // Reaps the children that ended and reports them.
    void collectEnded();
    void sendReport(const SWireReport& report);

    P<IPipeClient> m_control;
    int m_controlSocket;
    pid_t m_launcher;
    bool m_bClosed = false;
    std::vector<SChild> m_children;
};

} // namespace lumo::posix
