#pragma once

#include "foundation/CObject.h"
#include "platform/ILauncherChannel.h"
#include "platform/posix/forkServerWire.h"

#include <sys/socket.h>
#include <sys/types.h>

namespace lumo::posix {

// See ILauncherChannel. The senders' identities come with every message
// (SO_PASSCRED): a "started" report must come from a process other than
// the launcher, every other report from the launcher itself, each from a
// process of the master's user. Descriptors a sender slips in are closed
// unread.
class CLauncherChannel : public CObject, public virtual ILauncherChannel {
public:
    // How long a request may wait for room in the connection.
    static constexpr int sendWaitMs = 1000;
    // Bounds of an ended child's cost beyond which the report is a lie.
    static constexpr int64_t maxPeakResidentBytes = int64_t{1} << 48;
    static constexpr int64_t maxCpuTimeMs = int64_t{1} << 40;

    // Throws CError when the connection is not this platform's or cannot
    // carry identities.
    CLauncherChannel(P<IPipeClient> connection, uint32_t launcherID);

    P<IPipeClient> sendRequest(const IForkServer::SRequest& request) override;
    std::optional<SReport> receiveReport(int64_t deadlineTick) override;

private:
    [[noreturn]] void fail(const char* what);
    SReport check(const SWireReport& wire, const ucred& sender);

    P<IPipeClient> m_connection;
    int m_socket;
    pid_t m_launcher;
    bool m_bBroken = false;
};

} // namespace lumo::posix
