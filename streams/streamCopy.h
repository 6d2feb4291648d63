#pragma once

#include <cstdint>

namespace lumo {

class IAbortFlag;
class IInStream;
class IOutStream;

// The copy loop behind every stream's copyTo and copyFrom, so that all
// streams copy alike. While `in` is not at its end and `abort` (may be null)
// asks for no stop, one read of up to `bufferSize` bytes is followed by a
// write of what came. With bWaitForData, a read that brings nothing makes
// the calling thread sleep 100 ms before it tries again; without, the loop
// goes on at once. A null `buffer` means a temporary one of `bufferSize`
// bytes. Throws CInvalidArgError for a `bufferSize` below 1, and whatever
// the two streams throw.
void copyStream(IInStream& in, IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort, bool bWaitForData);

} // namespace lumo
