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
};

// `size` bytes (at least 1), zeroed, sealed against shrinking, growing and
// further sealing. Throws CInvalidArgError for a size below 1, CError when
// the system refuses.
P<ISharedMemory> createSharedMemory(int64_t size);

} // namespace lumo
