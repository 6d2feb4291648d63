#pragma once

#include "foundation/P.h"
#include "platform/IPipeInStream.h"
#include "platform/IPipeOutStream.h"

#include <cstdint>

namespace lumo {

// One end of one pipe connection, made by the pipe manager (unconnected,
// named) or by a server that accepted a client. One reader and one writer may
// use it at a time.
class IPipeClient : public virtual IBase {
public:
    // Connects to the named pipe; true when connected (at once when it
    // already is). False at once when no server listens on the name.
    virtual bool connect() = 0;
    // Closes the connection for good.
    virtual void disconnect() = 0;
    // False once disconnected or once the peer is gone.
    virtual bool isConnected() = 0;
    // Writes all bytes or throws CException "Error write data to pipe"
    // ("Invalid pipe handle" when not connected).
    virtual void writeFully(const void* data, int32_t count) = 0;
    virtual bool writeByte(uint8_t value) = 0;
    // Blocks until `count` bytes arrived. A closed peer throws CFinishedError
    // "Pipe was closed"; an aborted read CAbortedError "Read was aborted".
    virtual void readFully(void* buffer, int32_t count) = 0;
    // Bytes that can be read without blocking; 0 when the pipe is broken.
    virtual int32_t getAvailable() = 0;
    // Bounds the waits of this connection by `tick`, a getTickCount() value;
    // 0 removes the bound. A wait of readFully, skipFully, writeFully,
    // writeByte or of the streams' readFully, skipFully and write that is
    // still waiting when the tick passes throws CTimeoutError "Pipe wait
    // timed out"; the deadline counts for the whole call, however slowly the
    // peer drips its bytes. A call cut off may have moved part of its bytes:
    // the connection is then out of step and is to be dropped. Reader and
    // writer share the one deadline; a wait already under way sees a change
    // only once it wakes.
    virtual void setDeadline(int64_t tick) = 0;
    virtual P<IPipeInStream> getInStream() = 0;
    virtual P<IPipeOutStream> getOutStream() = 0;
};

} // namespace lumo
