#pragma once

#include "foundation/P.h"

#include <cstdint>

namespace lumo {

class IURI;

// What every stream answers, open or closed.
class IStreamBase : public virtual IBase {
public:
    // The read position in bytes; -1 where a stream has none (pipes).
    virtual int64_t getPosition() = 0;
    // The bytes held; -1 where that cannot be told (pipes).
    virtual int64_t getSize() = 0;
    // True once closed or, for a pipe, no longer connected.
    virtual bool isClosed() = 0;
    // Every later read, write, skip, seek or marker operation throws
    // CStreamClosedError; the queries still answer.
    virtual void close() = 0;
    // Where the stream comes from; null when it has no URI.
    virtual P<IURI> getURI() = 0;
};

} // namespace lumo
