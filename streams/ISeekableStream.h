#pragma once

#include "streams/IResetableStream.h"

namespace lumo {

// A stream with a free position. A target outside 0..size throws CInvalidArgError.
class ISeekableStream : public virtual IResetableStream {
public:
    virtual void seek(int64_t position) = 0;
    virtual void seekFromEnd(int64_t delta) = 0;
    virtual void seekRelative(int64_t delta) = 0;
};

class ISeekableInStream : public virtual IResetableInStream, public virtual ISeekableStream {};
class ISeekableOutStream : public virtual IResetableOutStream, public virtual ISeekableStream {};
class ISeekableIOStream : public virtual IResetableIOStream, public virtual ISeekableStream {};

} // namespace lumo
