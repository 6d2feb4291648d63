#include "streams/streamCopy.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/sync/sleepMilliseconds.h"
#include "streams/IAbortFlag.h"
#include "streams/IInStream.h"
#include "streams/IOutStream.h"

#include <vector>

namespace lumo {

namespace {

constexpr uint32_t emptyReadPauseMs = 100;

bool isAbortRequested(IAbortFlag* abort) { return abort && abort->isAbortRequested(); }

} // namespace

void copyStream(IInStream& in, IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort, bool bWaitForData)
{
    if (bufferSize < 1)
        throw CInvalidArgError("the copy buffer must hold at least one byte", "copyStream");
    std::vector<uint8_t> temporary;
    if (!buffer) {
        temporary.resize(static_cast<size_t>(bufferSize));
        buffer = temporary.data();
    }
    while (!in.isEOF() && !isAbortRequested(abort)) {
        const int32_t count = in.read(buffer, bufferSize);
        if (count > 0 || !bWaitForData)
            out.write(buffer, count);
        else
            sleepMilliseconds(emptyReadPauseMs);
    }
}

} // namespace lumo
