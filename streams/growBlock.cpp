#include "streams/growBlock.h"

#include "streams/IMemoryBlock.h"

#include <algorithm>

namespace lumo {

void growBlock(IMemoryBlock& block, int32_t needed, int32_t limit)
{
    const int32_t capacity = block.getCapacity();
    if (needed <= capacity)
        return;
    const int64_t doubled = int64_t{capacity} * 2;
    block.reserve(static_cast<int32_t>(std::max<int64_t>(needed, std::min<int64_t>(limit, doubled))));
}

} // namespace lumo
