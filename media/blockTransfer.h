#pragma once

#include <cstdint>

namespace lumo {
class IDataInStream;
class IDataOutStream;
class IMemoryBlock;
} // namespace lumo

namespace nebo::common {

// The most a reader takes from a memory manager on the strength of a length
// read from the stream alone; a longer block grows while its bytes come.
constexpr int32_t maxUpFrontBlockBytes = 16 << 20;

// A block on the wire: its length as signed 32-bit, then the bytes.
void writeBlockBytes(lumo::IDataOutStream& out, const uint8_t* data, int32_t length);

// Reads `length` (checked by the caller, not negative) bytes straight into
// `block`, which ends with that size. The block grows with the bytes that
// came, to at most twice them or one piece of 1 MiB ahead of them, and
// never past `length`. Throws the stream's errors when the bytes are cut
// short; the block then holds what came.
void readBlockBytes(lumo::IDataInStream& in, lumo::IMemoryBlock& block, int32_t length);

} // namespace nebo::common
