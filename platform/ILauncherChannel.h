#pragma once

#include "foundation/IBase.h"
#include "foundation/P.h"
#include "platform/IForkServer.h"
#include "platform/IPipeClient.h"
#include "platform/IProcess.h"

#include <cstdint>
#include <optional>

namespace lumo {

// The master's half of a launcher's control connection (see IForkServer):
// requests go out, reports come in. Every report is read as hostile: fixed
// size, each field bounded, and who sent it is checked against what the
// system says of the sender; a report that fails a check, or a connection
// that breaks, throws CError, after which the channel is unusable and the
// launcher is to be ended. One thread at a time.
class ILauncherChannel : public virtual IBase {
public:
    struct SReport {
        enum class EKind { started, ended, failed };
        EKind kind = EKind::failed;
        uint32_t number = 0;
        // started: the child's identity as the master's system sees it,
        // vouched for by the system (the child itself sent the report).
        uint32_t processID = 0;
        // ended: the child's end as the launcher, its parent, collected it.
        SProcessEnd end;
    };

    // Sends `request` with one end of a new connection, which the child
    // serves its master on; returns the other end, the master's. Throws
    // CError as the class says.
    virtual P<IPipeClient> sendRequest(const IForkServer::SRequest& request) = 0;
    // The next report, waiting until `deadlineTick` (getTickCount's clock);
    // nothing once it has passed. Throws CError as the class says.
    virtual std::optional<SReport> receiveReport(int64_t deadlineTick) = 0;
};

// The channel on the accepted control connection of the launcher whose
// identity is `launcherID`; null where the platform has no launchers.
// Throws CError when the connection cannot carry the senders' identities.
P<ILauncherChannel> createLauncherChannel(const P<IPipeClient>& connection, uint32_t launcherID);

} // namespace lumo
