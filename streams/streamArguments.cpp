#include "streams/streamArguments.h"

#include "foundation/CInvalidArgError.h"

namespace lumo {

void checkCount(int32_t count, const char* method, IBase* stream)
{
    if (count < 0)
        throw CInvalidArgError("the count must not be negative", String::fromLatin1(method), stream);
}

void checkTransfer(const void* buffer, int32_t count, const char* method, IBase* stream)
{
    checkCount(count, method, stream);
    if (count > 0 && !buffer)
        throw CInvalidArgError("the buffer must not be null", String::fromLatin1(method), stream);
}

int64_t getSeekTarget(int64_t base, int64_t delta, int64_t size, const char* method, IBase* stream)
{
    if (delta < -base || delta > size - base)
        throw CInvalidArgError("the position must lie between 0 and the stream's size", String::fromLatin1(method),
                               stream);
    return base + delta;
}

} // namespace lumo
