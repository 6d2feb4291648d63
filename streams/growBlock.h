#pragma once

#include <cstdint>

namespace lumo {

class IMemoryBlock;

// Makes room in `block` for `needed` bytes, for writers that fill a block
// in steps. A block that must grow gets at least twice its capacity, so that
// filling it costs a constant per byte, but never more than `limit`, so that
// a block filled to a length known beforehand ends with just that capacity
// (and the size class of the memory manager that fits it). `needed` always
// wins over `limit`. Leaves a block with room enough as it is. Throws what
// the block's reserve throws.
void growBlock(IMemoryBlock& block, int32_t needed, int32_t limit);

} // namespace lumo
