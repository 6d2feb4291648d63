#pragma once

#include "foundation/IBase.h"
#include "foundation/P.h"

#include <cstdint>

namespace lumo {

// Memory that two processes map at once, of a size fixed for good: made
// here sealed against any change of size, or received from a peer that
// made it so. Mapped for reading and writing while the object lives. The
// object never changes; the bytes are the users' to order (a peer may
// write them at any time).
class ISharedMemory : public virtual IBase {
public:
    virtual uint8_t* getData() = 0;
    virtual int64_t getSize() = 0;
    // Readies the first `bytes` bytes (at most the size) for writing in one
    // go, where the first write of each page would otherwise stop for the
    // system to map it. Leaves the bytes as they are. False where the system
    // cannot: the writes then map the pages one by one, as always.
    virtual bool prepareForWriting(int64_t bytes) = 0;
};

// `size` bytes (at least 1), zeroed, sealed against shrinking, growing and
// further sealing. Throws CInvalidArgError for a size below 1, CError when
// the system refuses.
P<ISharedMemory> createSharedMemory(int64_t size);

} // namespace lumo
