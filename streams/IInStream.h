#pragma once

#include "streams/IStreamBase.h"

namespace lumo {

class IAbortFlag;
class IOutStream;

// A source of bytes. Counts are byte counts.
class IInStream : public virtual IStreamBase {
public:
    // Copies everything that remains into `out` through `buffer` (a
    // temporary one of `bufferSize` bytes when null), until the end or until
    // `abort` (may be null) asks to stop.
    virtual void copyTo(IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort) = 0;
    // Exactly `count` bytes, or CEndOfStreamError.
    virtual void readFully(void* buffer, int32_t count) = 0;
    // Up to `count` bytes; returns how many (0 at the end). Never more than remain.
    virtual int32_t read(void* buffer, int32_t count) = 0;
    virtual void skipFully(int32_t count) = 0;
    virtual int32_t skip(int32_t count) = 0;
    // True when nothing more can be read; a pipe never ends this way.
    virtual bool isEOF() = 0;
};

} // namespace lumo
