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
    virtual P<IPipeInStream> getInStream() = 0;
    virtual P<IPipeOutStream> getOutStream() = 0;
};

} // namespace lumo
