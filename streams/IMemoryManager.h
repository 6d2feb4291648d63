#pragma once

#include "foundation/P.h"
#include "streams/IMemoryBlock.h"

namespace lumo {

// Hands out memory blocks and keeps released ones for reuse. Thread-safe.
class IMemoryManager : public virtual IBase {
public:
    // A block with room for at least `capacity` bytes and size 0.
    virtual P<IMemoryBlock> allocate(int32_t capacity) = 0;
    // As allocate, for a block whose bytes go whole to another process (a
    // picture's planes): a manager that has memory shared with it makes
    // the block there, so that the bytes need no copy.
    virtual P<IMemoryBlock> allocateShareable(int32_t capacity) { return allocate(capacity); }
    // Frees every cached block.
    virtual void purge() = 0;
};

} // namespace lumo
