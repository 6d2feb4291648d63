#pragma once

#include <cstdint>

namespace lumo {

class IBase;

// The argument checks of the reads, skips and writes of every stream. They
// throw CInvalidArgError naming `method` of `stream`.

// A negative count.
void checkCount(int32_t count, const char* method, IBase* stream);
// A negative count, or a null buffer for a positive count.
void checkTransfer(const void* buffer, int32_t count, const char* method, IBase* stream);
// The position `delta` bytes from `base` (both within 0..size), or the error
// for a target outside 0..size. No sum can overflow.
int64_t getSeekTarget(int64_t base, int64_t delta, int64_t size, const char* method, IBase* stream);

} // namespace lumo
