#pragma once

#include "foundation/IBase.h"
#include "foundation/P.h"
#include "platform/IPipeClient.h"

#include <cstdint>
#include <optional>

namespace lumo {

// The launcher's half of a launcher: a process that has loaded what its
// children need once and forks one child per request of the master on its
// control connection. The children share the launcher's memory as it was at
// the fork, its address layout and its stack-protector secret among it,
// which is why a master replaces its launchers now and then.
//
// Not thread-safe: the launcher must have no other thread when it forks.
class IForkServer : public virtual IBase {
public:
    // Room of the child's arguments text, terminator included.
    static constexpr uint32_t argumentsRoom = 2048;

    // One request as it travels from the master to the launcher.
    struct SRequest {
        // The master's number of the request, echoed in every report on it.
        uint32_t number = 0;
        // On the IProcess scale; the child lowers itself to it, never rises.
        int32_t priority = 0;
        // Bytes of heap the child readies before it connects; 0 for none.
        int64_t heapAheadBytes = 0;
        // The child's arguments, as a program started for the job would be
        // given them; zero-terminated within the room.
        char arguments[argumentsRoom] = {};
    };

    // What the child gets: its request, and its end of the connection the
    // master sent along, on which it serves the master; no other connection
    // need be made.
    struct SChildStart {
        SRequest request;
        P<IPipeClient> pipe;
    };

    // Waits for requests and hands each to a child forked ahead of it, until
    // the master closes the control connection; then waits for the children
    // still running and returns nothing. Returns the child's start in the child, which stays in
    // the launcher's process group, has told the master its identity (the
    // system vouches for it on the control connection before the child does
    // anything else), ends when the launcher ends, and no longer holds the
    // control connection. A request the launcher cannot fork for, or that
    // came without its connection, is reported as failed. Throws CError when
    // the control connection fails.
    virtual std::optional<SChildStart> serve() = 0;
};

// False where the platform cannot fork (Windows): no launchers there.
bool isForkServerAvailable();

// The platform's fork server on the launcher's connected control pipe; null
// where the platform cannot fork (Windows).
P<IForkServer> createForkServer(const P<IPipeClient>& control);

} // namespace lumo
