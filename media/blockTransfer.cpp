#include "media/blockTransfer.h"

#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"
#include "streams/IMemoryBlock.h"
#include "streams/growBlock.h"

#include <algorithm>

namespace nebo::common {

namespace {

constexpr int32_t readPiece = 1 << 20;

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
        lumo::growBlock(block, filled + count, length);
        in.readFully(block.getData() + filled, count);
        filled += count;
        block.setSize(filled);
    }
}

} // namespace nebo::common
