#pragma once

#include <cstdint>

namespace lumo {

// The most prepareHeap touches.
constexpr int64_t maxPreparedHeapBytes = int64_t{1} << 30;

// Makes about `bytes` of the process's heap ready for the allocations that
// follow, from any thread, so that they take memory whose pages exist
// already instead of faulting in each page on its first write. From then on
// the process keeps what it frees instead of giving it back to the system,
// so only a process that will soon allocate that much should ask: a slave
// started ahead, before the medium it will decode. False when the platform
// keeps no such heap, `bytes` lies outside 1..maxPreparedHeapBytes, or the
// memory is not granted (the process's own limits stand). Any thread may
// call, but early: threads that allocated before may keep memory of their
// own apart from what is readied here.
bool prepareHeap(int64_t bytes);

} // namespace lumo
