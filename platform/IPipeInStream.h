#pragma once

#include "streams/IInStream.h"

#include <cstdint>

namespace lumo {

// The reading end of a pipe connection. It has no position or size and
// never reports end of stream: a peer that closed shows as CFinishedError
// "Pipe was closed" from a read. `read` never blocks; `readFully` does.
class IPipeInStream : public virtual IInStream {
public:
    // Ends a readFully that `thread` (a thread id of the thread manager) is
    // blocked in with CAbortedError "Read was aborted"; when that thread is
    // not blocked yet, its next read that would block ends so instead.
    // Later reads work again. Safe from any thread.
    virtual void abortRead(uint64_t threadID) = 0;
    // Bytes that can be read without blocking; 0 when the pipe is broken.
    virtual int32_t getAvailable() = 0;
};

} // namespace lumo
