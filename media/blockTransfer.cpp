#include "media/blockTransfer.h"

#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"
#include "streams/IMemoryBlock.h"

#include <algorithm>

namespace nebo::common {

namespace {

constexpr int32_t readPiece = 1 << 20;

// Makes room for `needed` bytes: twice the old capacity, for a constant
// cost per byte, but never more than `length`, so that a block read again
// and again keeps the capacity, and with it the size class, it needs.
void growFor(lumo::IMemoryBlock& block, int32_t needed, int32_t length)
{
    const int64_t doubled = int64_t{block.getCapacity()} * 2;
    if (needed > block.getCapacity())
        block.reserve(static_cast<int32_t>(std::min<int64_t>(length, std::max<int64_t>(needed, doubled))));
}

} // namespace

void writeBlockBytes(lumo::IDataOutStream& out, const uint8_t* data, int32_t length)
{
    out.writeInt32(length);
    out.write(data, length);
}

void readBlockBytes(lumo::IDataInStream& in, lumo::IMemoryBlock& block, int32_t length)
{
    // Emptied first, so that growing copies nothing of the old contents.
    block.setSize(0);
    for (int32_t filled = 0; filled < length;) {
        const int32_t count = std::min(readPiece, length - filled);
        growFor(block, filled + count, length);
        in.readFully(block.getData() + filled, count);
        filled += count;
        block.setSize(filled);
    }
}

} // namespace nebo::common
