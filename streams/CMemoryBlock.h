#pragma once

#include "streams/CMemoryBlockBase.h"

namespace lumo {

// A block that is freed with its last reference.
class CMemoryBlock final : public CMemoryBlockBase {
public:
    // Room for `capacity` bytes (none for a capacity below 1), size 0.
    explicit CMemoryBlock(int32_t capacity) : CMemoryBlockBase(capacity) {}
};

} // namespace lumo
