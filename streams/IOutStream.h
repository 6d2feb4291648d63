#pragma once

#include "streams/IStreamBase.h"

namespace lumo {

class IAbortFlag;
class IInStream;

// A sink of bytes.
class IOutStream : public virtual IStreamBase {
public:
    // Pulls everything from `in` through `buffer` (a temporary one of
    // `bufferSize` bytes when null) until `in` ends or `abort` (may be null)
    // asks to stop; while `in` has nothing yet, waits in steps of 100 ms.
    virtual void copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort) = 0;
    // All `count` bytes, or an error.
    virtual void write(const void* data, int32_t count) = 0;
    // write(), returning `count`.
    virtual int32_t writeCounted(const void* data, int32_t count) = 0;
    // Throws CStreamClosedError when the stream is closed.
    virtual void checkOpen() = 0;
};

} // namespace lumo
