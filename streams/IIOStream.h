#pragma once

#include "streams/IInStream.h"

namespace lumo {

// A stream read and written through one position. It is not an IOutStream
// by derivation; a class that offers both implements IOutStream as well, and
// one override serves both.
class IIOStream : public virtual IInStream {
public:
    virtual void write(const void* data, int32_t count) = 0;
    virtual int32_t writeCounted(const void* data, int32_t count) = 0;
    virtual void checkOpen() = 0;
};

} // namespace lumo
