#pragma once

#include "foundation/P.h"
#include "foundation/String.h"
#include "foundation/sync/ISignal.h"
#include "platform/IPipeClient.h"
#include "platform/IPipeOutStream.h"

#include <cstdint>

namespace lumo {

class IPipeServerListener;

// The listening end of a named pipe. Created stopped; acceptClient works
// without start(); start() runs an accept loop on a thread of its own.
class IPipeServer : public virtual IBase {
public:
    // Told when the pipe exists, before the server waits for its client
    // (the master starts its slave here).
    class IPipeCreatedListener : public virtual IBase {
    public:
        // False: do not wait for a client. What it throws leaves acceptClient.
        virtual bool pipeCreated() = 0;
        // Whether the client running as process `processID` is the one
        // awaited; acceptClient drops any other and goes on waiting.
        virtual bool isExpectedPeer(uint32_t /*processID*/) { return true; }
        // Asked at every wake of acceptClient's wait (see setWaitInterval):
        // false ends the wait, as the awaited client can no longer come (the
        // program that was to connect has ended).
        virtual bool isStillAwaited() { return true; }
    };

    // Starts the accept loop; throws CException "Error starting Pipe Server"
    // when the pipe cannot be made.
    virtual void start() = 0;
    // Makes the pipe, tells `listener` (may be null), blocks until the
    // client that the listener expects connects and returns it; null when
    // the pipe could not be made, the listener said no or the end tick
    // passed first.
    virtual P<IPipeClient> acceptClient(IPipeCreatedListener* listener) = 0;
    // Ends the accept loop and drops every connection.
    virtual void stop() = 0;
    // When above 0 and passed by the millisecond tick count, the accept loop ends as if stopped.
    virtual void setEndTick(int64_t tick) = 0;
    virtual bool isStarted() = 0;
    virtual void lock() = 0;
    virtual void unlock() = 0;
    virtual int32_t getConnectionCount() = 0;
    virtual P<IPipeClient> getConnection(int32_t index) = 0;
    virtual P<ISignal> getConnectedSignal() = 0;
    virtual P<ISignal> getDisconnectedSignal() = 0;
    virtual P<ISignal> getWaitingSignal() = 0;
    // Writes to every connected client; throws CException "Error write to
    // server clients. No clients connected." when there is none.
    virtual void writeToAll(const void* data, int32_t count) = 0;
    // Handles at most one connection: the last dead one is reported and
    // removed, else the last one with data waiting is reported.
    virtual void checkConnections() = 0;
    virtual void setWaitInterval(int32_t ms) = 0;
    // "\\.\pipe\" and the name.
    virtual String getPipePath() = 0;
    // The broadcast stream; null while no client is connected.
    virtual P<IPipeOutStream> getOutStream() = 0;
    // Listeners are not kept alive by the server; remove one before it dies.
    virtual void addListener(IPipeServerListener* listener) = 0;
    virtual void removeListener(IPipeServerListener* listener) = 0;
};

} // namespace lumo
